#!/usr/bin/env bash
# One command for the performance figures: builds everything, checks that two clean builds give
# identical bytes, lists size and imports, then runs the programs under Wine (private Xvfb, the
# benchmark's own prefix, build/bench-prefix-win32 or -win64) and prints the tables. Runs per measurement:
# LV_BENCH_RUNS (default 20). Where the kernel runs no 32-bit code, the x86_64 build of the same
# sources is measured in a 64-bit prefix (scripts/wine-arch.sh decides; LV_WINE_ARCH overrides).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${LV_BENCH_RUNS:-20}"
out="$root/bench/out"
source scripts/wine-arch.sh
arch="$lv_win_triple"
build_dir="$root/$lv_win_build"
if [ "$arch" = i686 ]; then dist="$root/dist"; else dist="$build_dir/dist"; fi
prefix="$root/build/bench-prefix-$LV_WINE_ARCH"
toolchain="cmake/mingw-$arch.cmake"
objdump="$arch-w64-mingw32-objdump"
bin="$build_dir/bench"
bench="$bin/lvbench.exe"
targets=(lviehlp lvieres lvbench lvbench_bare lvbench_bare_mf lvbench_floor lvbench_floor_delay lvbench_lviehlp_plain
  lvbench_receiver lvbrowser lvshellwin)
url="http://www.shop.co.example/index.html"
shellwin_key='HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32'
x11_key='HKCU\Software\Wine\X11 Driver'

winpath() { echo "Z:${1//\//\\}"; }

build() {
  bash scripts/setup.sh >/dev/null
  echo "== Windows build ($arch)" >&2
  cmake -S . -B "$build_dir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DLV_DIST_DIR="$dist" >/dev/null
  cmake --build "$build_dir" -j2 --target "${targets[@]}" >/dev/null
}

check_reproducible() {
  echo "== two clean builds" >&2
  local x f
  for x in a b; do
    rm -rf "build/repro-$x"
    cmake -S . -B "build/repro-$x" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DLV_WINDOWS_TESTS=OFF -DLV_DIST_DIR="$root/build/repro-$x/dist" >/dev/null
    cmake --build "build/repro-$x" -j2 --target lviehlp lvieres >/dev/null
  done
  repro=identical
  for f in lviehlp.exe lvieres.dll; do
    cmp -s "build/repro-a/dist/$f" "build/repro-b/dist/$f" || repro="DIFFERENT ($f)"
  done
}

# The program beside the main application's stand-in, as an installation would have them; the same
# for lviehlp as it was before delay-loading. The receiver stamps each query the moment it arrives.
stage() {
  local dir
  for dir in app app-before; do mkdir -p "$out/$dir"; cp "$dist/lvieres.dll" "$out/$dir/"; done
  cp "$dist/lviehlp.exe" "$out/app/"
  cp "$bin/lvbench_lviehlp_plain.exe" "$out/app-before/lviehlp.exe"
  cp "$bin/lvbench_receiver.exe" "$out/app/lv3.exe"
}

# A prefix of its own: the settings below must not leak into the tests' prefix.
start_wine() {
  export LV_WINEPREFIX="$prefix"
  source scripts/wine-env.sh
  trap lv_wine_stop EXIT
  echo "== Wine start" >&2
  lv_wine_start
  # Xvfb has no window manager. Wine waits up to 2 s for one to confirm that a managed window was
  # hidden; unmanaged windows skip that wait, as a real desktop's manager would answer at once.
  wine reg add "$x11_key" /v Managed /d N /f >/dev/null 2>&1
}

# The stand-in browser shows a page; the stand-in Shell Windows collection reports its URL.
start_browser() {
  local browser shellwin hwnd=""
  browser="$(find "$build_dir" -name lvbrowser.exe -print -quit)"
  shellwin="$(find "$build_dir" -name lvshellwin.dll -print -quit)"
  [ -n "$browser" ] && [ -n "$shellwin" ] || { echo "stand-in browser not built" >&2; exit 1; }
  cp "$shellwin" "$out/shellwindows.dll"
  wine "$browser" "$url" >/dev/null 2>&1 &
  for _ in $(seq 100); do
    hwnd=$(wine "$bench" findwindow IEFrame 2>/dev/null | tr -d '\r') && [ -n "$hwnd" ] && break
    sleep 0.1
  done
  wine reg add "$shellwin_key" /ve /d "$(winpath "$out/shellwindows.dll")" /f >/dev/null 2>&1
  wine reg add "$shellwin_key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
  wine reg add "$shellwin_key" /v StandInItems /d "$hwnd $url" /f >/dev/null 2>&1
}

stop_browser() {
  wine "$bench" close IEFrame >/dev/null 2>&1 || true
  wine reg add "$shellwin_key" /ve /d 'C:\windows\system32\ieframe.dll' /f >/dev/null 2>&1
}

# One line per program: label, window class, "prefilled" (edit box must hold text) or "window", exe.
program_line() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$(winpath "$4")${5:+ $5}"; }

# Start-up and peak working set; the programs of one measurement take turns run by run.
measure_startup() {
  echo "== start-up, no browser frame: $runs runs of floor and lviehlp, before and after" >&2
  {
    program_line floor LvFloorDialog window "$bin/lvbench_floor.exe"
    program_line floor-delay LvFloorDialog window "$bin/lvbench_floor_delay.exe"
    program_line before LvIeDialogWnd window "$out/app-before/lviehlp.exe"
    program_line after LvIeDialogWnd window "$out/app/lviehlp.exe"
  } >"$out/programs-noframe.txt"
  wine "$bench" startup "$runs" "$(winpath "$out/programs-noframe.txt")" >"$out/noframe.txt" || true

  start_browser
  echo "== start-up, browser frame: $runs runs of bare, floor and lviehlp to the pre-filled dialog" >&2
  {
    program_line bare LvBenchBareWnd window "$bin/lvbench_bare.exe"
    program_line bare-libs LvBenchBareWnd window "$bin/lvbench_bare.exe" libs
    program_line bare-com LvBenchBareWnd window "$bin/lvbench_bare.exe" com
    program_line bare-mf LvBenchBareWnd window "$bin/lvbench_bare_mf.exe" com
    program_line floor LvFloorDialog prefilled "$bin/lvbench_floor.exe"
    program_line floor-delay LvFloorDialog prefilled "$bin/lvbench_floor_delay.exe"
    program_line before LvIeDialogWnd prefilled "$out/app-before/lviehlp.exe"
    program_line after LvIeDialogWnd prefilled "$out/app/lviehlp.exe"
  } >"$out/programs-frame.txt"
  dialog_state=ok
  wine "$bench" startup "$runs" "$(winpath "$out/programs-frame.txt")" >"$out/frame.txt" ||
    dialog_state="a program did not reach its (pre-filled) window: see bench/out/frame.txt"
}

measure_handover() {
  echo "== hand-over: $runs queries to the running main application" >&2
  export LV3_LOG="$(winpath "$out/lv3.log")"
  wine "$out/app/lv3.exe" >/dev/null 2>&1 &
  for _ in $(seq 100); do grep -q ready "$out/lv3.log" 2>/dev/null && break; sleep 0.1; done
  local lviehlp
  lviehlp="$(winpath "$out/app/lviehlp.exe")"
  wine "$bench" handover "$runs" "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$out/handover.txt" 2>/dev/null || true
  # Where the time goes: Enter (the same query without hiding the dialog first), and the floor,
  # a message posted straight to the application window by the driver.
  wine "$bench" handover "$runs" "$LV3_LOG" ENTER "$lviehlp" >"$out/handover-enter.txt" 2>/dev/null || true
  wine "$bench" post "$runs" "$LV3_LOG" TApplication Lorvane >"$out/post.txt" 2>/dev/null || true
  # With managed windows Wine waits for a window manager that Xvfb does not have.
  wine reg add "$x11_key" /v Managed /d Y /f >/dev/null 2>&1
  wine "$bench" handover 3 "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$out/handover-managed.txt" 2>/dev/null || true
  wine reg add "$x11_key" /v Managed /d N /f >/dev/null 2>&1
}

# Median and 95th percentile (nearest rank) of one column of numbers.
stats() { sort -n | awk '{v[NR]=$1} END {if (NR==0) {print "- -"; exit}
  m=int((NR+1)/2); p=int(NR*0.95); if (p<NR*0.95) p++; printf "%.1f %.1f\n", v[m], v[p]}'; }
# Values after KEY in FILE, from the lines of LABEL only when one is given.
col() { awk -v k="$2" -v l="${3:-}" 'l=="" || $1==l {for (i=1;i<NF;i++) if ($i==k) print $(i+1)}' "$1" 2>/dev/null; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a=="-"||b=="-"||b==0) print "-"; else printf "%.2f", a/b}'; }
met() { awk -v v="$1" -v lim="$2" 'BEGIN {if (v=="-") print "n/a"; else print (v<=lim ? "yes" : "NO")}'; }
row() { printf '%-44s %10s %10s %7s %10s %4s\n' "$@"; }

# Sets <var>_med, <var>_p95 and <var>_ws (KiB) for one program of one start-up measurement.
startup_stats() {
  local var="$1" file="$2" label="$3" med p95 ws
  read -r med p95 < <(col "$file" startup "$label" | stats)
  read -r ws _ < <(col "$file" peakws "$label" | awk '{print $1/1024}' | stats)
  printf -v "${var}_med" %s "$med"; printf -v "${var}_p95" %s "$p95"; printf -v "${var}_ws" %s "$ws"
}

summarize() {
  local f="$out/frame.txt" n="$out/noframe.txt" l
  for l in bare bare-libs bare-com bare-mf floor floor-delay before after; do startup_stats "${l//-/_}" "$f" "$l"; done
  for l in floor floor-delay before after; do startup_stats "nf_${l//-/_}" "$n" "$l"; done
  read -r ho_med ho_p95 < <(col "$out/handover.txt" handover | stats)
  read -r en_med en_p95 < <(col "$out/handover-enter.txt" handover | stats)
  read -r po_med po_p95 < <(col "$out/post.txt" post | stats)
  read -r hm_med _ < <(col "$out/handover-managed.txt" handover | stats)
}

print_tables() {
  local su su95 ws
  su=$(ratio "$after_med" "$bare_med"); su95=$(ratio "$after_p95" "$bare_p95"); ws=$(ratio "$after_ws" "$bare_ws")
  echo
  row "Measure ($runs runs each)" lviehlp bare ratio target met
  row "Start-up to window, median (ms)" "$after_med" "$bare_med" "$su" "<= 1.15x" "$(met "$su" 1.15)"
  row "Start-up to window, p95 (ms)" "$after_p95" "$bare_p95" "$su95" "" ""
  row "Peak working set, median (KiB)" "$after_ws" "$bare_ws" "$ws" "<= 1.2x" "$(met "$ws" 1.2)"
  row "Hand-over click -> 0x4FD, median (ms)" "$ho_med" "" "" "" ""
  row "Hand-over click -> 0x4FD, p95 (ms)" "$ho_p95" "" "" "< 5" "$(met "$ho_p95" 4.999)"
  row "Two clean builds, lviehlp.exe+lvieres.dll" "$repro" "" "" "identical" "$([ "$repro" = identical ] && echo yes || echo NO)"
  echo
  echo "Against the floor (lviehlp's work and nothing more, same DLLs imported at start), same run"
  row "" lviehlp floor ratio target met
  su=$(ratio "$after_med" "$floor_med")
  row "Browser frame: start-up median (ms)" "$after_med" "$floor_med" "$su" "<= 1.05x" "$(met "$su" 1.05)"
  row "  start-up p95 (ms)" "$after_p95" "$floor_p95" "$(ratio "$after_p95" "$floor_p95")" "" ""
  row "  peak working set median (KiB)" "$after_ws" "$floor_ws" "$(ratio "$after_ws" "$floor_ws")" "" ""
  su=$(ratio "$nf_after_med" "$nf_floor_med")
  row "No browser frame: start-up median (ms)" "$nf_after_med" "$nf_floor_med" "$su" "<= 1.05x" "$(met "$su" 1.05)"
  row "  start-up p95 (ms)" "$nf_after_p95" "$nf_floor_p95" "$(ratio "$nf_after_p95" "$nf_floor_p95")" "" ""
  row "  peak working set median (KiB)" "$nf_after_ws" "$nf_floor_ws" "$(ratio "$nf_after_ws" "$nf_floor_ws")" "" ""
  row "Floor delay-loaded as lviehlp, frame: median" "$after_med" "$floor_delay_med" "$(ratio "$after_med" "$floor_delay_med")" "" ""
  row "  no browser frame: median" "$nf_after_med" "$nf_floor_delay_med" "$(ratio "$nf_after_med" "$nf_floor_delay_med")" "" ""
  echo
  echo "Delay-loading (before: every DLL imported at start), same run"
  row "" before after ratio "" ""
  row "lviehlp, browser frame: start-up median (ms)" "$before_med" "$after_med" "$(ratio "$after_med" "$before_med")" "" ""
  row "  start-up p95 (ms)" "$before_p95" "$after_p95" "$(ratio "$after_p95" "$before_p95")" "" ""
  row "  peak working set median (KiB)" "$before_ws" "$after_ws" "$(ratio "$after_ws" "$before_ws")" "" ""
  row "lviehlp, no browser frame: start-up median" "$nf_before_med" "$nf_after_med" "$(ratio "$nf_after_med" "$nf_before_med")" "" ""
  row "  start-up p95 (ms)" "$nf_before_p95" "$nf_after_p95" "$(ratio "$nf_after_p95" "$nf_before_p95")" "" ""
  row "  peak working set median (KiB)" "$nf_before_ws" "$nf_after_ws" "$(ratio "$nf_after_ws" "$nf_before_ws")" "" ""
  row "floor, browser frame: start-up median (ms)" "$floor_med" "$floor_delay_med" "$(ratio "$floor_delay_med" "$floor_med")" "" ""
  row "  peak working set median (KiB)" "$floor_ws" "$floor_delay_ws" "$(ratio "$floor_delay_ws" "$floor_ws")" "" ""
  row "floor, no browser frame: start-up median" "$nf_floor_med" "$nf_floor_delay_med" "$(ratio "$nf_floor_delay_med" "$nf_floor_med")" "" ""
  row "  peak working set median (KiB)" "$nf_floor_ws" "$nf_floor_delay_ws" "$(ratio "$nf_floor_delay_ws" "$nf_floor_ws")" "" ""
  echo
  echo "Breakdown against the bare program (browser frame)"
  row "Bare + lviehlp's DLLs: start-up median/p95" "$bare_libs_med" "$bare_libs_p95" "$(ratio "$bare_libs_med" "$bare_med")" "" ""
  row "  peak working set (KiB)" "$bare_libs_ws" "" "$(ratio "$bare_libs_ws" "$bare_ws")" "" ""
  row "Bare + DLLs + COM: start-up median/p95" "$bare_com_med" "$bare_com_p95" "$(ratio "$bare_com_med" "$bare_med")" "" ""
  row "  peak working set (KiB)" "$bare_com_ws" "" "$(ratio "$bare_com_ws" "$bare_ws")" "" ""
  row "Bare + DLLs + COM + manifest: median/p95" "$bare_mf_med" "$bare_mf_p95" "$(ratio "$bare_mf_med" "$bare_med")" "" ""
  row "  peak working set (KiB)" "$bare_mf_ws" "" "$(ratio "$bare_mf_ws" "$bare_ws")" "" ""
  row "Hand-over by Enter (no hide), median/p95" "$en_med" "$en_p95" "" "" ""
  row "Driver's own post -> receipt, median/p95" "$po_med" "$po_p95" "" "" ""
  row "Click, managed windows (no WM), median" "$hm_med" "" "" "" ""
  echo
  echo "build: $arch"
  echo "lviehlp.exe: $(stat -c %s "$dist/lviehlp.exe") bytes; lvieres.dll: $(stat -c %s "$dist/lvieres.dll") bytes"
  echo "lviehlp.exe imports: $($objdump -p "$dist/lviehlp.exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
  echo "lviehlp.exe delay-loads: $(python3 tests/win/delay-imports.py "$dist/lviehlp.exe" | tr '\n' ' ')"
  echo "dialog: $dialog_state"
  echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version)"
  echo "load average at the start and end of the runs: $load_start / $load_end"
}

main() {
  rm -rf "$out"; mkdir -p "$out"
  build
  check_reproducible
  stage
  start_wine
  load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
  measure_startup
  [ "$dialog_state" = ok ] && measure_handover
  load_end="$(cut -d' ' -f1-3 /proc/loadavg)"
  stop_browser
  lv_wine_stop
  trap - EXIT
  summarize
  print_tables
}

main "$@"

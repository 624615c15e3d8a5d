#!/usr/bin/env bash
# One command for the performance figures: builds everything, checks that two clean builds give
# identical bytes, lists size and imports, then runs the programs under Wine (private Xvfb, the
# benchmark's own prefixes from scripts/wine-env.sh) and prints the tables. Runs per measurement:
# LV_BENCH_RUNS (default 20).
# Where the kernel runs 32-bit code, the shipped dist/lviehlp.exe is measured twice in the same run:
# in a 32-bit prefix (32-bit Windows) and in a 64-bit one (WOW64, as on 64-bit Windows). Where it
# cannot, the x86_64 build of the same sources is measured in a 64-bit prefix, and the shipped
# program is not (LV_WINE_ARCH overrides the probe).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${LV_BENCH_RUNS:-20}"
out="$root/bench/out"
results="$out/results.tsv"  # setting, measure, median, p95: written by summarize, read by the tables
source scripts/wine-env.sh
arch="$lv_win_triple"
build_dir="$root/$lv_win_build"
dist="$lv_win_dist"
if [ "$arch" = i686 ]; then settings=(win32 wow64); else settings=(win64); fi
toolchain="cmake/mingw-$arch.cmake"
objdump="$arch-w64-mingw32-objdump"
bin="$build_dir/bench"
bench="$bin/lvbench.exe"
targets=(lviehlp lvieres lvbench lvbench_bare lvbench_bare_mf lvbench_floor lvbench_floor_delay lvbench_lviehlp_plain
  lvbench_lviehlp_soft
  lvbench_receiver lvbrowser lvshellwin
  lviehlp_extension lvbench_host_console lvbench_host_window lvbench_host_window_dlls)
url="http://www.shop.co.example/index.html"
shellwin_key='HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32'
x11_key='HKCU\Software\Wine\X11 Driver'

build() {
  bash scripts/setup.sh >/dev/null
  echo "== Windows build ($arch)" >&2
  lv_win_configure
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
    cmake --build "build/repro-$x" -j2 --target lviehlp_msi >/dev/null 2>&1 || true  # when wixl is there
  done
  repro=identical
  for f in lviehlp.exe lvieres.dll lviehlp-chromium.json lviehlp-firefox.json $(cd build/repro-a/dist && ls *.msi 2>/dev/null); do
    cmp -s "build/repro-a/dist/$f" "build/repro-b/dist/$f" || repro="DIFFERENT ($f)"
  done
}

# The program beside the main application's stand-in, as an installation would have them; the same
# for lviehlp as it was before delay-loading. The receiver stamps each query the moment it arrives.
stage() {
  local dir
  for dir in app app-before app-soft; do mkdir -p "$out/$dir"; cp "$dist/lvieres.dll" "$out/$dir/"; done
  cp "$dist/lviehlp.exe" "$out/app/"
  cp "$bin/lvbench_lviehlp_plain.exe" "$out/app-before/lviehlp.exe"
  cp "$bin/lvbench_lviehlp_soft.exe" "$out/app-soft/lviehlp.exe"
  cp "$bin/lvbench_receiver.exe" "$out/app/lv3.exe"
}

# A prefix of the benchmark's own per setting: the settings below must not leak into the tests' prefix.
# win32 and win64 are prefixes of that kind; wow64 is the 32-bit program in a 64-bit prefix.
start_wine() {
  local kind="$1"
  [ "$kind" = wow64 ] && kind=win64
  lv_prefix bench "$kind"
  echo "== Wine start ($1: $WINEPREFIX)" >&2
  lv_wine_boot
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
  wine reg add "$shellwin_key" /ve /d "$(lv_winpath "$out/shellwindows.dll")" /f >/dev/null 2>&1
  wine reg add "$shellwin_key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
  wine reg add "$shellwin_key" /v StandInItems /d "$hwnd $url" /f >/dev/null 2>&1
}

stop_browser() {
  wine "$bench" close IEFrame >/dev/null 2>&1 || true
  wine reg add "$shellwin_key" /ve /d 'C:\windows\system32\ieframe.dll' /f >/dev/null 2>&1
}

# One line per program: label, window class, "prefilled" (edit box must hold text), "window", or
# "host" (started as a browser's native messaging host with one message, to the pre-filled dialog), exe.
program_line() { printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$(lv_winpath "$4")${5:+ $5}"; }

# Start-up and peak working set; the programs of one measurement take turns run by run.
measure_startup() {
  echo "== $setting start-up, no browser frame: $runs runs of floor and lviehlp, before and after" >&2
  {
    program_line floor LvFloorDialog window "$bin/lvbench_floor.exe"
    program_line floor-delay LvFloorDialog window "$bin/lvbench_floor_delay.exe"
    program_line before LvIeDialogWnd window "$out/app-before/lviehlp.exe"
    program_line after LvIeDialogWnd window "$out/app/lviehlp.exe"
    program_line soft LvIeDialogWnd window "$out/app-soft/lviehlp.exe"
  } >"$out/programs-noframe.txt"
  wine "$bench" startup "$runs" "$(lv_winpath "$out/programs-noframe.txt")" >"$raw/noframe.txt" || true

  start_browser
  echo "== $setting start-up, browser frame: $runs runs of bare, floor and lviehlp to the pre-filled dialog" >&2
  {
    program_line bare LvBenchBareWnd window "$bin/lvbench_bare.exe"
    program_line bare-libs LvBenchBareWnd window "$bin/lvbench_bare.exe" libs
    program_line bare-com LvBenchBareWnd window "$bin/lvbench_bare.exe" com
    program_line bare-mf LvBenchBareWnd window "$bin/lvbench_bare_mf.exe" com
    program_line floor LvFloorDialog prefilled "$bin/lvbench_floor.exe"
    program_line floor-delay LvFloorDialog prefilled "$bin/lvbench_floor_delay.exe"
    program_line before LvIeDialogWnd prefilled "$out/app-before/lviehlp.exe"
    program_line after LvIeDialogWnd prefilled "$out/app/lviehlp.exe"
    program_line soft LvIeDialogWnd prefilled "$out/app-soft/lviehlp.exe"
    program_line host LvIeDialogWnd host "$out/app/lviehlp.exe" chrome-extension://abcdefghijklmnopabcdefghijklmnop/
  } >"$out/programs-frame.txt"
  wine "$bench" startup "$runs" "$(lv_winpath "$out/programs-frame.txt")" >"$raw/frame.txt" ||
    dialog_state="a program did not reach its (pre-filled) window: see $raw/frame.txt"
}

measure_handover() {
  echo "== $setting hand-over: $runs queries to the running main application" >&2
  rm -f "$raw/lv3.log"
  export LV3_LOG="$(lv_winpath "$raw/lv3.log")"
  wine "$out/app/lv3.exe" >/dev/null 2>&1 &
  for _ in $(seq 100); do grep -q ready "$raw/lv3.log" 2>/dev/null && break; sleep 0.1; done
  local lviehlp
  lviehlp="$(lv_winpath "$out/app/lviehlp.exe")"
  wine "$bench" handover "$runs" "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$raw/handover.txt" 2>/dev/null || true
  # Where the time goes: Enter (the same query without hiding the dialog first), and the floor,
  # a message posted straight to the application window by the driver.
  wine "$bench" handover "$runs" "$LV3_LOG" ENTER "$lviehlp" >"$raw/handover-enter.txt" 2>/dev/null || true
  wine "$bench" post "$runs" "$LV3_LOG" TApplication Lorvane >"$raw/post.txt" 2>/dev/null || true
  # With managed windows Wine waits for a window manager that Xvfb does not have.
  wine reg add "$x11_key" /v Managed /d Y /f >/dev/null 2>&1
  wine "$bench" handover 3 "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$raw/handover-managed.txt" 2>/dev/null || true
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

# One results row per measure of a setting: setting, measure, median, p95. Start-up measures are
# <frame|noframe>/<label>/startup (ms) and .../ws (peak working set, KiB).
record() { printf '%s\t%s\t%s\t%s\n' "$setting" "$1" "$2" "$3" >>"$results"; }

summarize() {
  local run l med p95 times
  for run in frame noframe; do
    for l in bare bare-libs bare-com bare-mf floor floor-delay before after soft host; do
      times=$(col "$raw/$run.txt" startup "$l")
      [ -n "$times" ] || continue
      read -r med p95 < <(echo "$times" | stats); record "$run/$l/startup" "$med" "$p95"
      read -r med p95 < <(col "$raw/$run.txt" peakws "$l" | awk '{print $1/1024}' | stats); record "$run/$l/ws" "$med" "$p95"
    done
  done
  for l in handover handover-enter handover-managed; do
    read -r med p95 < <(col "$raw/$l.txt" handover | stats); record "$l" "$med" "$p95"
  done
  read -r med p95 < <(col "$raw/post.txt" post | stats); record post "$med" "$p95"
}

# The median (or, with p95 as third argument, the 95th percentile) of one measure of a setting.
v() { awk -F'\t' -v s="$1" -v m="$2" -v c="${3:-med}" '$1==s && $2==m {print (c=="p95" ? $4 : $3); f=1; exit}
  END {if (!f) print "-"}' "$results"; }

# The tables of one setting.
print_setting() {
  local s="$1" a b run
  su() { v "$s" "$1/$2/startup" "${3:-}"; }
  ws() { v "$s" "$1/$2/ws"; }
  # lviehlp's start-up and working set against an earlier build of it (RUN LABEL BEFORE).
  before_after() {
    row "lviehlp, $2: start-up median (ms)" "$(su "$1" "$3")" "$(su "$1" after)" "$(ratio "$(su "$1" after)" "$(su "$1" "$3")")" "" ""
    row "  start-up p95 (ms)" "$(su "$1" "$3" p95)" "$(su "$1" after p95)" "$(ratio "$(su "$1" after p95)" "$(su "$1" "$3" p95)")" "" ""
    row "  peak working set median (KiB)" "$(ws "$1" "$3")" "$(ws "$1" after)" "$(ratio "$(ws "$1" after)" "$(ws "$1" "$3")")" "" ""
  }
  echo
  echo "### $s: $(setting_title "$s")"
  echo
  # What the project holds lviehlp to: the time of the plainest program doing its job (the floor),
  # and nothing measurable for the start by a browser's extension. The time from the key in a real
  # browser to the dialog is bench/keys.sh's table.
  row "Goal ($runs runs each, same run)" lviehlp "against" ratio target met
  for run in frame noframe; do
    [ $run = frame ] && b="browser frame" || b="no browser frame"
    a=$(ratio "$(su $run after)" "$(su $run floor)")
    row "Start-up / floor, $b (ms)" "$(su $run after)" "$(su $run floor)" "$a" "<= 1.05x" "$(met "$a" 1.05)"
  done
  a=$(ratio "$(su frame host)" "$(su frame after)")
  row "Host start / start with no argument (ms)" "$(su frame host)" "$(su frame after)" "$a" "<= 1.05x" "$(met "$a" 1.05)"
  echo
  echo "Against the floor (lviehlp's work and nothing more, same DLLs imported at start), same run"
  row "" lviehlp floor ratio "" ""
  for run in frame noframe; do
    [ $run = frame ] && b="Browser frame" || b="No browser frame"
    row "$b: start-up p95 (ms)" "$(su $run after p95)" "$(su $run floor p95)" "$(ratio "$(su $run after p95)" "$(su $run floor p95)")" "" ""
    row "  peak working set median (KiB)" "$(ws $run after)" "$(ws $run floor)" "$(ratio "$(ws $run after)" "$(ws $run floor)")" "" ""
    row "  floor delay-loaded as lviehlp: median" "$(su $run after)" "$(su $run floor-delay)" \
      "$(ratio "$(su $run after)" "$(su $run floor-delay)")" "" ""
  done
  echo
  echo "A browser's extension (native messaging host start, one message) to the pre-filled dialog, same run"
  row "" host no-arg ratio "" ""
  row "Start-up p95 (ms)" "$(su frame host p95)" "$(su frame after p95)" "$(ratio "$(su frame host p95)" "$(su frame after p95)")" "" ""
  row "Peak working set, median (KiB)" "$(ws frame host)" "$(ws frame after)" "$(ratio "$(ws frame host)" "$(ws frame after)")" "" ""
  echo
  echo "A bare one-window program, for information: it does none of the job (browser frame)"
  row "" lviehlp bare ratio "" ""
  row "Start-up to window, median (ms)" "$(su frame after)" "$(su frame bare)" "$(ratio "$(su frame after)" "$(su frame bare)")" "" ""
  row "Start-up to window, p95 (ms)" "$(su frame after p95)" "$(su frame bare p95)" \
    "$(ratio "$(su frame after p95)" "$(su frame bare p95)")" "" ""
  row "Peak working set, median (KiB)" "$(ws frame after)" "$(ws frame bare)" "$(ratio "$(ws frame after)" "$(ws frame bare)")" "" ""
  row "Hand-over click -> 0x4FD, median/p95 (ms)" "$(v "$s" handover)" "$(v "$s" handover p95)" "" "" ""
  echo
  echo "Delay-loading (before: every DLL imported at start), same run"
  row "" before after ratio "" ""
  for run in frame noframe; do
    [ $run = frame ] && b="browser frame" || b="no browser frame"
    before_after "$run" "$b" before
    row "floor, $b: start-up median (ms)" "$(su $run floor)" "$(su $run floor-delay)" "$(ratio "$(su $run floor-delay)" "$(su $run floor)")" "" ""
    row "  peak working set median (KiB)" "$(ws $run floor)" "$(ws $run floor-delay)" "$(ratio "$(ws $run floor-delay)" "$(ws $run floor)")" "" ""
  done
  echo
  echo "Hardening (before: the same sources without stack protector, fortified calls and stated PE flags), same run"
  row "" before after ratio "" ""
  for run in frame noframe; do
    [ $run = frame ] && b="browser frame" || b="no browser frame"
    before_after "$run" "$b" soft
  done
  echo
  echo "Breakdown against the bare program (browser frame)"
  for b in bare-libs:"Bare + lviehlp's DLLs" bare-com:"Bare + DLLs + COM" bare-mf:"Bare + DLLs + COM + manifest"; do
    row "${b#*:}: median/p95" "$(su frame "${b%%:*}")" "$(su frame "${b%%:*}" p95)" "$(ratio "$(su frame "${b%%:*}")" "$(su frame bare)")" "" ""
    row "  peak working set (KiB)" "$(ws frame "${b%%:*}")" "" "$(ratio "$(ws frame "${b%%:*}")" "$(ws frame bare)")" "" ""
  done
  row "Hand-over by Enter (no hide), median/p95" "$(v "$s" handover-enter)" "$(v "$s" handover-enter p95)" "" "" ""
  row "Driver's own post -> receipt, median/p95" "$(v "$s" post)" "$(v "$s" post p95)" "" "" ""
  row "Click, managed windows (no WM), median" "$(v "$s" handover-managed)" "" "" "" ""
}

pe_flags() { $objdump -p "$1" | awk '/^DllCharacteristics/ {on=1; printf "0x%s", $2; next} on && NF==1 && $1 ~ /^[A-Z_]+$/ {printf " %s", $1; next} {on=0}'; }

setting_title() {
  case "$1" in
    win32) echo "the shipped 32-bit program, 32-bit prefix (as on 32-bit Windows)" ;;
    wow64) echo "the shipped 32-bit program, 64-bit prefix (WOW64, as on 64-bit Windows)" ;;
    win64) echo "the x86_64 build of the same sources, 64-bit prefix (the shipped 32-bit program did not run)" ;;
  esac
}

print_tables() {
  local s
  for s in "${settings[@]}"; do print_setting "$s"; done
  if [ ${#settings[@]} -gt 1 ]; then
    echo
    echo "The shipped program under 32-bit Wine and under WOW64, beside the floor, same run (medians)"
    row "" "${settings[@]}" "" "" ""
    local m
    for m in "frame/after/startup|Browser frame: lviehlp start-up (ms)" "frame/floor/startup|  floor start-up (ms)" \
      "noframe/after/startup|No browser frame: lviehlp start-up (ms)" "noframe/floor/startup|  floor start-up (ms)" \
      "frame/after/ws|Browser frame: lviehlp working set (KiB)" "frame/floor/ws|  floor working set (KiB)" \
      "handover|Hand-over click -> 0x4FD (ms)"; do
      row "${m#*|}" "$(v "${settings[0]}" "${m%%|*}")" "$(v "${settings[1]}" "${m%%|*}")" "" "" ""
    done
  fi
  echo
  row "Two clean builds, lviehlp.exe+lvieres.dll+host manifests+MSI" "$repro" "" "" "identical" "$([ "$repro" = identical ] && echo yes || echo NO)"
  echo "build: $arch"
  echo "lviehlp.exe: $(stat -c %s "$dist/lviehlp.exe") bytes, before the hardening $(stat -c %s "$bin/lvbench_lviehlp_soft.exe"); lvieres.dll: $(stat -c %s "$dist/lvieres.dll") bytes"
  echo "PE flags: lviehlp.exe $(pe_flags "$dist/lviehlp.exe"), before the hardening $(pe_flags "$bin/lvbench_lviehlp_soft.exe"); lvieres.dll $(pe_flags "$dist/lvieres.dll")"
  echo "lviehlp.exe imports: $($objdump -p "$dist/lviehlp.exe" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
  local slots
  slots=$(python3 tests/win/delay-imports.py --slots "$dist/lviehlp.exe" || true)
  echo "lviehlp.exe delay-loads: $(echo "$slots" | grep '\.dll$' | tr '\n' ' ')"
  echo "$slots" | tail -1
  echo "dialog: $dialog_state"
  echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version)"
  echo "load average at the start and end of the runs: $load_start / $load_end"
}

# One setting's runs, in its own prefix, raw lines in bench/out/<setting>/.
measure_setting() {
  setting="$1"; raw="$out/$setting"
  mkdir -p "$raw"
  start_wine "$setting"
  measure_startup
  [ "$dialog_state" = ok ] && measure_handover
  stop_browser
  lv_wine_end
  summarize
}

main() {
  rm -rf "$out"; mkdir -p "$out"
  build
  check_reproducible
  stage
  trap lv_wine_stop EXIT
  lv_display_start
  load_start="$(cut -d' ' -f1-3 /proc/loadavg)"
  dialog_state=ok
  for s in "${settings[@]}"; do measure_setting "$s"; done
  load_end="$(cut -d' ' -f1-3 /proc/loadavg)"
  lv_wine_stop
  trap - EXIT
  print_tables
  # The key in a real browser to the dialog, after the rest (it starts its own screen and prefix).
  LV_KEYS_BUILT=1 LV_KEYS_RUNS="$runs" bash bench/keys.sh
}

main "$@"

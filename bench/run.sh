#!/usr/bin/env bash
# One command for the performance figures: builds everything, checks that two clean builds give
# identical bytes, lists size and imports, then runs the programs under Wine (private Xvfb, the
# benchmark's own prefix, build/bench-prefix) and prints a table. Runs per measurement:
# LV_BENCH_RUNS (default 20).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
runs="${LV_BENCH_RUNS:-20}"
out="$root/bench/out"
rm -rf "$out"; mkdir -p "$out"

bash scripts/setup.sh >/dev/null
echo "== Windows build" >&2
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j2 >/dev/null

echo "== two clean builds" >&2
for x in a b; do
  rm -rf "build/repro-$x"
  cmake -S . -B "build/repro-$x" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DLV_WINDOWS_TESTS=OFF -DLV_DIST_DIR="$root/build/repro-$x/dist" >/dev/null
  cmake --build "build/repro-$x" -j2 --target lviehlp lvieres >/dev/null
done
repro=identical
for f in lviehlp.exe lvieres.dll; do
  cmp -s "build/repro-a/dist/$f" "build/repro-b/dist/$f" || repro="DIFFERENT ($f)"
done

exe_size=$(stat -c %s dist/lviehlp.exe)
dll_size=$(stat -c %s dist/lvieres.dll)
imports=$(i686-w64-mingw32-objdump -p dist/lviehlp.exe | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')

# Stage the program beside the main application's stand-in, as an installation would have them.
app="$out/app"; mkdir -p "$app"
cp dist/lviehlp.exe dist/lvieres.dll "$app/"
# The receiver stamps each query with the performance counter the moment it is retrieved.
cp build/win/bench/lvbench_receiver.exe "$app/lv3.exe"
browser="$(find build/win -name lvbrowser.exe -print -quit)"
shellwin="$(find build/win -name lvshellwin.dll -print -quit)"

# A prefix of its own: the settings below must not leak into the tests' prefix.
export LV_WINEPREFIX="$root/build/bench-prefix"
source scripts/wine-env.sh
trap lv_wine_stop EXIT
echo "== Wine start" >&2
lv_wine_start
# Xvfb has no window manager. Wine waits up to 2 s for one to confirm that a managed window was
# hidden; unmanaged windows skip that wait, as a real desktop's manager would answer at once.
x11key='HKCU\Software\Wine\X11 Driver'
wine reg add "$x11key" /v Managed /d N /f >/dev/null 2>&1
winpath() { echo "Z:${1//\//\\}"; }
bench="build/win/bench/lvbench.exe"

[ -n "$browser" ] && [ -n "$shellwin" ] || { echo "stand-in browser not built" >&2; exit 1; }
# The stand-in browser shows a page; the stand-in Shell Windows collection reports its URL.
cp "$shellwin" "$out/shellwindows.dll"
url="http://www.shop.co.example/index.html"
wine "$browser" "$url" >/dev/null 2>&1 &
bhwnd=""
for _ in $(seq 100); do
  bhwnd=$(wine "$bench" findwindow IEFrame 2>/dev/null | tr -d '\r') && [ -n "$bhwnd" ] && break
  sleep 0.1
done
key='HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32'
wine reg add "$key" /ve /d "$(winpath "$out/shellwindows.dll")" /f >/dev/null 2>&1
wine reg add "$key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
wine reg add "$key" /v StandInItems /d "$bhwnd $url" /f >/dev/null 2>&1

bare="$(winpath "$root/build/win/bench/lvbench_bare.exe")"
echo "== bare program: $runs starts (and with lviehlp's DLLs, COM, manifest)" >&2
wine "$bench" startup "$runs" LvBenchBareWnd window "$bare" >"$out/bare.txt"
wine "$bench" startup "$runs" LvBenchBareWnd window "$bare" libs >"$out/bare-libs.txt"
wine "$bench" startup "$runs" LvBenchBareWnd window "$bare" com >"$out/bare-com.txt"
wine "$bench" startup "$runs" LvBenchBareWnd window "$(winpath "$root/build/win/bench/lvbench_bare_mf.exe")" com \
  >"$out/bare-mf.txt"

echo "== lviehlp: $runs starts to the pre-filled dialog" >&2
dialog_state=ok
wine "$bench" startup "$runs" LvIeDialogWnd prefilled "$(winpath "$app/lviehlp.exe")" >"$out/lviehlp.txt" ||
  dialog_state="dialog not pre-filled"

if [ "$dialog_state" = ok ]; then
  echo "== hand-over: $runs queries to the running main application" >&2
  export LV3_LOG="$(winpath "$out/lv3.log")"
  wine "$app/lv3.exe" >/dev/null 2>&1 &
  for _ in $(seq 100); do grep -q ready "$out/lv3.log" 2>/dev/null && break; sleep 0.1; done
  lviehlp="$(winpath "$app/lviehlp.exe")"
  wine "$bench" handover "$runs" "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$out/handover.txt" 2>/dev/null || true
  # Where the time goes: Enter (the same query without hiding the dialog first), and the floor,
  # a message posted straight to the application window by the driver.
  wine "$bench" handover "$runs" "$LV3_LOG" ENTER "$lviehlp" >"$out/handover-enter.txt" 2>/dev/null || true
  wine "$bench" post "$runs" "$LV3_LOG" TApplication Lorvane >"$out/post.txt" 2>/dev/null || true
  # With managed windows Wine waits for a window manager that Xvfb does not have.
  wine reg add "$x11key" /v Managed /d Y /f >/dev/null 2>&1
  wine "$bench" handover 3 "$LV3_LOG" "As IP/Hostname" "$lviehlp" >"$out/handover-managed.txt" 2>/dev/null || true
  wine reg add "$x11key" /v Managed /d N /f >/dev/null 2>&1
fi
wine reg add "$key" /ve /d 'C:\windows\system32\ieframe.dll' /f >/dev/null 2>&1
lv_wine_stop
trap - EXIT

# Median and 95th percentile (nearest rank) of one column of numbers.
stats() { sort -n | awk '{v[NR]=$1} END {if (NR==0) {print "- -"; exit}
  m=int((NR+1)/2); p=int(NR*0.95); if (p<NR*0.95) p++; printf "%.1f %.1f\n", v[m], v[p]}'; }
col() { awk -v k="$2" '{for (i=1;i<NF;i++) if ($i==k) print $(i+1)}' "$1" 2>/dev/null; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a=="-"||b=="-"||b==0) print "-"; else printf "%.2f", a/b}'; }
met() { awk -v v="$1" -v lim="$2" 'BEGIN {if (v=="-") print "n/a"; else print (v<=lim ? "yes" : "NO")}'; }

read -r bare_med bare_p95 < <(col "$out/bare.txt" startup | stats)
read -r libs_med libs_p95 < <(col "$out/bare-libs.txt" startup | stats)
read -r com_med com_p95 < <(col "$out/bare-com.txt" startup | stats)
read -r mf_med mf_p95 < <(col "$out/bare-mf.txt" startup | stats)
read -r mf_ws _ < <(col "$out/bare-mf.txt" peakws | awk '{print $1/1024}' | stats)
read -r lv_med lv_p95 < <(col "$out/lviehlp.txt" startup | stats)
read -r bare_ws _ < <(col "$out/bare.txt" peakws | awk '{print $1/1024}' | stats)
read -r libs_ws _ < <(col "$out/bare-libs.txt" peakws | awk '{print $1/1024}' | stats)
read -r com_ws _ < <(col "$out/bare-com.txt" peakws | awk '{print $1/1024}' | stats)
read -r lv_ws _ < <(col "$out/lviehlp.txt" peakws | awk '{print $1/1024}' | stats)
read -r ho_med ho_p95 < <(col "$out/handover.txt" handover | stats)
read -r en_med en_p95 < <(col "$out/handover-enter.txt" handover | stats)
read -r po_med po_p95 < <(col "$out/post.txt" post | stats)
read -r hm_med _ < <(col "$out/handover-managed.txt" handover | stats)

row() { printf '%-40s %10s %10s %7s %10s %4s\n' "$@"; }
su=$(ratio "$lv_med" "$bare_med"); su95=$(ratio "$lv_p95" "$bare_p95"); ws=$(ratio "$lv_ws" "$bare_ws")
echo
row "Measure ($runs runs each)" lviehlp bare ratio target met
row "Start-up to window, median (ms)" "$lv_med" "$bare_med" "$su" "<= 1.15x" "$(met "$su" 1.15)"
row "Start-up to window, p95 (ms)" "$lv_p95" "$bare_p95" "$su95" "" ""
row "Peak working set, median (KiB)" "$lv_ws" "$bare_ws" "$ws" "<= 1.2x" "$(met "$ws" 1.2)"
row "Hand-over click -> 0x4FD, median (ms)" "$ho_med" "" "" "" ""
row "Hand-over click -> 0x4FD, p95 (ms)" "$ho_p95" "" "" "< 5" "$(met "$ho_p95" 4.999)"
row "Two clean builds, lviehlp.exe+lvieres.dll" "$repro" "" "" "identical" "$([ "$repro" = identical ] && echo yes || echo NO)"
echo
echo "Breakdown"
row "Bare + lviehlp's DLLs: start-up median/p95" "$libs_med" "$libs_p95" "$(ratio "$libs_med" "$bare_med")" "" ""
row "  peak working set (KiB)" "$libs_ws" "" "$(ratio "$libs_ws" "$bare_ws")" "" ""
row "Bare + DLLs + COM: start-up median/p95" "$com_med" "$com_p95" "$(ratio "$com_med" "$bare_med")" "" ""
row "  peak working set (KiB)" "$com_ws" "" "$(ratio "$com_ws" "$bare_ws")" "" ""
row "Bare + DLLs + COM + manifest: median/p95" "$mf_med" "$mf_p95" "$(ratio "$mf_med" "$bare_med")" "" ""
row "  peak working set (KiB)" "$mf_ws" "" "$(ratio "$mf_ws" "$bare_ws")" "" ""
row "Hand-over by Enter (no hide), median/p95" "$en_med" "$en_p95" "" "" ""
row "Driver's own post -> receipt, median/p95" "$po_med" "$po_p95" "" "" ""
row "Click, managed windows (no WM), median" "$hm_med" "" "" "" ""
echo
echo "dist/lviehlp.exe: $exe_size bytes; dist/lvieres.dll: $dll_size bytes"
echo "lviehlp.exe imports: $imports"
echo "dialog: $dialog_state"
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version)"

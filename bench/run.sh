#!/usr/bin/env bash
# One command for the performance figures: builds everything, checks that two clean builds give
# identical bytes, lists size and imports, then runs the programs under Wine (private Xvfb, the
# project's own prefix) and prints a table. Runs per measurement: LV_BENCH_RUNS (default 20).
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
lv3="$(find build/win -name lv3.exe -print -quit)"
browser="$(find build/win -name lvbrowser.exe -print -quit)"
shellwin="$(find build/win -name lvshellwin.dll -print -quit)"
[ -n "$lv3" ] && cp "$lv3" "$app/lv3.exe"

source scripts/wine-env.sh
trap lv_wine_stop EXIT
echo "== Wine start" >&2
lv_wine_start
winpath() { echo "Z:${1//\//\\}"; }
bench="build/win/bench/lvbench.exe"

echo "== bare program: $runs starts" >&2
wine "$bench" startup "$runs" LvBenchBareWnd window "$(winpath "$root/build/win/bench/lvbench_bare.exe")" \
  >"$out/bare.txt"

dialog_state="no dialog"
if [ -n "$browser" ] && [ -n "$shellwin" ]; then
  # The stand-in browser shows a page; the stand-in Shell Windows collection reports its URL.
  cp "$shellwin" "$out/shellwindows.dll"
  wine "$browser" "http://www.shop.co.example/index.html" >/dev/null 2>&1 &
  browser_pid=$!
  for _ in $(seq 100); do
    bhwnd=$(wine "$bench" findwindow IEFrame 2>/dev/null | tr -d '\r') && [ -n "$bhwnd" ] && break
    sleep 0.1
  done
  key='HKLM\Software\Classes\CLSID\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}\InprocServer32'
  wine reg add "$key" /ve /d "$(winpath "$out/shellwindows.dll")" /f >/dev/null 2>&1
  wine reg add "$key" /v ThreadingModel /d Apartment /f >/dev/null 2>&1
  wine reg add "$key" /v StandInItems /d "$bhwnd http://www.shop.co.example/index.html" /f >/dev/null 2>&1
  restore_shell_windows() {
    wine reg add "$key" /ve /d 'C:\windows\system32\ieframe.dll' /f >/dev/null 2>&1
    wine reg delete "$key" /v StandInItems /f >/dev/null 2>&1 || true
  }
  trap 'restore_shell_windows; lv_wine_stop' EXIT
  echo "== lviehlp: $runs starts to the pre-filled dialog" >&2
  if wine "$bench" startup "$runs" LvIeDialogWnd prefilled "$(winpath "$app/lviehlp.exe")" >"$out/lviehlp.txt"; then
    dialog_state=ok
  else
    dialog_state="dialog not pre-filled"
  fi
  if [ -f "$app/lv3.exe" ] && [ "$dialog_state" = ok ]; then
    echo "== hand-over: $runs queries to the running main application" >&2
    export LV3_LOG="$(winpath "$out/lv3.log")" LV3_LIFETIME=600000
    wine "$app/lv3.exe" >/dev/null 2>&1 &
    sleep 2
    wine "$bench" handover "$runs" "$LV3_LOG" "As IP/Hostname" "$(winpath "$app/lviehlp.exe")" \
      >"$out/handover.txt" || true
  fi
  restore_shell_windows
fi
lv_wine_stop
trap - EXIT

# Median and 95th percentile (nearest rank) of one column of numbers.
stats() { sort -n | awk '{v[NR]=$1} END {if (NR==0) {print "- -"; exit}
  m=int((NR+1)/2); p=int(NR*0.95); if (p<NR*0.95) p++; printf "%.1f %.1f\n", v[m], v[p]}'; }
col() { awk -v k="$2" '{for (i=1;i<NF;i++) if ($i==k) print $(i+1)}' "$1" 2>/dev/null; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (a=="-"||b=="-"||b==0) print "-"; else printf "%.2f", a/b}'; }
met() { awk -v v="$1" -v lim="$2" 'BEGIN {if (v=="-") print "n/a"; else print (v<=lim ? "yes" : "NO")}'; }

read -r bare_med bare_p95 < <(col "$out/bare.txt" startup | stats)
read -r lv_med lv_p95 < <(col "$out/lviehlp.txt" startup | stats)
read -r bare_ws _ < <(col "$out/bare.txt" peakws | awk '{print $1/1024}' | stats)
read -r lv_ws _ < <(col "$out/lviehlp.txt" peakws | awk '{print $1/1024}' | stats)
read -r ho_med ho_p95 < <(col "$out/handover.txt" handover | stats)
ho_how=$(awk '{print $3}' "$out/handover.txt" 2>/dev/null | sort -u | tr '\n' ' ')

su_ratio=$(ratio "$lv_med" "$bare_med"); su95_ratio=$(ratio "$lv_p95" "$bare_p95"); ws_ratio=$(ratio "$lv_ws" "$bare_ws")
printf '\n%-34s %12s %12s %9s %10s %5s\n' "Measure ($runs runs each)" lviehlp bare ratio target met
printf '%-34s %12s %12s %9s %10s %5s\n' "Start-up to window, median (ms)" "$lv_med" "$bare_med" "$su_ratio" "<= 1.15x" "$(met "$su_ratio" 1.15)"
printf '%-34s %12s %12s %9s %10s %5s\n' "Start-up to window, p95 (ms)" "$lv_p95" "$bare_p95" "$su95_ratio" "" ""
printf '%-34s %12s %12s %9s %10s %5s\n' "Peak working set, median (KiB)" "$lv_ws" "$bare_ws" "$ws_ratio" "<= 1.2x" "$(met "$ws_ratio" 1.2)"
printf '%-34s %12s %12s %9s %10s %5s\n' "Hand-over click->0x4FD, median (ms)" "$ho_med" "" "" "" ""
printf '%-34s %12s %12s %9s %10s %5s\n' "Hand-over click->0x4FD, p95 (ms)" "$ho_p95" "" "" "< 5 ms" "$(met "$ho_p95" 4.999)"
printf '%-34s %12s %12s %9s %10s %5s\n' "Two clean builds" "$repro" "" "" "identical" "$([ "$repro" = identical ] && echo yes || echo NO)"
printf '%-34s %12s\n' "dist/lviehlp.exe size (bytes)" "$exe_size"
printf '%-34s %12s\n' "dist/lvieres.dll size (bytes)" "$dll_size"
echo "lviehlp.exe imports: $imports"
echo "dialog: $dialog_state; hand-over receipt time: ${ho_how:-not measured}"
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(wine --version)"

#!/usr/bin/env bash
# The whole road under Wine, in the project's own prefix: a stand-in browser shows a page,
# lviehlp.exe opens its dialog pre-filled with the page's host, "As Domain" is clicked, and the
# stand-in main application receives the query. Then the same dialog from Debian's Chromium: the
# extension's keyboard command hands the page to lviehlp.exe, its native messaging host. Screenshots
# land in build/demo/ (chromium.png: the browser with the dialog over it), and those of the stand-in
# road under Wine 10 at 144 dpi in build/demo/wine10-144dpi/.
#   bash scripts/demo.sh                      on $DISPLAY when there is one (slowed down to watch),
#                                             otherwise on a private Xvfb screen
#   LV_USE_DISPLAY=0 bash scripts/demo.sh     always on a private Xvfb screen
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
source scripts/wine-env.sh
lv_prefix tests
# The shipped dist/lviehlp.exe; where this kernel runs no 32-bit code, the x86_64 build of the same sources.
lv_win_configure
cmake --build "$lv_win_build" -j2 --target dialog_demo dialog_click lv3_standin lviehlp_extension

if [ -n "${DISPLAY:-}" ]; then export LV_USE_DISPLAY="${LV_USE_DISPLAY:-1}"; fi
out="$root/build/demo"
rm -rf "$out"; mkdir -p "$out"
pause=0
[ "${LV_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ] && pause=2500

x11key='HKCU\Software\Wine\X11 Driver'
dpikey='HKCU\Control Panel\Desktop'
finish() {
  wine reg delete "$x11key" /v Managed /f </dev/null >/dev/null 2>&1 || true
  wine reg add "$dpikey" /v LogPixels /t REG_DWORD /d 96 /f </dev/null >/dev/null 2>&1 || true
  lv_wine_stop
}
# One run of the road: on the implementation given (scripts/wine-env.sh), at the resolution given,
# its screenshots in the folder given.
demo_run() {  # IMPL DPI DIR
  export LV_WINE_IMPL="$1"
  source scripts/wine-env.sh
  lv_prefix tests
  trap finish EXIT
  lv_wine_start
  # Without a window manager (the private Xvfb) Wine draws captions and frames itself.
  if [ "$pause" = 0 ]; then
    wine reg add "$x11key" /v Managed /d N /f </dev/null >/dev/null 2>&1
  fi
  # Processes see another resolution only once the wineserver has restarted.
  wine reg add "$dpikey" /v LogPixels /t REG_DWORD /d "$2" /f </dev/null >/dev/null 2>&1
  lv_wine_end
  lv_wine_boot
  mkdir -p "$3"
  wine "$lv_win_build/tests/win/dialog_demo.exe" "$(lv_winpath "$3")" "$pause"
  for shot in dialog received; do
    convert "$3/$shot.bmp" "$3/$shot.png" && rm -f "$3/$shot.bmp"
    echo "screenshot: $3/$shot.png"
  done
  if [ "${4:-}" = chromium ]; then chromium_road "$3"; fi
  finish
  trap - EXIT
}
# Today's road: Debian's Chromium with the extension, Alt+Shift+L, and the same dialog over the page.
chromium_road() {  # DIR
  echo "== the Lorvane button in Chromium (the extension and lviehlp.exe as its native messaging host)"
  LV_ROAD_SHOT="$1/chromium.png" LV_ROAD_PAUSE="$(awk -v p="$pause" 'BEGIN {print 0.5 + p / 1000}')" \
    bash tests/browser/road.sh chromium road "$lv_win_dist" "$root/$lv_win_build"
  echo "screenshot: $1/chromium.png"
}
demo_run wine8 96 "$out" chromium
# The same road on today's high-DPI screens: Wine 10 at 144 dpi (150 %), where the program's own
# scaling runs only because it declares itself DPI-aware.
echo "== again under Wine 10 at 144 dpi"
demo_run wine10 144 "$out/wine10-144dpi"

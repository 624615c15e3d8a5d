#!/usr/bin/env bash
# The whole road under Wine, in the project's own prefix: a stand-in browser shows a page,
# lviehlp.exe opens its dialog pre-filled with the page's host, "As Domain" is clicked, and the
# stand-in main application receives the query. Screenshots land in build/demo/.
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
cmake --build "$lv_win_build" -j2 --target dialog_demo

if [ -n "${DISPLAY:-}" ]; then export LV_USE_DISPLAY="${LV_USE_DISPLAY:-1}"; fi
out="$root/build/demo"
rm -rf "$out"; mkdir -p "$out"
pause=0
[ "${LV_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ] && pause=2500

x11key='HKCU\Software\Wine\X11 Driver'
finish() {
  wine reg delete "$x11key" /v Managed /f </dev/null >/dev/null 2>&1 || true
  lv_wine_stop
}
trap finish EXIT
lv_wine_start
# Without a window manager (the private Xvfb) Wine draws captions and frames itself.
if [ "$pause" = 0 ]; then
  wine reg add "$x11key" /v Managed /d N /f </dev/null >/dev/null 2>&1
fi
wine "$lv_win_build/tests/win/dialog_demo.exe" "$(lv_winpath "$out")" "$pause"
for shot in dialog received; do
  convert "$out/$shot.bmp" "$out/$shot.png" && rm -f "$out/$shot.bmp"
  echo "screenshot: $out/$shot.png"
done

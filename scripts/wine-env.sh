# Sourced by the test and demo scripts: the project's own Wine prefix, a warm wineserver and,
# unless LV_USE_DISPLAY=1 and a display exists, a private Xvfb screen. lv_wine_stop ends both.
lv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$lv_root/scripts/wine-arch.sh"
export LV_WINEPREFIX="$WINEPREFIX"
lv_xvfb_pid=""

lv_wine_start() {
  mkdir -p "$WINEPREFIX"  # wineserver -p fails on a prefix folder that does not exist yet
  if [ "${LV_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    local fifo dn
    fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    lv_xvfb_pid=$!
    read -r dn <"$fifo"; rm -f "$fifo"
    export DISPLAY=":$dn"
  fi
  lv_wine_warm
}

# A persistent wineserver with the prefix booted (created on first use). Services started by the
# first Wine process inherit its output; keep them off our pipes so that CTest does not wait for them.
lv_wine_warm() {
  wineserver -p </dev/null >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i </dev/null >/dev/null 2>&1
  else
    wine wineboot </dev/null >/dev/null 2>&1
  fi
  lv_wine_no_debugger
}

lv_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$lv_xvfb_pid" ] && kill "$lv_xvfb_pid" 2>/dev/null || true
  lv_xvfb_pid=""
}

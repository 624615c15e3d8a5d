#!/usr/bin/env bash
# Sourced: the one home of every Wine prefix the project makes. Which Wine this machine runs, where
# each prefix lives (build/wine/<name>-<arch>, never the user's own), its loader, quiet defaults,
# booting with a warm wineserver, the no-debugger rule, a private Xvfb screen, and the conversion of
# Unix paths to Windows ones. The test, demo, benchmark, package and WOW64 scripts all use it.
#
# Two Win32 implementations: LV_WINE_IMPL=wine8 (the default) is the machine's own Wine (Debian 12);
# wine10 is Debian 13's, run inside build/debian13 (scripts/debian13-root.sh), with prefixes of its
# own (build/wine/<name>-<arch>-wine10) and its own Xvfb. The 32-bit rule is the same for both.
#
#   lv_prefix NAME [win32|win64]   choose the prefix (arch: the machine's by default)
#   lv_wine_start / lv_wine_stop   private screen (unless LV_USE_DISPLAY=1 and $DISPLAY) + booted prefix
#   lv_wine_boot / lv_wine_end     the prefix's wineserver only
#   wine PROGRAM ARGS...           the loader for the programs under test; wine64 for 64-bit tools
#   wineserver ARGS...             the chosen implementation's server
#   lv_winpath PATH                Z:\... for a Unix path
#   lv_win_configure               the Windows build whose programs run here ($lv_win_build, $lv_win_dist)
#
# The 32-bit loader needs a kernel that runs 32-bit code. Where it cannot (some virtual machines
# refuse every 32-bit program), prefixes are 64-bit and the programs under test are the x86_64
# build of the same sources; the shipped 32-bit program has then not run. So too where the 32-bit
# Wine could not be installed. LV_WINE_ARCH=win32 or win64 overrides the probe. $lv_arch_why says
# why the x86_64 build stands in, for the suite's summary.
lv_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ -n "${LV_WINE_ARCH:-}" ]; then lv_arch_why="LV_WINE_ARCH=$LV_WINE_ARCH chose the x86_64 build"
elif /usr/lib/wine/wine --version >/dev/null 2>&1; then LV_WINE_ARCH=win32 lv_arch_why=""
elif [ -e /usr/lib/wine/wine ]; then LV_WINE_ARCH=win64 lv_arch_why="its kernel runs no 32-bit code"
else LV_WINE_ARCH=win64 lv_arch_why="its 32-bit Wine is not installed"
fi
export LV_WINE_ARCH
export LV_WINE_IMPL="${LV_WINE_IMPL:-wine8}"
if [ "$LV_WINE_IMPL" = wine10 ]; then
  lv_sysroot="$lv_root/build/debian13"; lv_prefix_suffix=-wine10
  export LV_IN_ROOT="$lv_root/scripts/in-debian13.sh"
else
  lv_sysroot=""; lv_prefix_suffix=""
  export LV_IN_ROOT=""
fi
if [ "$LV_WINE_ARCH" = win64 ]; then
  # /usr/bin/wine would pick the 32-bit loader only because its file exists.
  export LV_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
  lv_win_triple=x86_64; lv_win_build=build/win64; lv_win_dist="$lv_root/build/win64/dist"
else
  export LV_WINE=/usr/lib/wine/wine
  lv_win_triple=i686; lv_win_build=build/win; lv_win_dist="$lv_root/dist"
fi

# Configures the build whose programs run here: the shipped one (dist/) where 32-bit code runs.
lv_win_configure() {
  cmake -S "$lv_root" -B "$lv_root/$lv_win_build" -DCMAKE_TOOLCHAIN_FILE="$lv_root/cmake/mingw-$lv_win_triple.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DLV_DIST_DIR="$lv_win_dist" -DLV_WINDOWS_TESTS=ON "$@" >/dev/null
}
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"  # no install prompts

# A program of the chosen implementation: inside the Debian 13 root for Wine 10.
lv_run() { if [ -n "$LV_IN_ROOT" ]; then "$LV_IN_ROOT" "$@"; else command "$@"; fi; }
wine() { lv_run "$LV_WINE" "$@"; }
wine64() { lv_run /usr/lib/wine/wine64 "$@"; }
wineserver() { lv_run wineserver "$@"; }
export -f lv_run wine wine64 wineserver

lv_winpath() { local p="Z:$1"; echo "${p//\//\\}"; }

# The prefix NAME for the given arch: tests (the Windows suite and the demo), wow64 (the 32-bit
# program on 64-bit Windows), msi (the package under msiexec), bench (the benchmark's). In the
# emulated machine (scripts/in-qemu.sh) they live in its memory, over prefixes made once (LV_WINE_DIR).
lv_prefix() {
  export LV_PREFIX_NAME="$1" WINEARCH="${2:-$LV_WINE_ARCH}"
  export WINEPREFIX="${LV_WINE_DIR:-$lv_root/build/wine}/$LV_PREFIX_NAME-$WINEARCH$lv_prefix_suffix"
}
# A script started by another (CTest's emulator, with-dpi.sh) stays in the prefix its caller chose;
# a WINEARCH of the user's own is not taken.
lv_prefix "${LV_PREFIX_NAME:-tests}" "${LV_PREFIX_NAME:+${WINEARCH:-}}"

# A persistent wineserver with the prefix booted (created on first use). Services started by the
# first Wine process inherit its output: keep them off our pipes, or CTest waits for them.
lv_wine_boot() {
  local loader="$LV_WINE" boot=""
  [ "$WINEARCH" = win64 ] && loader=/usr/lib/wine/wine64
  mkdir -p "$WINEPREFIX"  # wineserver -p fails on a folder that does not exist yet
  wineserver -p </dev/null >/dev/null 2>&1
  [ -f "$WINEPREFIX/system.reg" ] || boot=-i
  lv_run "$loader" wineboot $boot </dev/null >/dev/null 2>&1 || { echo "Wine does not start in $WINEPREFIX" >&2; return 1; }
  # A fault must end the process at once (exit code 5), not start winedbg and wait for it: the
  # debugger named here does not exist.
  lv_run "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'C:\windows\no-debugger.exe' /f </dev/null >/dev/null 2>&1
  # This Wine build does not pick up its own fonts (fonts-wine) by itself: the dialog font (Tahoma)
  # and the caption buttons' Marlett go where every Windows program finds them.
  local f fonts="$WINEPREFIX/drive_c/windows/Fonts"
  for f in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -e "$fonts/$f" ] || [ ! -e "$lv_sysroot/usr/share/wine/fonts/$f" ] || cp "$lv_sysroot/usr/share/wine/fonts/$f" "$fonts/"
  done
}

# Ends the prefix's wineserver and every Wine process in it, and waits until they are gone.
lv_wine_end() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# A private Xvfb screen, unless LV_USE_DISPLAY=1 and there is a display.
lv_xvfb_pid=""
lv_display_start() {
  if [ -z "$lv_xvfb_pid" ] && { [ "${LV_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; }; then
    local fifo dn
    fifo=$(mktemp -u); mkfifo "$fifo"
    # The implementation's own Xvfb; the script that enters the root execs its way to it (or to
    # bubblewrap, whose sandbox ends with it), so this pid is the one to stop either way.
    # -noreset: by default the server resets when its last client leaves, and a program that
    # connects during the reset fails to open the display (a browser or a Wine program started
    # right after the last one ended). Measured: 28 (Debian 12) and 78 (Debian 13) of 2000
    # connections in a loop failed without it, none with it.
    ${LV_IN_ROOT:+"$LV_IN_ROOT"} Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    lv_xvfb_pid=$!
    read -r dn <"$fifo"; rm -f "$fifo"
    export DISPLAY=":$dn"
  fi
}

# Wine 10's session: one sandbox whose mount namespace every Wine process of the run enters
# (scripts/in-debian13.sh), opened by the first lv_wine_start and inherited by the scripts it runs.
lv_session_pid="" lv_session_ns=""
lv_session_start() {
  [ -n "$LV_IN_ROOT" ] && [ -z "${LV_SANDBOX_PID:-}" ] || return 0
  local info i pid=""
  info=$(mktemp)
  "$LV_IN_ROOT" --hold "$info" </dev/null >/dev/null 2>&1 &
  lv_session_pid=$!
  for i in $(seq 100); do
    pid=$(sed -n 's/.*"child-pid": *\([0-9]*\).*/\1/p' "$info")
    [ -n "$pid" ] && break
    sleep 0.05
  done
  rm -f "$info"
  [ -n "$pid" ] || { echo "the Debian 13 root does not start" >&2; return 1; }
  export LV_SANDBOX_PID="$pid"
  lv_session_ns=$(readlink "/proc/$pid/ns/mnt")
}
lv_session_stop() {
  [ -n "$lv_session_pid" ] || return 0
  kill "$lv_session_pid" 2>/dev/null || true
  wait "$lv_session_pid" 2>/dev/null || true
  # Nothing of the run may outlive it: a process still in the session's namespace is one of ours.
  local ns left=""
  for ns in /proc/[0-9]*/ns/mnt; do
    [ "$(readlink "$ns" 2>/dev/null)" = "$lv_session_ns" ] && left+=" $(basename "$(dirname "$(dirname "$ns")")")"
  done
  if [ -n "$left" ]; then
    echo "ending what the Wine 10 run left running:$left" >&2
    kill -9 $left 2>/dev/null || true
  fi
  lv_session_pid="" lv_session_ns=""
  unset LV_SANDBOX_PID
}

lv_wine_start() {
  lv_session_start
  lv_display_start
  lv_wine_boot
}

lv_wine_stop() {
  lv_wine_end
  [ -n "$lv_xvfb_pid" ] && kill "$lv_xvfb_pid" 2>/dev/null || true
  lv_xvfb_pid=""
  lv_session_stop
}

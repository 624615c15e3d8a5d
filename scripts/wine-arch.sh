# Sourced: which Wine this machine can run. The 32-bit loader needs a kernel that runs 32-bit code;
# where it cannot (some virtual machines refuse every 32-bit program), the 64-bit loader runs a
# 64-bit prefix, and the Windows programs under test are the x86_64 build of the same sources.
# LV_WINE_ARCH=win32 or win64 overrides the probe.
if [ -z "${LV_WINE_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then LV_WINE_ARCH=win32; else LV_WINE_ARCH=win64; fi
fi
export LV_WINE_ARCH
export WINEARCH="$LV_WINE_ARCH"
if [ "$LV_WINE_ARCH" = win64 ]; then
  # /usr/bin/wine would pick the 32-bit loader only because its file exists.
  export LV_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
  lv_win_triple=x86_64; lv_win_build=build/win64; lv_prefix_name=wineprefix-win64
else
  export LV_WINE=/usr/lib/wine/wine
  lv_win_triple=i686; lv_win_build=build/win; lv_prefix_name=wineprefix
fi
# The project's prefix (under build/, never the user's) unless one is given; quiet, no install prompts.
export WINEPREFIX="${LV_WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/$lv_prefix_name}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine() { "$LV_WINE" "$@"; }
export -f wine

# A fault must end the process at once (exit code 5), not start winedbg and wait: the debugger named
# here does not exist.
lv_wine_no_debugger() {
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
    /d 'C:\windows\no-debugger.exe' /f </dev/null >/dev/null 2>&1
}

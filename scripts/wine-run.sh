#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (never the user's).
# CTest uses this as the emulator for the Windows test executables.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-arch.sh"
[ "$LV_WINE_ARCH" = win64 ] && default_prefix=wineprefix-win64 || default_prefix=wineprefix
export WINEPREFIX="${LV_WINEPREFIX:-$here/../build/$default_prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$LV_WINE" "$@"

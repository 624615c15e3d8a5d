#!/usr/bin/env bash
# Runs a command with the test prefix set to another screen resolution, then back to 96 dpi.
#   with-dpi.sh DPI COMMAND...
# New processes see a LogPixels change only after the wineserver has restarted.
set -u
dpi="$1"; shift
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEARCH=win32
export WINEPREFIX="${LV_WINEPREFIX:-$here/../../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  # Warm again, with the services off our output (or CTest waits for them).
  wineserver -p </dev/null >/dev/null 2>&1
  wine wineboot </dev/null >/dev/null 2>&1
}

trap 'set_dpi 96' EXIT
set_dpi "$dpi"
LV_EXPECT_DPI="$dpi" "$@"

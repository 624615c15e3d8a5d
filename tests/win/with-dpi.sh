#!/usr/bin/env bash
# Runs a command with the test prefix set to another screen resolution, then back to 96 dpi.
#   with-dpi.sh DPI COMMAND...
# New processes see a LogPixels change only after the wineserver has restarted.
set -u
dpi="$1"; shift
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-env.sh"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1
  lv_wine_end
  lv_wine_boot
}

trap 'set_dpi 96' EXIT
set_dpi "$dpi"
LV_EXPECT_DPI="$dpi" "$@"

#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under Wine in the prefix the caller chose
# (scripts/wine-env.sh; the tests' prefix by default), never the user's, with the implementation the
# caller chose (LV_WINE_IMPL).
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-env.sh"
if [ -n "$LV_IN_ROOT" ]; then exec "$LV_IN_ROOT" "$LV_WINE" "$@"; fi
exec "$LV_WINE" "$@"

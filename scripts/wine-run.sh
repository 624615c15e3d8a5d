#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under Wine in the prefix the caller chose
# (scripts/wine-env.sh; the tests' prefix by default), never the user's.
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-env.sh"
exec "$LV_WINE" "$@"

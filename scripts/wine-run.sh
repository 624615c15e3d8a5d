#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (never the user's).
# CTest uses this as the emulator for the Windows test executables.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-arch.sh"
exec "$LV_WINE" "$@"

#!/usr/bin/env bash
# Runs the package tests (argument 2) in a Wine prefix of their own (argument 1) with its own
# wineserver, so that msiexec's services and registry never meet the other tests' prefix.
# Where the kernel runs no 32-bit code, the prefix is a 64-bit one and the tests are the x86_64 build.
set -eu
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-arch.sh"
export WINEPREFIX="$1" LV_WINEPREFIX="$1"
mkdir -p "$WINEPREFIX"
# Services started by the first Wine process inherit its output: keep them off CTest's pipe,
# and end them all with the server afterwards.
trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true' EXIT
wineserver -p </dev/null >/dev/null 2>&1
boot=""
[ -f "$WINEPREFIX/system.reg" ] || boot=-i
wine wineboot $boot </dev/null >/dev/null 2>&1 || { echo "Wine does not start in $WINEPREFIX"; exit 1; }
wine "$2" </dev/null

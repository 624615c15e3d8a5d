#!/usr/bin/env bash
# Runs the package tests (argument 2) in a Wine prefix of their own (argument 1) with its own
# wineserver, so that msiexec's services and registry never meet the other tests' prefix.
# LV_MSI_WINEARCH=win64 and LV_MSI_WINE=<wine64 loader> run a 64-bit build of the same tests.
set -eu
export WINEPREFIX="$1" LV_WINEPREFIX="$1"
export WINEARCH="${LV_MSI_WINEARCH:-win32}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine="${LV_MSI_WINE:-wine}"
mkdir -p "$WINEPREFIX"
# Services started by the first Wine process inherit its output: keep them off CTest's pipe,
# and end them all with the server afterwards.
trap 'wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true' EXIT
wineserver -p </dev/null >/dev/null 2>&1
boot=""
[ -f "$WINEPREFIX/system.reg" ] || boot=-i
"$wine" wineboot $boot </dev/null >/dev/null 2>&1 || { echo "Wine does not start in $WINEPREFIX"; exit 1; }
"$wine" "$2" </dev/null

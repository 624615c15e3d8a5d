#!/usr/bin/env bash
# Runs the package tests (argument 1) in the package's Wine prefix with its own wineserver, so that
# msiexec's services and registry never meet the other tests' prefix.
set -eu
source "$(cd "$(dirname "${BASH_SOURCE[0]}")/../../scripts" && pwd)/wine-env.sh"
lv_prefix msi "${2:-$WINEARCH}"  # argument 2, or the caller's kind: 32-bit, or 64-bit with WOW64
trap lv_wine_end EXIT
lv_wine_boot
wine "$1" </dev/null

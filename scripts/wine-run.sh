#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under Wine in the prefix the caller chose
# (scripts/wine-env.sh; the tests' prefix by default), never the user's, with the implementation the
# caller chose (LV_WINE_IMPL).
source "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-env.sh"
run() { ${LV_IN_ROOT:+"$LV_IN_ROOT"} "$LV_WINE" "$@"; }

# CTest reads the list of tests from standard output alone.
case " $* " in *" --gtest_list_tests "*) run "$@"; exit ;; esac

# A test program prints GoogleTest's banner before any test, and Wine reports a crash on its own.
# A run that fails having printed nothing at all therefore never reached the program: under Wine 8
# in CI, a test program failed so within 50 ms, before any of its tests ran. Such a run is
# reported with its status and time and started once more; a run that printed anything stands.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for attempt in 1 2; do
  start=$(date +%s%N)
  run "$@" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  [ "$rc" -ne 0 ] && [ ! -s "$out" ] || exit "$rc"
  echo "wine-run: $1 ended with status $rc after $((($(date +%s%N) - start) / 1000000)) ms having printed nothing"
done
exit "$rc"

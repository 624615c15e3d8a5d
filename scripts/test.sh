#!/usr/bin/env bash
# Sets everything up and runs every test: the portable code natively (with sanitizers), the shipped
# Windows program and its tests under two Win32 implementations (the machine's Wine 8 and Debian
# 13's Wine 10, scripts/wine-env.sh), and the fuzz targets for a bounded time.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)

echo "== native build and tests"
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j"$jobs"
ctest --test-dir build/host --output-on-failure -j"$jobs"

echo "== Windows build (the shipped 32-bit files in dist/)"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
  -DLV_DIST_DIR="$root/dist" >/dev/null
cmake --build build/win -j"$jobs"

source scripts/wine-env.sh
lv_prefix tests
if [ "$lv_win_triple" = i686 ]; then
  echo "== the x86_64 build of the same program: its file check too"
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DLV_DIST_DIR="$root/build/win64/dist" -DLV_WINDOWS_TESTS=OFF >/dev/null
  cmake --build build/win64 -j"$jobs" --target lviehlp lvieres
  bash tests/win/check-dist.sh build/win64/dist x86_64
else
  echo "== no 32-bit Wine ($lv_arch_why): the shipped files are checked as files,"
  echo "== and the Windows tests run against the x86_64 build of the same sources in a 64-bit prefix"
  bash tests/win/check-dist.sh dist  # fails the run when the files are wrong
  echo "dist_files: passed"
  lv_win_configure
  cmake --build "$lv_win_build" -j"$jobs"
fi

# The same tests, the same programs and the same rule on each implementation; a failure on the
# first does not keep the second from running.
failed=0 summary=() browser_summary=()
windows_suite() {  # IMPL NAME
  export LV_WINE_IMPL="$1"
  source scripts/wine-env.sh
  lv_prefix tests
  local version start=$SECONDS log="build/ctest-$1.log" rc=0
  version=$(wine --version 2>/dev/null | tr -d '\r')
  echo "== Windows tests under $version, $2 ($WINEARCH prefix, the $lv_win_triple program in $lv_win_build)"
  trap lv_wine_stop EXIT
  lv_wine_start
  # One at a time: the tests share the prefix's registry and its windows. Each has its own time limit.
  ctest --test-dir "$lv_win_build" --output-on-failure -j1 2>&1 | tee "$log" || rc=1
  lv_wine_stop
  trap - EXIT
  [ $rc -eq 0 ] || failed=1
  local counts
  counts=$(sed -n 's/^.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$/\2 run, \1 failed/p' "$log" | tail -1)
  summary+=("$version ($2): ${counts:-no result} in $((SECONDS - start)) s, the $lv_win_triple program")
  # The real browsers' road under this implementation, one line of its own.
  local browsers
  browsers=$(sed -n 's/^.*Test *#[0-9]*: browser_\([a-z]*\)_\([a-z]*\) [ .*]*\([A-Za-z]*\) *\([0-9.]*\) sec$/\1 \2 \3 (\4 s)/p' "$log" |
    paste -sd ',' | sed 's/,/, /g')
  browser_summary+=("$version ($2): ${browsers:-no result}")
}
windows_suite wine8 "Debian 12"
windows_suite wine10 "Debian 13 root"

# Where 32-bit code does not run here, the shipped files' tests run in an emulated machine that does
# (and where it does, with LV_EMULATE=1).
emulated=""
if [ "$lv_win_triple" != i686 ] || [ "${LV_EMULATE:-0}" = 1 ]; then
  echo "== the shipped 32-bit files' Windows tests in the emulated machine (scripts/qemu-tests.sh)"
  bash scripts/qemu-tests.sh | tee build/qemu-tests.log || failed=1
  emulated=$(tail -1 build/qemu-tests.log)
fi

if [ -d tests/fuzz ]; then
  echo "== fuzz targets (${LV_FUZZ_SECONDS:-15} s each)"
  bash scripts/fuzz.sh "${LV_FUZZ_SECONDS:-15}"
fi

for line in "${summary[@]}"; do echo "== Windows tests, $line"; done
for line in "${browser_summary[@]}"; do echo "== Real browsers (Chromium, Firefox ESR) under $line"; done
if [ "$lv_win_triple" = i686 ]; then
  for impl in "Wine 8 (Debian 12)" "Wine 10 (Debian 13 root)"; do
    echo "== $impl: the shipped 32-bit dist/lviehlp.exe ran every Windows test (32-bit prefix, and WOW64 in a 64-bit one)"
  done
else
  echo "== here ($lv_arch_why) both implementations ran the x86_64 build; the shipped files passed their file checks"
fi
[ -z "$emulated" ] || echo "== $emulated"
exit $failed

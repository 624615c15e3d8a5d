#!/usr/bin/env bash
# Sets everything up and runs every test: the portable code natively (with sanitizers),
# the Windows program and its tests under Wine, and the fuzz targets for a bounded time.
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
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$jobs"

source scripts/wine-env.sh
if [ "$lv_win_triple" != i686 ]; then
  echo "== this kernel runs no 32-bit code, so no 32-bit Wine: the shipped files are checked as files,"
  echo "== and the Windows tests run against the x86_64 build of the same sources in a 64-bit prefix"
  bash tests/win/check-dist.sh dist && echo "dist_files: passed"
  cmake -S . -B "$lv_win_build" -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$lv_win_triple.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DLV_DIST_DIR="$root/$lv_win_build/dist" >/dev/null
  cmake --build "$lv_win_build" -j"$jobs"
fi

echo "== Windows tests under Wine ($WINEARCH prefix, $lv_win_triple build)"
trap lv_wine_stop EXIT
lv_wine_start
# One at a time: the tests share the prefix's registry and its windows.
ctest --test-dir "$lv_win_build" --output-on-failure -j1 --timeout 600
lv_wine_stop
trap - EXIT

if [ -d tests/fuzz ]; then
  echo "== fuzz targets (${LV_FUZZ_SECONDS:-15} s each)"
  bash scripts/fuzz.sh "${LV_FUZZ_SECONDS:-15}"
fi

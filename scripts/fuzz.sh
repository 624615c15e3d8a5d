#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) in build/fuzz and runs each for the given
# number of seconds (default 15). The committed seeds are copied to a scratch corpus first so a
# run never changes them. Exit status is non-zero when any target finds something.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
seconds="${1:-15}"
out="$root/build/fuzz"

cmake -S . -B "$out" -DLV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 2
cmake --build "$out" -j2 >/dev/null || { cmake --build "$out" -j1; exit 2; }

passed=0; failed=0
for seeds in tests/fuzz/corpus/*/; do
  target="$(basename "$seeds")"
  exe="$out/tests/fuzz/$target"
  [ -x "$exe" ] || { echo "$target: not built"; failed=$((failed + 1)); continue; }
  scratch="$out/corpus/$target"; artifacts="$out/artifacts/$target"
  rm -rf "$artifacts"; mkdir -p "$scratch" "$artifacts"
  cp -n "$seeds"/* "$scratch"/
  log="$out/$target.log"
  # New inputs land in the scratch folder only.
  "$exe" "$scratch" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$artifacts/" >"$log" 2>&1
  rc=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  if [ $rc -eq 0 ]; then
    passed=$((passed + 1))
    printf '%-14s passed  %12s executions\n' "$target" "${execs:-?}"
  else
    failed=$((failed + 1))
    printf '%-14s FAILED  %12s executions (exit %d, log %s)\n' "$target" "${execs:-?}" "$rc" "$log"
    grep -m3 -E 'property violated|ERROR: |runtime error' "$log" | sed 's/^/    /'
    ls "$artifacts" | sed 's/^/    artifact: /'
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

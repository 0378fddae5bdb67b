#!/usr/bin/env bash
# Runs every libFuzzer target for N seconds (default 60) from a fresh corpus. Ends with
# "fuzz: N passed, M failed". Crash inputs land in build/fuzz/crashes/.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-60}"
passed=0 failed=0
mkdir -p build/fuzz/crashes
for target in build/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  if "$target" -max_total_time="$seconds" -artifact_prefix="build/fuzz/crashes/$name-" >"build/fuzz/$name.log" 2>&1; then
    echo "fuzz $name: clean for ${seconds}s ($(grep -o 'Done [0-9]* runs' "build/fuzz/$name.log" | tail -n1))"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED (see build/fuzz/$name.log)"
    tail -n 20 "build/fuzz/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

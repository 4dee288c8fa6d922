#!/usr/bin/env bash
# Builds the libFuzzer targets of the input readers (tests/fuzz) with clang and
# runs each for SECONDS_PER_TARGET seconds (default 20) on a copy of its seed
# corpus, so what the fuzzer finds never lands in the source tree. Prints one
# line per target; exits 1 when any target crashed or failed one of its checks
# (the input and the target's report are then printed).
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
build=${FUZZ_BUILD_DIR:-build-fuzz}

bash scripts/install-deps.sh --with-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNOKET_FUZZ=ON \
  -DVARNOKET_UNITY_BUILD=ON -DVARNOKET_BUILD_TESTS=OFF -DVARNOKET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_targets

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for seeds in tests/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  target="$build/tests/fuzz/${name}_fuzz"
  mkdir -p "$work/$name/artifacts"
  cp -r "$seeds" "$work/$name/corpus"
  result=ok
  if ! TMPDIR="$work/$name" "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/$name/artifacts/" "$work/$name/corpus" >"$work/$name/log" 2>&1; then
    result=CRASH
    failed=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name/log" | tail -n 1)
  printf 'fuzz %-14s %10s executions in %ss: %s\n' "$name" "${runs:-?}" "$seconds" "$result"
  if [ "$result" != ok ]; then
    grep -v '^#' "$work/$name/log" | tail -n 40
    for input in "$work/$name"/artifacts/*; do
      [ -f "$input" ] || continue
      echo "input $(basename "$input") (base64): $(base64 -w0 "$input")"
    done
  fi
done
exit "$failed"

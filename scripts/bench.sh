#!/usr/bin/env bash
# Builds the benchmark and the command-line front end (Release, in
# build-bench/) and runs the benchmark with the arguments given, e.g.
#   scripts/bench.sh --quick
#   scripts/bench.sh --files 50000 --scaling
# It prints figures and ratios; it never fails on a timing. The machine should
# be otherwise idle while it runs: the figures are wall times.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BENCH_BUILD_DIR:-build-bench}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARNOKET_BUILD_TESTS=OFF \
  -DVARNOKET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs" --target varnoket-cli varnoket-bench tree-load-bench >/dev/null
exec "$build/bench/varnoket-bench" "$@"

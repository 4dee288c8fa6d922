#!/usr/bin/env bash
# Builds the command-line front end (Release, in build-bench/), installs the
# anchors' tools (bzip2, restic) when it can, and runs bench/parallel_bench.py
# with the arguments given, e.g.
#   scripts/bench-parallel.sh --quick
# It prints figures, each beside the limit the machine allows or its target,
# and ends with the table "limits"; it never fails on a timing. The machine
# should be otherwise idle while it runs: the figures are wall times.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! command -v restic >/dev/null; then
  # The restic figures are anchors only: the bench runs without them.
  { apt-get install -y -q restic || sudo apt-get install -y -q restic; } >/dev/null 2>&1 || true
fi
build=${BENCH_BUILD_DIR:-build-bench}
jobs=$(nproc)
[ "$jobs" -gt 2 ] && jobs=2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARNOKET_BUILD_TESTS=OFF \
  -DVARNOKET_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs" --target varnoket-cli >/dev/null 2>&1
exec python3 bench/parallel_bench.py --cli "$build/src/cli/varnoket-cli" "$@"

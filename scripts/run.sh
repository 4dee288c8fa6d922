#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Until the window
# program exists this starts the command-line front end: with no arguments it
# shows its usage; any arguments are passed on, e.g.
#   scripts/run.sh --program-folder ~/varnoket backup
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target varnoket-cli >/dev/null
exec "$build/src/cli/varnoket-cli" "$@"

#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything with the
# address and undefined-behaviour sanitizers (warnings as errors), runs every
# test through CTest on that build, builds, checks and installs the Debian
# package and fuzzes the input readers briefly.
# Prints how long each phase took.
set -euo pipefail
cd "$(dirname "$0")/.."

phase_start=$SECONDS
phase_done() {
  echo "test.sh: $1 took $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}

# Everything the phases below need, in one pass of the package manager.
bash scripts/install-deps.sh --with-tools --with-package --with-fuzz
phase_done "installing packages"
bash scripts/check-format.sh
phase_done "format check"

# The sanitizers' settings, for the build too: gtest_discover_tests runs each
# test program once at build time to list its tests. Leaks are reported (none
# is, Qt's offscreen platform included). verify_asan_link_order=0: the crash
# test runs varnoket-cli under faketime, whose LD_PRELOAD library comes before
# the ASan runtime.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:verify_asan_link_order=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# One build, the sanitized one, is the one tested (the crash test drives its
# varnoket-cli). No optimisation and line tables only (-O0 -g1): with the
# sanitizers a file compiles about twice as fast as at -O1 and three times as
# fast as at -O2, about as fast as the unsanitized -O2 -g build did. The
# sources of src/ are compiled in batches (a build from scratch).
build=${BUILD_DIR:-build-asan}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O0 -g1" \
  -DVARNOKET_WERROR=ON -DVARNOKET_SANITIZE=ON -DVARNOKET_UNITY_BUILD=ON ${CMAKE_EXTRA_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
phase_done "configure and build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
phase_done "ctest"
# The Debian package: its own Release build, its validators, its installation.
bash scripts/package.sh
phase_done "package"
bash scripts/fuzz.sh 5
phase_done "fuzz build and run"

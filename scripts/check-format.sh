#!/usr/bin/env bash
# Checks, without changing anything, that every .h/.cpp of src/, tests/ and
# bench/ (the fuzz seed corpus aside) follows the repository's .clang-format.
# Prints each file that differs and exits 1 when any does; exits 0 otherwise.
#   scripts/check-format.sh            # quiet list of the files that differ
#   scripts/check-format.sh --verbose  # also clang-format's own diagnostics
# The files are formatted with `clang-format -i FILE`.
set -euo pipefail
cd "$(dirname "$0")/.."
verbose=${1:-}

if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is missing (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

mapfile -d '' files < <(find src tests bench -path tests/fuzz/corpus -prune -o \
  -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

# clang-format over batches of files, one batch at a time so that messages never
# interleave; keeps the names of the files it complains about (its messages
# start with "FILE:LINE:COLUMN: error:").
status=0
report=$(printf '%s\0' "${files[@]}" |
  xargs -0 -n 50 clang-format --dry-run -Werror --style=file 2>&1) || status=$?
if [ "$verbose" = --verbose ]; then
  printf '%s\n' "$report"
fi
mapfile -t differing < <(printf '%s\n' "$report" |
  sed -n 's/^\([^:]*\.\(h\|cpp\)\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)

if [ "$status" -ne 0 ] && [ "${#differing[@]}" -eq 0 ]; then
  # clang-format failed without naming a badly formatted file: show why.
  printf '%s\n' "$report" >&2
  echo "check-format: clang-format failed (status $status)" >&2
  exit 2
fi
if [ "${#differing[@]}" -gt 0 ]; then
  printf 'not formatted: %s\n' "${differing[@]}"
  echo "check-format: ${#differing[@]} of ${#files[@]} files differ from .clang-format" \
    "(format them with clang-format -i FILE)" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"

#!/usr/bin/env bash
# Checks that the manual page of varnoket-cli documents what the program's
# --help lists: each command has its entry in COMMANDS and each --option
# appears. Usage: check-man-page.sh VARNOKET_CLI MAN_PAGE (the roff source).
set -euo pipefail
cli=$1
page=$2

help=$("$cli" --help)
# The commands: on each usage line, the first word after the program name and
# its bracketed options.
commands=$(sed -nE 's/^(usage ?:)? *varnoket-cli( \[[^]]*\])* ([a-z-]+).*/\3/p' <<<"$help" | sort -u)
options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
[ -n "$commands" ] || { echo "no command found in the output of $cli --help" >&2; exit 1; }

# The COMMANDS section of the page: from its heading to the next one.
section=$(sed -n '/^\.SH COMMANDS/,/^\.SH /p' "$page")
missing=0
for c in $commands; do
  # An entry starts with ".TP" and names the command in bold on the next line.
  if ! grep -qE "^(\.B $c$|\\\\fB$c\\\\fR)" <<<"$section"; then
    echo "$page: no entry for the command '$c' in COMMANDS" >&2
    missing=1
  fi
done
for o in $options; do
  # roff writes a hyphen of an option as \-.
  if ! grep -qF -- "${o//-/\\-}" "$page"; then
    echo "$page: the option '$o' is not documented" >&2
    missing=1
  fi
done
[ "$missing" -eq 0 ] && echo "$(wc -w <<<"$commands") commands and $(wc -w <<<"$options") options documented"
exit "$missing"

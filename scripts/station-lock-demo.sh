#!/usr/bin/env bash
# Plays two writers on one station with the real programs on a virtual
# screen: the tray program's scheduled backup is under way (a clock twenty
# times faster from 12:58 brings the tick within half a minute) when
# varnoket-cli backup starts on the same station; the tool must say who holds
# the station and leave. Then the session ends the tray program with SIGTERM
# in the middle of its run: it must stop within five seconds, leave no list
# and no partial copy, and the next start must make the day's backup.
# $SIZE_MB (default 150) of random files make the run long enough.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
build_programs
make_work_folder
start_virtual_screen "${SCREEN_NUMBER:-97}"
prog="$work/prog"; store="$work/store"
docs="$work/docs"; mkdir -p "$docs"
for i in 1 2 3; do head -c "$(( ${SIZE_MB:-150} * 1048576 / 3 ))" /dev/urandom > "$docs/part$i.bin"; done
prepare_program_folder "$docs"
cli=("$build/src/cli/varnoket-cli" --program-folder "$prog")
log="$store/$station/LASTBACKUP.LOG"
day="$store/$station/$(date +%d%m%Y)"
fail() { echo "FAILED: $*" >&2; exit 1; }
start_program() {
  NO_FAKE_STAT=1 faketime -f "@$(date +%Y-%m-%d) 12:58:00 x20" "$prog/varnoket" \
    >>"$work/program.log" 2>&1 &
  pids+=($!)
  # faketime runs the program as its child: the program's own process.
  program=""
  for _ in $(seq 100); do
    program=$(pgrep -nx varnoket || true)
    [ -n "$program" ] && break
    sleep 0.1
  done
  [ -n "$program" ] || fail "the program did not start"
}
wait_for() {  # $1: a command that succeeds once the awaited thing is there
  for _ in $(seq 1200); do eval "$1" && return 0; sleep 0.1; done
  return 1
}

echo "== the tray program starts; its tick runs the day's backup"
start_program
wait_for "grep -q 'Début de la sauvegarde' '$log' 2>/dev/null" || fail "the scheduled run did not start"
echo "run under way: $(tr -d '\r' < "$log" | tail -1)"

echo "== varnoket-cli backup on the same station, meanwhile"
code=0
"${cli[@]}" backup >"$work/cli.out" 2>&1 || code=$?
cat "$work/cli.out"
[ "$code" -eq 3 ] || fail "varnoket-cli backup ended with $code, not 3"
grep -q "processus $program" "$work/cli.out" || fail "the holder (process $program) is not named"
echo "varnoket-cli backup ended with 3 and named the tray program's process"

echo "== the session ends the tray program (SIGTERM) in the middle of its run"
start=$(date +%s%N)
kill -TERM "$program"
while kill -0 "$program" 2>/dev/null; do sleep 0.05; done
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
echo "the program ended $elapsed ms after SIGTERM"
tr -d '\r' < "$log" | tail -2
[ "$elapsed" -le 5000 ] || fail "it took more than five seconds"
grep -q "Sauvegarde interrompue : le programme se termine." "$log" || fail "no log line says the run stopped"
[ ! -f "$day/filelist.txt" ] || fail "a list was written by the stopped run"
partial=$(find "$store" -name '.vk-part-*' | wc -l)
[ "$partial" -eq 0 ] || fail "$partial partial copies left"
echo "no day list, no partial copy left"

echo "== the next start makes the day's backup"
start_program
wait_for "[ -f '$day/filelist.txt' ]" || fail "the next start made no backup"
wait_for "grep -q 'Fin de la sauvegarde' '$log'" || fail "the run did not end"
tr -d '\r' < "$log"
"${cli[@]}" verify
echo "== all checks passed"

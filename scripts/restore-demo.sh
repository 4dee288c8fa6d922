#!/usr/bin/env bash
# Plays restores as a user does them, on a virtual screen with a notification
# area: a store with three backup days (made by varnoket-cli under shifted
# clocks), the documents then lost; the program's restore window opened from
# the tray and the middle day picked.
#  1. A directory and two files elsewhere ticked and restored in place.
#  2. A file that changed every day: its versions listed (F7), the oldest
#     one picked and restored.
#  3. A file restored in step 1 edited since; the day restored again: the
#     question about files that differ is answered "keep both".
# Then checks on disk that exactly the expected files came back, with the
# right contents, dates and permissions, and opens the log viewer.
# Pictures go to $OUT (default /tmp/varnoket-restore-demo); with
# UPDATE_SCREENSHOTS=1 the versions list and the question are also copied to
# docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
build_programs
out=${OUT:-/tmp/varnoket-restore-demo}
mkdir -p "$out"
rm -f "$out"/[0-9]-*.png "$out"/restore-versions.png "$out"/restore-keep-both.png
make_work_folder
export XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/config" HOME="$work"

prog="$work/prog" store="$work/store" docs="$work/Documents"
mkdir -p "$docs/Rapports/2025" "$docs/Photos/Vacances" "$docs/Courrier"
echo "Bilan, premier jet" > "$docs/Rapports/bilan.txt"
echo "Compte rendu" > "$docs/Rapports/reunion.txt"
echo "Budget" > "$docs/Rapports/2025/budget.txt"
echo "Lettre" > "$docs/Courrier/lettre.txt"
echo "Facture" > "$docs/Courrier/facture.txt"
head -c 20000 /dev/urandom > "$docs/Photos/Vacances/plage.jpg"
head -c 30000 /dev/urandom > "$docs/Photos/Vacances/montagne.jpg"
touch -d "2026-01-15 09:30:00" "$docs/Courrier/lettre.txt"
touch -d "2025-08-02 18:12:00" "$docs/Photos/Vacances/plage.jpg"
touch -d "2026-01-12 11:05:00" "$docs/Rapports/reunion.txt"
chmod 444 "$docs/Courrier/lettre.txt"
prepare_program_folder "$docs"
backup_days_ago 3
cp -a "$docs" "$work/oldest"     # what the first day holds
echo "Bilan, version relue" > "$docs/Rapports/bilan.txt"
touch -d "2026-02-01 10:00:00" "$docs/Rapports/bilan.txt"
echo "Compte rendu, complété" > "$docs/Rapports/reunion.txt"
touch -d "2026-02-03 16:40:00" "$docs/Rapports/reunion.txt"
backup_days_ago 2
cp -a "$docs" "$work/expected"   # what the middle day holds
echo "Bilan, version finale" > "$docs/Rapports/bilan.txt"
echo "Compte rendu corrigé" > "$docs/Rapports/reunion.txt"
backup_days_ago 1
echo "backup days: $("$build/src/cli/varnoket-cli" --program-folder "$prog" days | tr '\n' ' ')"
chmod -R u+w "$docs"; rm -rf "$docs"
echo "the documents are lost"

status=0
# Compares $docs/$1 with $2/$1 (bytes, modification time within 2 s).
check_same() {
  local a b
  if ! cmp -s "$docs/$1" "$2/$1"; then echo "DIFFERS: $1"; status=1; return; fi
  a=$(stat -c %Y "$docs/$1") b=$(stat -c %Y "$2/$1")
  if [ $((a - b)) -gt 2 ] || [ $((b - a)) -gt 2 ]; then echo "DATE DIFFERS: $1"; status=1; fi
  echo "$1: same bytes as $(basename "$2"), date $(date -d "@$a" '+%F %T'), mode $(stat -c %a "$docs/$1")"
}
# A visible window titled $1 other than window $2 (the program's question
# has the restore window's title).
wait_other_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "$2" | tail -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "no second window '$1' appeared" >&2
  return 1
}
# The screen part that the restore window covers, its frame included, with
# whatever stands over it.
shoot_restore() {
  local geometry
  sleep 0.7
  geometry=$(xwininfo -id "$restore" | awk '/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}
    /Relative upper-left X:/{fx=$4}/Relative upper-left Y:/{fy=$4}/Width:/{w=$2}/Height:/{h=$2}
    END{print w+2*fx "x" h+fy+fx+2 "+" x-fx "+" y-fy}')
  import -window root -crop "$geometry" +repage "$out/$1.png"
  echo "$out/$1.png: $2"
}
# The summary box of a run, then the report, which stays open: both closed.
close_run_windows() {
  local summary report
  summary=$(wait_window "^Information$")
  report=$(wait_window "Informations sur la restauration")
  sleep 1
  [ -n "${1:-}" ] && import -window root "$out/$1.png" && echo "$out/$1.png: the report and the summary"
  xdotool windowactivate --sync "$summary" key Return; sleep 0.5
  xdotool windowactivate --sync "$report" key alt+f; sleep 0.5
}

start_virtual_screen "${SCREEN_NUMBER:-95}"
# The windows' French texts, which the steps below look for, whatever the
# desktop's language.
LC_ALL=C.UTF-8 LANGUAGE='' "$prog/varnoket" >"$work/varnoket.log" 2>&1 & pids+=($!)
icon=$(tray_icon)
sleep 2
xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 120 1
main=$(wait_window "Varnoket version")
xdotool windowactivate --sync "$main" key alt+r
restore=$(wait_window "Varnoket - Restauration")
read -r rx ry < <(window_origin "$restore")
# The middle day of the drop-down (top right).
xdotool mousemove $((rx + 690)) $((ry + 19)) click 1; sleep 0.5
xdotool key Home Down Return; sleep 1.5
# Rows of the expanded tree: /, tmp, <work>, Documents, Courrier, Photos,
# Vacances, Rapports, 2025. Pictures sit one indentation step per level.
# The file list on the right: a tick box, then the name.
row() { echo $((ry + 93 + 18 * $1)); }
indent() { echo $((rx + 20 + 20 * $1)); }
file_row() { echo $((ry + 109 + 14 * $1)); }
file_tick=$((rx + 450)) file_name=$((rx + 500))

echo "== 1. a directory and two files, in place"
xdotool mousemove "$(indent 4)" "$(row 5)" click 1; sleep 0.3 # Photos: the directory
xdotool mousemove $((rx + 140)) "$(row 4)" click 1; sleep 0.3 # Courrier selected
xdotool mousemove "$file_tick" "$(file_row 1)" click 1; sleep 0.3 # lettre.txt
xdotool mousemove $((rx + 140)) "$(row 7)" click 1; sleep 0.3 # Rapports selected
xdotool mousemove "$file_tick" "$(file_row 0)" click 1; sleep 0.3 # bilan.txt
import -window root "$out/1-ticked.png"; echo "$out/1-ticked.png: the day and the ticks"
xdotool windowactivate --sync "$restore" key alt+e
confirm=$(wait_window "Avertissement")
xdotool windowactivate --sync "$confirm" key Return
close_run_windows 2-summary
for f in Photos/Vacances/plage.jpg Photos/Vacances/montagne.jpg Rapports/bilan.txt Courrier/lettre.txt; do
  check_same "$f" "$work/expected"
done

echo "== 2. the oldest version of reunion.txt"
xdotool mousemove "$file_name" "$(file_row 1)" click 1; sleep 0.3 # reunion.txt selected
xdotool windowactivate --sync "$restore" key F7
versions=$(wait_window "Versions de .*reunion.txt")
# The first row is the oldest version.
xdotool windowactivate --sync "$versions" key Down Up
shoot_restore restore-versions "the versions of reunion.txt, the oldest selected"
xdotool windowactivate --sync "$versions" key alt+r
close_run_windows
xdotool windowactivate --sync "$versions" key alt+f; sleep 0.5
check_same Rapports/reunion.txt "$work/oldest"

echo "== 3. bilan.txt edited since; the day again, keeping both"
echo "Bilan, mes corrections du jour" > "$docs/Rapports/bilan.txt"
mkdir -p "$work/edited/Rapports"; cp -a "$docs/Rapports/bilan.txt" "$work/edited/Rapports/"
xdotool windowactivate --sync "$restore" key alt+e
confirm=$(wait_window "Avertissement")
xdotool windowactivate --sync "$confirm" key Return
question=$(wait_other_window "Varnoket - Restauration" "$restore")
shoot_restore restore-keep-both "the question about a file that differs, keep both offered"
xdotool windowactivate --sync "$question" key alt+g
close_run_windows 3-keep-both-summary
kept="Rapports/bilan (restauré du $(date -d "2 days ago" '+%d-%m-%Y')).txt"
check_same Rapports/bilan.txt "$work/edited"
if cmp -s "$docs/$kept" "$work/expected/Rapports/bilan.txt"; then
  echo "$kept: the middle day's bilan.txt"
else
  echo "KEPT COPY MISSING OR DIFFERS: $kept"; status=1
fi

xdotool windowactivate --sync "$restore" key alt+f; sleep 0.5
xdotool windowactivate --sync "$main" key alt+v
wait_window "Fichier LOG" >/dev/null
sleep 0.7
import -window root "$out/4-log.png"; echo "$out/4-log.png: the log viewer"

if [ "${UPDATE_SCREENSHOTS:-0}" = 1 ]; then
  cp "$out/restore-versions.png" "$out/restore-keep-both.png" "$repo/docs/screenshots/"
  echo "copied restore-versions.png and restore-keep-both.png to docs/screenshots/"
fi

echo "== what came back"
(cd "$docs" && find . -type f | sort) | tee "$work/came-back"
printf '%s\n' "./Courrier/lettre.txt" "./Photos/Vacances/montagne.jpg" \
  "./Photos/Vacances/plage.jpg" "./$kept" "./Rapports/bilan.txt" "./Rapports/reunion.txt" |
  sort > "$work/wanted"
if ! diff "$work/wanted" "$work/came-back"; then echo "NOT EXACTLY THE EXPECTED FILES"; status=1; fi
[ "$status" = 0 ] && echo "exactly the expected files, with the expected contents and dates"
exit "$status"

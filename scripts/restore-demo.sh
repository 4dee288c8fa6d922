#!/usr/bin/env bash
# Plays a restore as a user does it, on a virtual screen with a notification
# area: a store with three backup days (made by varnoket-cli under shifted
# clocks), the documents then lost; the program's restore window opened from
# the tray, the middle day picked, a directory and two files elsewhere
# ticked, the restore run. Then checks on disk that exactly those files came
# back with that day's contents, dates and permissions, and opens the log
# viewer. Pictures go to $OUT (default /tmp/varnoket-restore-demo).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
build_programs
out=${OUT:-/tmp/varnoket-restore-demo}
rm -rf "$out"; mkdir -p "$out"
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
chmod 444 "$docs/Courrier/lettre.txt"
prepare_program_folder "$docs"
backup_days_ago 3
echo "Bilan, version relue" > "$docs/Rapports/bilan.txt"
touch -d "2026-02-01 10:00:00" "$docs/Rapports/bilan.txt"
backup_days_ago 2
cp -a "$docs" "$work/expected"   # what the middle day holds
echo "Bilan, version finale" > "$docs/Rapports/bilan.txt"
echo "Compte rendu corrigé" > "$docs/Rapports/reunion.txt"
backup_days_ago 1
echo "backup days: $("$build/src/cli/varnoket-cli" --program-folder "$prog" days | tr '\n' ' ')"
chmod -R u+w "$docs"; rm -rf "$docs"
echo "the documents are lost"

start_virtual_screen "${SCREEN_NUMBER:-95}"
"$prog/varnoket" >"$work/varnoket.log" 2>&1 & pids+=($!)
icon=$(tray_icon)
sleep 2
xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 120 1
main=$(wait_window "Varnoket version")
xdotool windowactivate --sync "$main" key alt+r
restore=$(wait_window "Varnoket - Restauration")
read -r rx ry < <(window_origin "$restore")
# The middle day of the drop-down.
xdotool mousemove $((rx + 560)) $((ry + 22)) click 1; sleep 0.5
xdotool key Home Down Return; sleep 1.5
# Rows of the expanded tree: /, tmp, <work>, Documents, Courrier, Photos,
# Vacances, Rapports, 2025. Pictures sit one indentation step per level.
row() { echo $((ry + 89 + 18 * $1)); }
indent() { echo $((rx + 20 + 20 * $1)); }
file_row() { echo $((ry + 89 + 16 * $1)); }
xdotool mousemove "$(indent 4)" "$(row 5)" click 1; sleep 0.3      # Photos: the directory
xdotool mousemove $((rx + 140)) "$(row 4)" click 1; sleep 0.3      # Courrier selected
xdotool mousemove $((rx + 362)) "$(file_row 1)" click 1; sleep 0.3 # lettre.txt
xdotool mousemove $((rx + 140)) "$(row 7)" click 1; sleep 0.3      # Rapports selected
xdotool mousemove $((rx + 362)) "$(file_row 0)" click 1; sleep 0.3 # bilan.txt
import -window root "$out/1-ticked.png"; echo "$out/1-ticked.png: the day and the ticks"
xdotool windowactivate --sync "$restore" key alt+e
confirm=$(wait_window "Avertissement")
xdotool windowactivate --sync "$confirm" key Return
summary=$(wait_window "^Information$")
sleep 1
import -window root "$out/2-summary.png"; echo "$out/2-summary.png: the report and the summary"
xdotool windowactivate --sync "$summary" key Return; sleep 0.5
xdotool windowactivate --sync "$restore" key alt+f; sleep 0.5
xdotool windowactivate --sync "$main" key alt+v
wait_window "Fichier LOG" >/dev/null
sleep 0.7
import -window root "$out/3-log.png"; echo "$out/3-log.png: the log viewer"

echo "== what came back"
(cd "$docs" && find . -type f | sort)
status=0
for f in Photos/Vacances/plage.jpg Photos/Vacances/montagne.jpg Rapports/bilan.txt Courrier/lettre.txt; do
  if ! cmp -s "$docs/$f" "$work/expected/$f"; then echo "DIFFERS: $f"; status=1; fi
  a=$(stat -c %Y "$docs/$f") b=$(stat -c %Y "$work/expected/$f")
  if [ $((a - b)) -gt 2 ] || [ $((b - a)) -gt 2 ]; then echo "DATE DIFFERS: $f"; status=1; fi
  echo "$f: same bytes, date $(date -d "@$a" '+%F %T'), mode $(stat -c %a "$docs/$f")"
done
for f in Rapports/reunion.txt Rapports/2025/budget.txt Courrier/facture.txt; do
  if [ -e "$docs/$f" ]; then echo "NOT TICKED BUT RESTORED: $f"; status=1; fi
done
[ "$status" = 0 ] && echo "exactly the ticked files, with the middle day's contents and dates"
exit "$status"

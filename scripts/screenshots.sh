#!/usr/bin/env bash
# Starts the real program on a virtual screen (Xvfb, a window manager and a
# notification area) with a prepared program folder and store, opens each of
# its windows the way a user does (tray icon, buttons, keys) and photographs
# them into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
build_programs

out="$repo/docs/screenshots"
mkdir -p "$out"
make_work_folder

# A program folder of its own, a store, and some documents to back up,
# backed up on three earlier days by the command-line tool.
prog="$work/prog" store="$work/store" docs="$work/Documents"
mkdir -p "$docs/Rapports/2025" "$docs/Photos/Vacances" "$docs/Courrier"
echo "Bilan annuel" > "$docs/Rapports/bilan.txt"
echo "Compte rendu" > "$docs/Rapports/reunion.txt"
echo "Budget" > "$docs/Rapports/2025/budget.txt"
echo "Lettre" > "$docs/Courrier/lettre.txt"
head -c 20000 /dev/urandom > "$docs/Photos/Vacances/plage.jpg"
head -c 30000 /dev/urandom > "$docs/Photos/Vacances/montagne.jpg"
prepare_program_folder "$docs" "EXCLUSIONS=*.mp3,*.mpeg,*.mpg,*.tmp,PageFile.sys"
for days_ago in 3 2 1; do
  echo "version $days_ago" >> "$docs/Rapports/bilan.txt"
  backup_days_ago "$days_ago"
done

export XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/config" HOME="$work"
start_virtual_screen "${SCREEN_NUMBER:-97}"

# The windows speak the desktop's language: French here, English at the end.
LC_ALL= LC_MESSAGES= LANGUAGE= LANG=fr_FR.UTF-8 "$prog/varnoket" >"$work/varnoket.log" 2>&1 &
program=$!
pids+=("$program")

shoot() {
  sleep 0.7
  import -frame -window "$2" "$out/$1.png"
  echo "docs/screenshots/$1.png"
}

# The backup set is not empty, so the window hides into the tray at start;
# a double click on the tray icon brings it back.
sleep 3
icon=$(tray_icon)
xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 120 1
main=$(wait_window "Varnoket version")
xdotool mousemove 5 795
shoot main-window "$main"

xdotool windowactivate --sync "$main" key alt+c
config=$(wait_window "Varnoket - Configuration")
shoot configuration "$config"
xdotool key Escape; sleep 0.5

xdotool windowactivate --sync "$main" key alt+j
filter=$(wait_window "Ajout d'un filtre")
xdotool type --delay 60 "*.bak"
shoot exclusion-filter "$filter"
xdotool key Escape; sleep 0.5

xdotool windowactivate --sync "$main" key F1
help=$(wait_window "Aide Varnoket")
shoot help "$help"
xdotool key Escape; sleep 0.5

xdotool windowactivate --sync "$main" key alt+v
log=$(wait_window "Fichier LOG")
shoot log-viewer "$log"
xdotool windowactivate --sync "$log" key alt+f; sleep 0.5

# The restore window: the latest day, a directory and a file ticked.
xdotool windowactivate --sync "$main" key alt+r
restore=$(wait_window "Varnoket - Restauration")
read -r rx ry < <(window_origin "$restore")
xdotool mousemove $((rx + 690)) $((ry + 14)) click 1; sleep 0.5
xdotool key End Return; sleep 1.5
# Rows of the expanded tree: /, tmp, <work>, Documents, Courrier, Photos, ...
row() { echo $((ry + 89 + 18 * $1)); }
indent() { echo $((rx + 20 + 20 * $1)); }
xdotool mousemove "$(indent 4)" "$(row 5)" click 1; sleep 0.3   # Photos (ticked)
xdotool mousemove $((rx + 140)) "$(row 7)" click 1; sleep 0.3   # Rapports (selected)
xdotool mousemove $((rx + 500)) "$(row 1)" click 1; sleep 0.3   # its first file
shoot restore-window "$restore"

xdotool windowactivate --sync "$restore" key alt+e
confirm=$(wait_window "Avertissement")
xdotool windowactivate --sync "$confirm" key Return
report=$(wait_window "Informations sur la restauration")
summary=$(wait_window "^Information$")
sleep 1
# The summary box stands over the report: take that part of the screen.
geometry=$(xwininfo -id "$report" | awk '/Absolute upper-left X:/{x=$4}/Absolute upper-left Y:/{y=$4}
  /Width:/{w=$2}/Height:/{h=$2}END{print w+2 "x" h+24 "+" x-1 "+" y-23}')
import -window root -crop "$geometry" +repage "$out/restore-report.png"
echo "docs/screenshots/restore-report.png"
xdotool windowactivate --sync "$summary" key Return; sleep 0.5
# The report stays open after the run, to be read or saved.
xdotool windowactivate --sync "$report" key alt+f; sleep 0.5
xdotool windowactivate --sync "$restore" key Escape; sleep 0.5

# Today's stored files cannot be written: "save now" then shows the error
# window, as a full disk would.
mkdir -p "$store/$station/$(date +%d%m%Y)"
echo "in the way" > "$store/$station/$(date +%d%m%Y)/_"
echo "version du jour" >> "$docs/Rapports/bilan.txt"
xdotool windowactivate --sync "$main" key alt+s
question=$(wait_window "Avertissement")
xdotool windowactivate --sync "$question" key Return
error=$(wait_window "Varnoket - ERREUR")
shoot error-window "$error"

# After that failed run the tray icon (top right) takes its warning picture
# and the main window's title still says when the last backup succeeded.
xdotool windowactivate --sync "$error" key Escape 2>/dev/null || true
xdotool windowmap "$main" 2>/dev/null || true
xdotool windowactivate "$main" 2>/dev/null || true
xdotool mousemove --window "$main" 200 200 2>/dev/null || true
sleep 4
# The top of the screen: the title bar and the notification area.
import -window root -crop 920x140+360+0 +repage "$out/after-failure.png"
echo "docs/screenshots/after-failure.png"

# A run to watch: a large file to copy, "save now" from the window, whose
# status block shows the progress, the file and the stop button; the tray
# menu opens on the run's percentage. The stop button ends it.
rm -f "$store/$station/$(date +%d%m%Y)/_"
head -c 150000000 /dev/urandom > "$docs/Photos/Vacances/film.bin"
xdotool windowactivate --sync "$main" key alt+s
question=$(wait_window "Avertissement")
xdotool windowactivate --sync "$question" key Return
sleep 3
shoot main-window-running "$main"
icon=$(tray_icon)
xdotool mousemove --window "$icon" 10 10 click 3
sleep 0.7
import -window root -crop 560x230+720+0 +repage "$out/tray-menu-running.png"
echo "docs/screenshots/tray-menu-running.png"
xdotool key Escape; sleep 0.3
xdotool windowactivate --sync "$main" key alt+t
sleep 3
# At rest again: the menu opens on the last success and the next backup.
xdotool mousemove --window "$icon" 10 10 click 3
sleep 0.7
import -window root -crop 560x230+720+0 +repage "$out/tray-menu.png"
echo "docs/screenshots/tray-menu.png"
xdotool key Escape; sleep 0.3

# The same program under an English locale: every window text in English (the
# log and the settings files stay French).
kill "$program"
while kill -0 "$program" 2>/dev/null; do sleep 0.2; done
LC_ALL= LC_MESSAGES= LANGUAGE= LANG=en_US.UTF-8 "$prog/varnoket" >"$work/varnoket-en.log" 2>&1 &
pids+=($!)
sleep 3
icon=$(tray_icon)
xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 120 1
main=$(wait_window "Daily backup of your files")
xdotool mousemove 5 795
shoot main-window-en "$main"

# The English restore window, opened on the newest day.
xdotool windowactivate --sync "$main" key alt+r
restore=$(wait_window "Varnoket - Restore")
shoot restore-window-en "$restore"
xdotool windowactivate --sync "$restore" key Escape

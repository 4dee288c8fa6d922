#!/usr/bin/env bash
# Plays a user's first day with the program on a virtual screen with a
# notification area: the first start through scripts/run.sh in a fresh
# program folder (the warning, the configuration, a backup folder and a
# directory chosen through the pickers, the window closed into the tray),
# then a second start under a clock that runs twenty times faster from
# 12:58, so the scheduler's ten-minute tick comes after the configured 13:00
# within half a minute and makes the day's backup. Pictures of each step go
# to $OUT (default /tmp/varnoket-demo); the store is listed at the end.
# The directory backed up is $DOCUMENTS (default /usr/share/doc).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
bash scripts/install-deps.sh --with-screen
out=${OUT:-/tmp/varnoket-demo}
rm -rf "$out"; mkdir -p "$out"
make_work_folder
export HOME="$work/home" XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/home/.config"
export VARNOKET_HOME="$work/home/varnoket"
mkdir -p "$HOME" "$work/backups"
start_virtual_screen "${SCREEN_NUMBER:-96}"

snap() { sleep 0.5; import -window root "$out/$1.png"; echo "$out/$1.png: $2"; }
pick_folder() {  # types a path into the open folder picker
  local picker
  picker=$(wait_window "Choisissez un répertoire")
  xdotool windowactivate --sync "$picker"
  sleep 0.5
  xdotool key ctrl+a type --delay 20 "$1"
  xdotool key Return
}

echo "== first start: scripts/run.sh in a fresh program folder"
bash scripts/run.sh >"$work/run.log" 2>&1 & pids+=($!)
warning=$(wait_window "Avertissement")
snap 1-warning "the warning of a first start"
xdotool windowactivate --sync "$warning" key Return
config=$(wait_window "Varnoket - Configuration")
snap 2-configuration "the configuration opens"
xdotool windowactivate --sync "$config" key alt+c
pick_folder "$work/backups"
sleep 0.5
xdotool windowactivate --sync "$config" key alt+v
sleep 1
main=$(wait_window "Varnoket version")
xdotool windowactivate --sync "$main" key alt+a
pick_folder "${DOCUMENTS:-/usr/share/doc}"
sleep 1
snap 3-main-window "a backup folder and a directory chosen"
xdotool windowactivate --sync "$main" key alt+f
sleep 1
if xdotool search --onlyvisible --name "Varnoket version" >/dev/null 2>&1; then
  echo "the main window did not hide" >&2; exit 1
fi
snap 4-in-the-tray "closed: the program lives in the tray"
echo "settings: $(tr -d '\r' < "$VARNOKET_HOME/VARNOKET.INI" | tr '\n' ' ')"
echo "start-up entry: $(ls "$XDG_CONFIG_HOME"/autostart/)"

echo "== a second start while it runs"
start=$(date +%s%N)
code=0
"$VARNOKET_HOME/varnoket" || code=$?
echo "second start ended with $code after $((($(date +%s%N) - start) / 1000000)) ms"

echo "== quit, then start again under a clock that runs 20 times faster from 12:58"
pkill -f "$VARNOKET_HOME/varnoket" || true
sleep 1
NO_FAKE_STAT=1 faketime -f "@$(date +%Y-%m-%d) 12:58:00 x20" "$VARNOKET_HOME/varnoket" \
  >"$work/second.log" 2>&1 & pids+=($!)
icon=$(tray_icon)
xdotool mousemove --window "$icon" 10 10
day="$work/backups/$(hostname -s)/$(date +%d%m%Y)"
for i in $(seq 600); do
  [ -f "$day/filelist.txt" ] && break
  # The busy picture and the progress hint, while the run works.
  if [ -d "$day" ] && [ ! -f "$out/5-busy.png" ]; then snap 5-busy "the tray while the backup runs"; fi
  sleep 0.25
done
[ -f "$day/filelist.txt" ] || { echo "no backup was made" >&2; exit 1; }
sleep 1
snap 6-done "after the run"
echo "day folder: $day"
echo "stored files: $(find "$day" -name '*.ZZ' | wc -l), file list lines: $(wc -l < "$day/filelist.txt")"
echo "activity log:"; tr -d '\r' < "$work/backups/$(hostname -s)/LASTBACKUP.LOG"

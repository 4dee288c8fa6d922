#!/usr/bin/env bash
# Starts the real program on a virtual screen (Xvfb, a window manager and a
# notification area) with a prepared program folder and store, opens each of
# its windows the way a user does (tray icon, buttons, keys) and photographs
# them into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash scripts/install-deps.sh --with-screen
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target varnoket >/dev/null

out="$repo/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, a store, and some documents to back up.
prog="$work/prog" store="$work/store" docs="$work/Documents"
mkdir -p "$prog" "$store" "$docs/Rapports" "$docs/Photos"
install -m 755 "$build/src/app/varnoket" "$prog/varnoket"
echo "Bilan annuel" > "$docs/Rapports/bilan.txt"
echo "Compte rendu" > "$docs/Rapports/reunion.txt"
head -c 20000 /dev/urandom > "$docs/Photos/vacances.jpg"
station=$(hostname); station=${station%%.*}
printf '[PARAMS]\r\nRACINE=%s\r\nHEURE=13\r\nMINUTE=0\r\nMAXSAVE=30\r\n' "$store" > "$prog/VARNOKET.INI"
mkdir -p "$store/$station"
printf '[PARAMS]\r\nLASTBACKUP=%s\r\nEXCLUSIONS=*.mp3,*.mpeg,*.mpg,*.tmp,PageFile.sys\r\n[DIRECTORIES]\r\nD1=%s\r\nD2=%s\r\n' \
  "$(date -d yesterday +%d/%m/%Y)" "$docs/Photos" "$docs/Rapports" > "$store/$station/$station.ini"
# Today's stored files cannot be written: "save now" then shows the error
# window, as a full disk would.
mkdir -p "$store/$station/$(date +%d%m%Y)"
echo "in the way" > "$store/$station/$(date +%d%m%Y)/_"

export XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/config" HOME="$work"
display=:${SCREEN_NUMBER:-97}
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >/dev/null 2>&1 & pids+=($!)
sleep 1

"$prog/varnoket" >"$work/varnoket.log" 2>&1 & pids+=($!)

# Waits for a window whose title matches, prints its id.
wait_window() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  echo "no window '$1' appeared" >&2
  cat "$work/varnoket.log" >&2
  return 1
}
shoot() {
  sleep 0.7
  import -frame -window "$2" "$out/$1.png"
  echo "docs/screenshots/$1.png"
}

# The backup set is not empty, so the window hides into the tray at start;
# a double click on the tray icon brings it back.
sleep 3
icon=""
for _ in $(seq 50); do
  icon=$(xwininfo -root -tree | awk '!found && /"Varnoket": \("varnoket"/ {print $1; found=1}')
  [ -n "$icon" ] && break
  sleep 0.1
done
[ -n "$icon" ] || { echo "the tray icon did not appear" >&2; exit 1; }
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

xdotool windowactivate --sync "$main" key alt+s
question=$(wait_window "Avertissement")
xdotool windowactivate --sync "$question" key Return
error=$(wait_window "Varnoket - ERREUR")
shoot error-window "$error"

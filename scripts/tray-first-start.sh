#!/usr/bin/env bash
# The tray as a new user meets it, on a virtual screen: a first start in a
# fresh program folder (the warning, the configuration with a backup folder
# chosen through the picker, a directory added in the main window, the
# window closed into the tray), then the tray menu: a right click opens it,
# "Agrandir" brings the main window back, "Quitter" ends the program after
# its question. Played twice: on an X11 notification area (trayer) and on a
# StatusNotifierItem host (a watcher and a standalone tray on a session bus
# of their own). Exits 1 at the first step that fails, with a picture of
# the screen; pictures of each step go to $OUT (default /tmp/varnoket-tray).
# PREBUILT=build-asan uses programs built there instead of building.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh
build_programs
out=${OUT:-/tmp/varnoket-tray}
rm -rf "$out"; mkdir -p "$out"

# One first start on the screen $DISPLAY, whose tray is $1 ("x11" or "sni").
play() {
  local tray=$1 work=$2
  export HOME="$work/home" XDG_CONFIG_DIRS="$work/xdg" XDG_CONFIG_HOME="$work/home/.config"
  export XDG_RUNTIME_DIR="$work/run"
  mkdir -p "$HOME" "$work/backups" "$work/docs" "$work/prog" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  echo "letter" > "$work/docs/letter.txt"
  install -m 755 "$build/src/app/varnoket" "$work/prog/varnoket"
  snap() { sleep 0.5; import -window root "$out/$tray-$1.png"; echo "$out/$tray-$1.png: $2"; }
  pick_folder() {
    local picker
    picker=$(wait_window "Choisissez un r")
    xdotool windowactivate --sync "$picker"
    sleep 0.5
    xdotool key ctrl+a type --delay 20 "$1"
    xdotool key Return
  }
  # Where the right click goes: the icon's own window on an X11 tray, the
  # standalone host's first icon otherwise.
  click_icon() {
    if [ "$tray" = x11 ]; then
      xdotool mousemove --window "$(tray_icon)" 10 10 click "$1"
    else
      xdotool mousemove 15 15 click "$1"
    fi
  }
  LC_ALL= LANGUAGE= LANG=fr_FR.UTF-8 "$work/prog/varnoket" >"$work/program.log" 2>&1 &
  local program=$!
  pids+=("$program")
  local warning config main
  warning=$(wait_window "Avertissement")
  xdotool windowactivate --sync "$warning" key Return
  config=$(wait_window "Varnoket - Configuration")
  xdotool windowactivate --sync "$config" key alt+c
  pick_folder "$work/backups"
  sleep 0.5
  xdotool windowactivate --sync "$config" key alt+v
  sleep 1
  main=$(wait_window "Varnoket version")
  xdotool windowactivate --sync "$main" key alt+a
  pick_folder "$work/docs"
  sleep 1
  xdotool windowactivate --sync "$main" key alt+f
  sleep 1
  if xdotool search --onlyvisible --name "Varnoket version" >/dev/null 2>&1; then
    echo "$tray: the main window did not go into the tray" >&2; return 1
  fi
  click_icon 3
  snap 1-menu "the tray menu after the first start"
  xdotool key a
  if ! wait_window "Varnoket version" >/dev/null; then
    echo "$tray: the tray menu's Agrandir did not bring the window back" >&2; return 1
  fi
  snap 2-window "Agrandir brought the main window back"
  xdotool windowactivate --sync "$(wait_window "Varnoket version")" key alt+f
  sleep 1
  click_icon 3
  sleep 0.5
  xdotool key q
  local question
  if ! question=$(wait_window "Avertissement"); then
    echo "$tray: the tray menu's Quitter asked nothing" >&2; return 1
  fi
  snap 3-quit "Quitter asks first"
  xdotool windowactivate --sync "$question" key Return
  local code=0
  for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$program" 2>/dev/null; then
    echo "$tray: the program did not end after Quitter" >&2; return 1
  fi
  wait "$program" || code=$?
  [ "$code" -eq 0 ] || { echo "$tray: the program ended with $code" >&2; return 1; }
  echo "$tray: the tray menu works from the first start (Agrandir, Quitter)"
}

make_work_folder
# An X11 notification area.
start_virtual_screen "${SCREEN_NUMBER:-95}"
play x11 "$work/x11"
for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
pids=()

# A StatusNotifierItem host on a session bus of its own, and no X11 tray.
export -f play
export build out
dbus-run-session -- bash -c '
  set -euo pipefail
  . scripts/lib/session.sh
  . scripts/lib/virtual-screen.sh
  pids=()
  trap "for p in \"\${pids[@]}\"; do kill \$p 2>/dev/null || true; done" EXIT
  Xvfb ":$1" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
  export DISPLAY=":$1"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  openbox >/dev/null 2>&1 & pids+=($!)
  status-notifier-watcher >/dev/null 2>&1 & pids+=($!)
  sleep 1
  gtk-sni-tray-standalone >/dev/null 2>&1 & pids+=($!)
  sleep 2
  play sni "$2"
' _ "$(( ${SCREEN_NUMBER:-95} + 1 ))" "$work/sni"

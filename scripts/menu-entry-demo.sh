#!/usr/bin/env bash
# The installed package as a desktop user meets it, on a virtual screen: an
# application launcher lists "Varnoket" with its icon (from the package's
# desktop entry and hicolor icons), Return starts the entry, and the installed
# program opens its main window under an English locale, its settings in the
# user's configuration folder. Needs the package installed (scripts/package.sh
# builds, checks and installs it). Pictures go to $OUT (default
# /tmp/varnoket-menu-demo); UPDATE_SCREENSHOTS=1 also copies them into
# docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/session.sh
. scripts/lib/virtual-screen.sh

if [ ! -x /usr/bin/varnoket ] || [ ! -f /usr/share/applications/org.varnoket.Varnoket.desktop ]; then
  echo "menu-entry-demo: the package is not installed; run scripts/package.sh first" >&2
  exit 1
fi
bash scripts/install-deps.sh --with-screen
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! command -v rofi >/dev/null || ! command -v locale-gen >/dev/null; then
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq rofi locales
fi
# An English desktop session: the launcher needs the locale to exist.
if ! locale -a 2>/dev/null | grep -qi '^en_US.utf-\?8$'; then
  $SUDO sed -i 's/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi

out=${OUT:-/tmp/varnoket-menu-demo}
mkdir -p "$out"
make_work_folder
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_CONFIG_DIRS="$work/xdg" LANG=en_US.UTF-8 LANGUAGE=en
unset LC_ALL LC_MESSAGES
mkdir -p "$work/store" "$work/Documents"
echo "Report" > "$work/Documents/report.txt"

# The installed tool configures the installed program: three commands.
varnoket-cli config store "$work/store" >/dev/null
varnoket-cli add "$work/Documents" >/dev/null
test -f "$XDG_CONFIG_HOME/varnoket/VARNOKET.INI"

start_virtual_screen "${SCREEN_NUMBER:-96}"
# The launcher, as a desktop's application menu: it lists the entries of
# /usr/share/applications with their theme icons.
rofi -show drun -show-icons -drun-match-fields name -filter Varnoket \
  -theme-str 'window {width: 560px;} listview {lines: 2;} element-icon {size: 48px;}' >"$work/rofi.log" 2>&1 &
pids+=($!)
launcher=$(wait_window "rofi")
sleep 1.5
import -window "$launcher" "$out/menu-entry.png"
xdotool key --window "$launcher" Return

# Its first showing runs the start-up checks, then the window goes to the
# notification area; a double click on the tray icon brings it back.
wait_window "Varnoket version" >/dev/null
icon=$(tray_icon)
sleep 2
xdotool mousemove --window "$icon" 10 10 click --repeat 2 --delay 120 1
main=$(wait_window "Varnoket version")
sleep 1
import -frame -window "$main" "$out/installed-main-window-en.png"
started=$(pgrep -a -f '^varnoket$|/usr/bin/varnoket$' || true)
while read -r p; do pids+=("$p"); done < <(pgrep -f '^varnoket$|/usr/bin/varnoket$' || true)
echo "started from the entry: $started"
title=$(xdotool getwindowname "$main")
echo "main window: $title"
case "$title" in
  *"Daily backup"*) ;;
  *) echo "menu-entry-demo: the main window is not in English" >&2; exit 1 ;;
esac
if [ -e /usr/bin/VARNOKET.INI ]; then
  echo "menu-entry-demo: settings were written among the system's programs" >&2
  exit 1
fi
echo "settings: $XDG_CONFIG_HOME/varnoket/VARNOKET.INI"
if [ "${UPDATE_SCREENSHOTS:-0}" = 1 ]; then
  cp "$out/menu-entry.png" "$out/installed-main-window-en.png" docs/screenshots/
fi
echo "pictures: $out/menu-entry.png, $out/installed-main-window-en.png"

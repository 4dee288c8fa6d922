#!/usr/bin/env bash
# Installs what is missing, builds, installs the program into its own folder
# (VARNOKET_HOME, by default ~/varnoket, where VARNOKET.INI is kept beside it)
# and starts it. The program lives in the notification area; at its first
# start it asks for the folder that will hold the backups.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target varnoket varnoket-cli >/dev/null
home=${VARNOKET_HOME:-$HOME/varnoket}
mkdir -p "$home"
# Replaced through a rename, so a copy that runs keeps its own file.
install -m 755 "$build/src/app/varnoket" "$home/.varnoket.new" && mv -f "$home/.varnoket.new" "$home/varnoket"
install -m 755 "$build/src/cli/varnoket-cli" "$home/.varnoket-cli.new" && mv -f "$home/.varnoket-cli.new" "$home/varnoket-cli"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
Varnoket is a desktop program and this session has no display (neither DISPLAY
nor WAYLAND_DISPLAY is set), so the window program was built and installed in
$home but not started.

Without a desktop, varnoket-cli makes the same backups. A first backup takes
three commands:
  $home/varnoket-cli config store DIR   DIR: the folder that will hold the backups
  $home/varnoket-cli add DIR            DIR: a folder to back up (repeat for more)
  $home/varnoket-cli backup             the first backup, now
Then: $home/varnoket-cli status shows where the backups stand, and
$home/varnoket-cli --help lists every command (restore, verify, days ...).
MSG
  exit 0
fi
exec "$home/varnoket" "$@"

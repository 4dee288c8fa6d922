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
Varnoket is a desktop program and this session has no display (DISPLAY is not set),
so the window program was built and installed in $home but not started.

Without a desktop, the same backups are made and restored with varnoket-cli:
  $home/varnoket-cli backup                         back up the configured directories now
  $home/varnoket-cli days                           list the kept backup days
  $home/varnoket-cli restore DAY [--to DIR] [PATH]  restore a day (DAY as dd/mm/yyyy)
  $home/varnoket-cli verify [DAY]                   check the stored files of one or all days
They read $home/VARNOKET.INI (RACINE = the folder that holds the backups) and the
station file beside the backups; see docs/store-format.md.
MSG
  exit 0
fi
exec "$home/varnoket" "$@"

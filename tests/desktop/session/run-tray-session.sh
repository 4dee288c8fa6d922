#!/usr/bin/env bash
# Runs SCRIPT PROGRAM (tray_session.py unless a second argument names another
# script of this folder) on a session bus of its own. Exit 77 (skipped) when
# the machine has no dbus-run-session.
set -u
if ! command -v dbus-run-session >/dev/null 2>&1; then
  echo "dbus-run-session is missing: skipped"
  exit 77
fi
here=$(cd "$(dirname "$0")" && pwd)
# The distribution's interpreter carries python3-dbus and python3-gi.
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3)
exec dbus-run-session -- "$python" "$here/${2:-tray_session.py}" "$1"

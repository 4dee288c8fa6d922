#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already present. Safe to run again.
set -euo pipefail
packages=(build-essential cmake pkg-config libbz2-dev libgtest-dev libgmock-dev libssl-dev bzip2)
if [ "${1:-}" = "--with-tools" ]; then
  packages+=(faketime)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

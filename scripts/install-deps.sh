#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those
# already present. Safe to run again.
set -euo pipefail
packages=(build-essential cmake pkg-config libbz2-dev libgtest-dev libgmock-dev libssl-dev bzip2
          qt6-base-dev qt6-tools-dev qt6-l10n-tools libcurl4-openssl-dev libsodium-dev
          # Qt's own catalogues, for its dialogs in the program's language.
          qt6-translations-l10n
          # The tray and notification test: a session bus, a virtual screen,
          # and the stand-in desktop services written in Python.
          dbus-daemon xvfb python3-dbus python3-gi)
# Any of the options below, together: scripts/test.sh asks for all it will
# need at once, so that a fresh machine reads the package index once.
for option in "$@"; do
  case "$option" in
    # faketime for the crash test, clang-format for scripts/check-format.sh,
    # an SSH server and sshfs for the test of a store on a network share.
    --with-tools) packages+=(faketime clang-format openssh-server sshfs) ;;
    # A virtual screen with a notification area and a window manager, and the
    # tools that drive the program and photograph its windows.
    # A StatusNotifierItem host too (the watcher and a standalone tray).
    --with-screen) packages+=(xvfb openbox trayer xdotool imagemagick x11-utils faketime
                              haskell-status-notifier-item-utils haskell-gtk-sni-tray-utils) ;;
    # The Debian package's checks (scripts/package.sh): lintian, the desktop
    # entry and AppStream validators, man to find the installed pages.
    --with-package) packages+=(dpkg-dev lintian desktop-file-utils appstream man-db) ;;
    # clang and its runtime libraries for the fuzz targets (scripts/fuzz.sh).
    --with-fuzz) packages+=(clang libclang-rt-dev) ;;
    *) echo "install-deps.sh: unknown option $option" >&2; exit 2 ;;
  esac
done
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

#!/usr/bin/env bash
# Installs what building, running and testing Parcelo needs on Debian 12,
# and only what is missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake ninja-build git clang-format
  libgtest-dev libssl-dev
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core
  xvfb xauth x11-utils
  locales xfsprogs e2fsprogs strace
  g++-mingw-w64-x86-64-posix wine wine64 googletest
  lintian desktop-file-utils appstream shared-mime-info libglib2.0-bin xdotool nsis
)

source "$(dirname "$0")/install_missing.sh"
install_missing setup "${packages[@]}"

# A locale with a decimal comma, so the tests can show the piece size is
# read the same whatever the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi

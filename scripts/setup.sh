#!/usr/bin/env bash
# Installs what building, running and testing Parcelo needs on Debian 12,
# and only what is missing. Run as root (or with sudo available).
set -euo pipefail

packages=(
  build-essential cmake ninja-build git
  libgtest-dev libssl-dev
  qt6-base-dev qt6-translations-l10n fonts-dejavu-core
  xvfb xauth x11-utils
  locales xfsprogs e2fsprogs
  g++-mingw-w64-x86-64-posix wine wine64 googletest
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# A locale with a decimal comma, so the tests can show the piece size is
# read the same whatever the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  as_root locale-gen >/dev/null
fi

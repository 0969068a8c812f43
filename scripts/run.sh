#!/usr/bin/env bash
# Installs what is missing, builds, and opens the Parcelo window.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -x build/app/parcelo ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display here (DISPLAY is not set)." >&2
    echo "run: open the window on a desktop, or in a virtual one: xvfb-run -a build/app/parcelo" >&2
    exit 1
  fi
  exec build/app/parcelo
fi
exec build/parcelo-cli --help

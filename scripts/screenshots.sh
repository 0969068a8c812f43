#!/usr/bin/env bash
# Takes the README's screenshots of both window states from the real
# program in a virtual X server. Needs xvfb-run, xdotool and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8  # the X tools match the Cyrillic caption only in a UTF-8 locale
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null
command -v import >/dev/null || apt-get install -y -qq imagemagick >/dev/null
if [ -z "${PARCELO_IN_X:-}" ]; then
  exec xvfb-run -a -s "-screen 0 800x600x24" env PARCELO_IN_X=1 bash "$0"
fi
QT_QPA_PLATFORM=xcb build/app/parcelo &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
window=""
for _ in $(seq 50); do
  window=$(xdotool search --name 'Parcelo - файловое' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.2
done
sleep 0.5
import -window "$window" docs/window-normal.png
# "Настройки" sits at 5520,1260 twips in the upper panel at 120,120.
xdotool mousemove --window "$window" $(((120 + 5520 + 800) / 15)) $(((120 + 1260 + 180) / 15)) click 1
sleep 0.5
import -window "$window" docs/window-settings.png
echo "docs/window-normal.png docs/window-settings.png"

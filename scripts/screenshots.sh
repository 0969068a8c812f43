#!/usr/bin/env bash
# Takes the screenshots in docs/ from the real program in a virtual X server:
#   window-normal.png, window-settings.png      both states as the README shows
#                                               them, with no window manager
#   window-{normal,settings}-{1x,1.5x,2x}.png   both states framed by a window
#                                               manager, at scale factors 1, 1.5, 2
#   file-dialog.png, folder-chooser.png         the open-file dialog and the
#                                               folder chooser, in a C locale
# Installs xdotool, ImageMagick and openbox when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8  # the X tools match the Cyrillic captions only in a UTF-8 locale
command -v xdotool >/dev/null || apt-get install -y -qq xdotool >/dev/null
command -v import >/dev/null || apt-get install -y -qq imagemagick >/dev/null
command -v openbox >/dev/null || apt-get install -y -qq --no-install-recommends openbox >/dev/null
if [ -z "${PARCELO_IN_X:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env PARCELO_IN_X=1 bash "$0"
fi

program=$PWD/build/app/parcelo
samples=$(mktemp -d)
pid="" manager=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$manager" ] && kill "$manager" 2>/dev/null
  rm -rf "$samples"
}
trap cleanup EXIT
# Files of telling sizes for the open-file dialog, and settings of its own so
# that no column widths from earlier runs come back.
mkdir -p "$samples/files/parts" "$samples/settings"
head -c 1 /dev/zero >"$samples/files/one.bin"
head -c 6 /dev/zero >"$samples/files/six.bin"
head -c 1002 /dev/zero >"$samples/files/some.bin"
head -c 2000000 /dev/zero >"$samples/files/film.avi"
export XDG_CONFIG_HOME=$samples/settings

scale=1
# Starts the program at the scale factor $scale and waits for its window.
start() {
  (cd "$samples/files" && QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb exec "$program") &
  pid=$!
  window=$(wait_for 'Parcelo - файловое')
  sleep 1  # the window sizes itself again once framed
}
stop() { kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""; }
# Prints the id of the first window whose caption matches, once there is one.
wait_for() {
  for _ in $(seq 50); do
    found=$(xdotool search --name "$1" 2>/dev/null | head -n 1) && [ -n "$found" ] && break
    sleep 0.2
  done
  echo "$found"
}
# Clicks the point of the window's client area at twips $1, $2.
click() {
  xdotool mousemove --window "$window" \
    "$(awk -v t="$1" -v s="$scale" 'BEGIN { print int(t * s / 15) }')" \
    "$(awk -v t="$2" -v s="$scale" 'BEGIN { print int(t * s / 15) }')" click 1
  sleep 0.7
}
# Twips of the buttons' middles: their panel's place, their own, half their size.
settings_button=(6440 1567)  # "Настройки"
open_button=(7177 727)       # "..."
join_button=(3097 1627)      # "Слить файл"
path_box=(3517 727)          # the path box
# Shoots a window with its frame, if any, into docs/$2.
shoot() { import -frame -window "$1" "docs/$2"; }

start
shoot "$window" window-normal.png
click "${settings_button[@]}"
shoot "$window" window-settings.png
stop

openbox >/dev/null 2>&1 &
manager=$!
sleep 1
for scale in 1 1.5 2; do
  start
  shoot "$window" "window-normal-${scale}x.png"
  click "${settings_button[@]}"
  shoot "$window" "window-settings-${scale}x.png"
  stop
done

scale=1
start
click "${open_button[@]}"
shoot "$(wait_for '^Открыть$')" file-dialog.png
xdotool key Escape
sleep 0.5
# A path in the path box: the join's chooser opens in its folder.
click "${path_box[@]}"
xdotool type "$samples/files/film.avi"
click "${join_button[@]}"
shoot "$(wait_for '^Выберите директорию$')" folder-chooser.png
xdotool key Escape
stop
ls docs/*.png

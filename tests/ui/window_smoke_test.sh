#!/usr/bin/env bash
# Starts the real parcelo in a virtual X server and finds its window by its
# caption. Usage: window_smoke_test.sh PATH-TO-PARCELO
set -u
program=$1
# xwininfo prints the Cyrillic caption only in a UTF-8 locale.
export LC_ALL=C.UTF-8
if [ -z "${PARCELO_IN_X:-}" ]; then
  exec xvfb-run -a env PARCELO_IN_X=1 bash "$0" "$program"
fi

# A real X window, whatever platform the other tests use.
QT_QPA_PLATFORM=xcb "$program" &
pid=$!
for _ in $(seq 50); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Parcelo - файловое дробление от Velmarin'; then
    kill "$pid"
    echo "window found by its caption"
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || { echo "parcelo ended before showing its window"; exit 1; }
  sleep 0.2
done
kill "$pid"
echo "no window with the caption appeared; windows:"
xwininfo -root -tree
exit 1

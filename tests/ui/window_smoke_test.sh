#!/usr/bin/env bash
# Starts the real parcelo in a virtual X server, finds its window by its
# caption, and reads what it asks of the window manager: a fixed size, and
# no maximise button. Usage: window_smoke_test.sh PATH-TO-PARCELO
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
window=""
for _ in $(seq 50); do
  window=$(xwininfo -root -tree 2>/dev/null | grep 'Parcelo - файловое дробление от Velmarin' |
           awk 'NR == 1 { print $1 }')
  [ -n "$window" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "parcelo ended before showing its window"; exit 1; }
  sleep 0.2
done
if [ -z "$window" ]; then
  kill "$pid"
  echo "no window with the caption appeared; windows:"
  xwininfo -root -tree
  exit 1
fi
echo "window found by its caption"
sleep 0.3  # the window sets its hints as it shows
failed=0

# Motif hints: flags, functions, decorations, ...; decorations are asked for
# when flags has 0x2, and 0x40 among them is the maximise button.
read -r flags _ decorations _ < <(xprop -id "$window" _MOTIF_WM_HINTS | sed 's/.*= //; s/,/ /g')
if [ -z "${decorations:-}" ] || (( !(flags & 0x2) || (decorations & 0x40) )); then
  echo "the window offers a maximise button: _MOTIF_WM_HINTS ${flags:-none} ${decorations:-}"
  failed=1
fi

hints=$(xprop -id "$window" WM_NORMAL_HINTS)
minimum=$(sed -n 's/.*minimum size: //p' <<<"$hints")
maximum=$(sed -n 's/.*maximum size: //p' <<<"$hints")
if [ -z "$minimum" ] || [ "$minimum" != "$maximum" ]; then
  echo "the window's size is not fixed: minimum '$minimum', maximum '$maximum'"
  failed=1
fi

kill "$pid"
[ "$failed" = 0 ] && echo "fixed size $minimum, no maximise button"
exit "$failed"

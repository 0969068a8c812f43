# Sourced by the tests that run the Windows programs under Wine in a virtual
# X server. Sets up a UTF-8 locale (xwininfo and Wine show Cyrillic names
# only in one), a fresh Wine prefix in a temporary folder `work` with Wine's
# menu builder off (the host's menus stay as they are), a display of our
# own, check(), find_window(), and the clean-up on exit: the program in `program_pid`,
# the Wine server, the display and `work`.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
xvfb_pid=""
program_pid=""
finish() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

failed=0
check() {  # check WHAT COMMAND...: runs the command, says how it went
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}

# A display of our own, which Xvfb picks and names: another test choosing
# at the same moment can't take it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

find_window() {  # find_window CAPTION-PATTERN: the first visible window so named
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

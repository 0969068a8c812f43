#!/usr/bin/env bash
# Smoke test of the Windows zip under Wine, in a virtual X server: unpacks
# it, starts parcelo.exe with a file of Cyrillic name, finds its window by
# its caption, splits the file with a click on its button and checks the parts
# and the closing box; then splits another file with the zip's
# parcelo-cli.exe. Its last line says PASS or FAIL.
# Usage: scripts/test_windows_window.sh parcelo-windows-VERSION.zip
set -euo pipefail
zip_file=$(realpath "$1")
cd "$(dirname "$0")/.."

source scripts/install_missing.sh
install_missing test_windows_window wine wine64 xvfb x11-utils xdotool unzip

source scripts/wine_session.sh

unzip -q "$zip_file" -d "$work/unpacked"
app=$(find "$work/unpacked" -mindepth 1 -maxdepth 1 -type d)
started=$SECONDS
wineboot -i >/dev/null 2>&1
wineserver -p || true  # one server for every program of the test
echo "Wine prefix ready in $((SECONDS - started)) s"

# The window: a file of 2.5 million bytes, in 1,000,000-byte pieces.
mkdir -p "$work/данные"
source_file=$work/данные/фильм.bin
head -c 2500000 /dev/urandom >"$source_file"
wine "$app/parcelo.exe" "$(winepath -w "$source_file")" >/dev/null 2>&1 &
program_pid=$!
caption='Parcelo - файловое дробление от Velmarin (velmarin@parcelo.example)'
window=$(find_window '^Parcelo - ') || window=""
shown=$([ -z "$window" ] || xdotool getwindowname "$window")
check "parcelo.exe shows its window with the caption \"$caption\"" [ "$shown" = "$caption" ]
if [ -n "$window" ]; then
  # A click on "Дробить файл": its centre lies at (12 + 117 / 2, 88 + 25 / 2)
  # in its panel, from the design's twips, and the panel 8 pixels in.
  sleep 0.5
  xdotool mousemove --window "$window" 78 108 click 1
  box=$(find_window '^Дробление завершено$') || box=""
  check "the window's split ends with its box \"Дробление завершено\"" [ -n "$box" ]
  parts=$(cd "$work/данные" && ls)
  check "the window's split made 001.drb to 003.drb and Infa.inf beside фильм.bin" \
    [ "$parts" = $'001.drb\n002.drb\n003.drb\nInfa.inf\nфильм.bin' ]
  check "the parts hold the file's bytes" \
    cmp -s "$source_file" <(cat "$work/данные"/00{1,2,3}.drb)
  [ -z "$box" ] || xdotool key Return
fi
[ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
program_pid=""
if [ "$failed" != 0 ]; then
  echo "windows on the display:"
  xwininfo -root -tree | grep -v 'has no name' || true
fi

# The command line from the zip, into a subfolder of Cyrillic name.
mkdir -p "$work/cli"
head -c 10007 /dev/urandom >"$work/cli/отчёт.txt"
output=$(wine "$app/parcelo-cli.exe" split "$(winepath -w "$work/cli/отчёт.txt")" \
  --size 4000 --subdir части 2>&1) || true
echo "parcelo-cli.exe: $output"
parts=$(cd "$work/cli/части" 2>/dev/null && ls)
check "parcelo-cli.exe split made 001.drb to 003.drb and Infa.inf in части" \
  [ "$parts" = $'001.drb\n002.drb\n003.drb\nInfa.inf' ]
check "those parts hold the file's bytes" \
  cmp -s "$work/cli/отчёт.txt" <(cat "$work/cli/части"/00{1,2,3}.drb)

if [ "$failed" = 0 ]; then echo "test_windows_window: PASS"; else echo "test_windows_window: FAIL"; fi
exit "$failed"

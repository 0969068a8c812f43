#!/usr/bin/env bash
# Runs every Exec line the package installs - its desktop entry, Dolphin's
# service menus, Nemo's actions and the FileManager-Actions entries - as the
# file manager would, on a file of Cyrillic name with a space, in a virtual
# X server, and checks the window opens ready for what the entry promises:
# a "split" entry with the file in the path box, so that a click on
# "Дробить файл" splits it; a "join" entry (and the desktop entry, which
# opens the set's own files) with the join of that set readied, so that
# Space opens the folder chooser in the set's folder and Enter there joins
# it. Prints one line per run; the exit status is 1 on a failure.
# Usage: scripts/test_desktop_entries.sh UNPACKED-PACKAGE-ROOT
set -uo pipefail
root=$(realpath "$1")
program=$root/usr/bin/parcelo
cli=$root/usr/bin/parcelo-cli
# xdotool and Qt show Cyrillic names only in a UTF-8 locale.
export LC_ALL=C.UTF-8 LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
finish() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT

# A display of our own, which Xvfb picks and names: another test choosing
# at the same moment can't take it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

# find_window CAPTION-PATTERN: the id of the first visible window so named,
# while the program runs.
find_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# start EXEC-LINE PATH: starts the Exec line with its field code replaced
# by PATH, as a file manager would, with the package's program.
start() {
  local line=$1 path=$2 argv
  case $line in
    "parcelo "*) ;;
    *) echo "the Exec line does not start the program parcelo: $line"; return 1 ;;
  esac
  if grep -Eq '%[^fF%]' <<<"$line" || ! grep -Eq '%[fF]' <<<"$line"; then
    echo "the Exec line should hand over the path with %f or %F alone: $line"
    return 1
  fi
  line=${line//%[fF]/$(printf '%q' "$path")}
  eval "argv=($line)"
  argv[0]=$program
  "${argv[@]}" >"$work/program.log" 2>&1 &
  program_pid=$!
}

stop() {
  kill "$program_pid" 2>/dev/null
  wait "$program_pid" 2>/dev/null
  program_pid=""
}

# A file of three parts at the window's piece size.
new_source() {
  mkdir -p "$1"
  head -c 2500001 /dev/urandom >"$1/Фильм 2.avi"
}

# split_ready EXEC-LINE: the file in the path box; a click on "Дробить
# файл" (its centre in the design, the panel 8 pixels in) splits it.
split_ready() {
  local folder=$work/$((++runs)) window box
  new_source "$folder"
  start "$1" "$folder/Фильм 2.avi" || return 1
  window=$(find_window '^Parcelo - ') || { echo "no window"; cat "$work/program.log"; return 1; }
  sleep 0.3
  xdotool mousemove --window "$window" 78 108 click 1
  box=$(find_window '^Дробление завершено$') || { echo "no box \"Дробление завершено\""; stop; return 1; }
  stop
  [ "$(cd "$folder" && ls | tr '\n' '|')" = "001.drb|002.drb|003.drb|Infa.inf|Фильм 2.avi|" ] ||
    { echo "beside the file: $(ls "$folder")"; return 1; }
}

# join_ready EXEC-LINE MEMBER: the join of a set readied, MEMBER naming what
# is handed over: "." for the set's folder, or one of its files; Space
# presses the focused "Слить файл", whose chooser opens in the set's folder,
# and Enter there joins the set.
join_ready() {
  local folder=$work/$((++runs)) window chooser box
  new_source "$folder"
  "$cli" split "$folder/Фильм 2.avi" --subdir "набор 1" >/dev/null || return 1
  start "$1" "$folder/набор 1/$2" || return 1
  window=$(find_window '^Parcelo - ') || { echo "no window"; cat "$work/program.log"; return 1; }
  sleep 0.3
  xdotool windowfocus --sync "$window" key space
  chooser=$(find_window '^Выберите директорию$') || { echo "Space opened no folder chooser"; stop; return 1; }
  sleep 0.3
  xdotool windowfocus --sync "$chooser" key Return
  box=$(find_window '^Слияние завершено$') || { echo "no box \"Слияние завершено\""; stop; return 1; }
  stop
  cmp "$folder/Фильм 2.avi" "$folder/набор 1/Фильм 2.avi"
}

runs=0
failed=0
run() {  # run WHAT COMMAND...
  local what=$1
  shift
  if "$@" >"$work/log" 2>&1; then
    echo "ok: $what"
  else
    echo "FAIL: $what"
    sed 's/^/    /' "$work/log"
    failed=1
  fi
}

# exec_lines FILE: the Exec lines of an entry, one a line.
exec_lines() { sed -n 's/^Exec=//p' "$1"; }

entries=0
for entry in "$root"/usr/share/applications/*.desktop "$root"/usr/share/kio/servicemenus/*.desktop \
  "$root"/usr/share/nemo/actions/*.nemo_action "$root"/usr/share/file-manager/actions/*.desktop; do
  [ -f "$entry" ] || continue
  name=${entry#"$root"/usr/share/}
  while IFS= read -r line; do
    entries=$((entries + 1))
    case $entry in
      */applications/*) members=(001.drb Infa.inf) ;;
      *split*) members=() ;;
      *join*) members=(. 002.drb Infa.inf) ;;
      *) echo "FAIL: $name: neither a split nor a join entry"; failed=1; continue ;;
    esac
    if [ ${#members[@]} -eq 0 ]; then
      run "$name: \"$line\" opens a file ready to split" split_ready "$line"
    fi
    for member in "${members[@]}"; do
      run "$name: \"$line\" on the set's $member readies its join" join_ready "$line" "$member"
    done
  done < <(exec_lines "$entry")
done
[ "$entries" -ge 7 ] || { echo "FAIL: only $entries Exec lines found"; failed=1; }
exit "$failed"

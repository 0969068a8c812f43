#!/usr/bin/env bash
# Test of the Windows installer under Wine, in a virtual X server and a Wine
# prefix of its own (Wine's menu builder off, so the host's menus stay as
# they are): installs silently, checks the files, the Start menu shortcut,
# the Add/Remove entry and the Explorer verbs; runs the folder verb's
# command on a set in a folder of Cyrillic name and joins it from the
# window it opens; then uninstalls silently and finds nothing left. Its last
# line says PASS or FAIL.
# Usage: scripts/test_windows_installer.sh parcelo-windows-VERSION-setup.exe
set -uo pipefail
installer=$(realpath "$1")
cd "$(dirname "$0")/.."

source scripts/install_missing.sh
install_missing test_windows_installer wine wine64 xvfb x11-utils xdotool binutils

source scripts/wine_session.sh
wineboot -i >/dev/null 2>&1

# reg_value KEY NAME: a registry value of type REG_SZ (with an empty NAME,
# the key's default value), read from what `reg export` writes, since `reg
# query` shows Cyrillic text only in the console's code page.
reg_value() {
  local entry=\"$2\"
  [ -n "$2" ] || entry=@
  rm -f "$work/key.reg"
  wine reg export "$1" "$(winepath -w "$work/key.reg")" /y >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$work/key.reg" | tr -d '\r' |
    awk -v entry="$entry" '/^\[/ && ++headers > 1 { exit }
      index($0, entry "=\"") == 1 { print substr($0, length(entry) + 3, length($0) - length(entry) - 3) }' |
    sed 's/\\\(.\)/\1/g'
}
unix_path() { winepath -u "$1" 2>/dev/null; }

wine "$installer" /S
wineserver -w
local_appdata=$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
target_windows="$local_appdata\\Programs\\Parcelo"
target=$(unix_path "$target_windows")
shortcut=$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs")/Parcelo.lnk
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parcelo'
split_key='HKCU\Software\Classes\*\shell\Parcelo.Split'
join_key='HKCU\Software\Classes\Directory\shell\Parcelo.Join'

files_installed() {
  local file
  for file in parcelo.exe parcelo-cli.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    platforms/qwindows.dll translations/qtbase_ru.qm qt.conf README.txt "Удалить Parcelo.exe"; do
    [ -f "$target/$file" ] || { echo "missing: $target/$file"; return 1; }
  done
}
check "the silent install puts the programs, Qt and the uninstaller into $target_windows" \
  files_installed
check "the Start menu shortcut opens parcelo.exe" \
  eval 'strings -el "$shortcut" 2>/dev/null | grep -qi "Programs.Parcelo.parcelo\.exe"'
check "Add/Remove lists \"Parcelo\" with its uninstaller" \
  eval '[ "$(reg_value "$uninstall_key" DisplayName)" = Parcelo ] &&
    [ "$(reg_value "$uninstall_key" UninstallString)" = "\"$target_windows\\Удалить Parcelo.exe\"" ]'
command='"'$target_windows'\parcelo.exe" "%1"'
check "Explorer offers \"Дробить в Parcelo\" on files" \
  eval '[ "$(reg_value "$split_key" "")" = "Дробить в Parcelo" ] &&
    [ "$(reg_value "$split_key\\command" "")" = "$command" ]'
check "Explorer offers \"Слить в Parcelo\" on folders" \
  eval '[ "$(reg_value "$join_key" "")" = "Слить в Parcelo" ] &&
    [ "$(reg_value "$join_key\\command" "")" = "$command" ]'

# The folder verb's command on a set: the window opens ready to join it, so
# Space presses "Слить файл", and "." in the folder chooser, which starts in
# the set, joins it.
folder_verb_joins() {
  local set="$work/данные/набор частей" verb program argument window chooser
  mkdir -p "$set"
  head -c 2500000 /dev/urandom >"$work/данные/отчёт.bin"
  wine "$target/parcelo-cli.exe" split "$(winepath -w "$work/данные/отчёт.bin")" \
    --subdir "набор частей" >/dev/null 2>&1 || { echo "parcelo-cli.exe made no set"; return 1; }
  verb=$(reg_value "$join_key\\command" "")
  [[ $verb =~ ^\"([^\"]+)\"\ \"%1\"$ ]] || { echo "not a program and \"%1\": $verb"; return 1; }
  program=${BASH_REMATCH[1]}
  argument=$(winepath -w "$set")
  wine "$program" "$argument" >/dev/null 2>&1 &
  program_pid=$!
  window=$(find_window '^Parcelo - ') || { echo "no window"; return 1; }
  sleep 0.5
  xdotool windowfocus --sync "$window" key space
  # Wine's folder chooser keeps a caption of its own.
  chooser=$(find_window '^(Выберите директорию|Select Folder)$') ||
    { echo "Space opened no folder chooser"; return 1; }
  sleep 1
  # Wine's chooser takes no empty name for its folder; "." names it.
  xdotool windowfocus --sync "$chooser" type .
  xdotool key Return
  find_window '^Слияние завершено$' >/dev/null || { echo "no box \"Слияние завершено\""; return 1; }
  cmp "$work/данные/отчёт.bin" "$set/отчёт.bin"
}
check "the folder verb's command on \"набор частей\" opens the window ready to join it" \
  folder_verb_joins
[ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null
program_pid=""
wineserver -w

wine "$target/Удалить Parcelo.exe" /S
wineserver -w  # the uninstaller goes on in a copy of itself
nothing_left() {
  local key left=0
  [ ! -e "$target" ] || { echo "left: $target: $(ls -A "$target")"; left=1; }
  [ ! -e "$shortcut" ] || { echo "left: $shortcut"; left=1; }
  for key in "$uninstall_key" "$split_key" "$join_key"; do
    ! wine reg query "$key" >/dev/null 2>&1 || { echo "left: $key"; left=1; }
  done
  return "$left"
}
check "the silent uninstall leaves no file, shortcut or registry key" nothing_left

if [ "$failed" = 0 ]; then echo "test_windows_installer: PASS"; else echo "test_windows_installer: FAIL"; fi
exit "$failed"

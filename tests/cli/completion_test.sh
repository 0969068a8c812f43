#!/usr/bin/env bash
# Asks parcelo-cli's bash completion (the file given) what it offers for
# command lines, in a folder with a film and a set beside it.
set -u
# shellcheck source=/dev/null
source "$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && mkdir set && touch film.avi set/001.drb set/Infa.inf set/notes.txt
status=0
offers() { # offers EXPECTED WORD... (the last word is the one being completed)
  local expected=$1
  shift
  COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMPREPLY=()
  _parcelo_cli
  if [[ ${COMPREPLY[*]} != "$expected" ]]; then
    echo "$*: offers '${COMPREPLY[*]}', expected '$expected'"
    status=1
  fi
}
offers "split join check --help --version" parcelo-cli ""
offers "--size --parts --subdir --checksums --quiet" parcelo-cli split film.avi --
offers "700M" parcelo-cli split film.avi --size = 7
offers "set" parcelo-cli split film.avi --subdir ""
offers "film.avi set" parcelo-cli split ""
offers "set/001.drb set/Infa.inf" parcelo-cli join set/
offers "--quiet --replace" parcelo-cli join --
offers "--quiet" parcelo-cli check set --
exit $status

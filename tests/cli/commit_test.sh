#!/usr/bin/env bash
# The end of parcelo-cli's work (the program given), met by a stop signal or
# a failure that strace delivers at a chosen system call, as a user's Ctrl-C
# or a full disk would:
# - a signal once the first file is renamed into place comes too late to
#   stop anything: the program says the work is done, with status 0;
# - a signal as the split writes Infa.inf, the last file before its commit,
#   still cancels, and the older set stays as it was;
# - a failure of the commit's last rename leaves no Infa.inf: Infa.sha256
#   lands before it, so a set asked with checksums never looks whole
#   without them.
set -u
strace -o /dev/null true 2>/dev/null || { echo "strace can't trace here"; exit 77; }
cli=$1 folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && head -c 3000 /dev/urandom >f.bin && "$cli" split f.bin --size 1000 --subdir set >/dev/null || exit 1
status=0
fail() { echo "$*"; status=1; }
# traced EXPECTED_STATUS CALLS INJECTION ARGUMENT...: runs the program under strace.
traced() {
  local expected=$1 calls=$2 injection=$3 code
  shift 3
  # (LeakSanitizer can't work under ptrace: the sanitizer build checks leaks elsewhere.)
  ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace="$calls" -e inject="$calls:$injection" \
    "$cli" "$@" >said 2>&1
  code=$?
  [ $code -eq "$expected" ] || fail "$*: status $code, not $expected, having said: $(cat said)"
}
# count CALL ARGUMENT...: how many times a clean run makes that system call.
count() {
  local call=$1
  shift
  ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace="$call" -o calls "$cli" "$@" >/dev/null 2>&1
  grep -c "$call(" calls
}
renames=rename,renameat,renameat2

traced 0 $renames signal=SIGINT:when=1 split f.bin --size 700 --subdir set
traced 0 $renames signal=SIGINT:when=1 join set
cmp -s f.bin set/f.bin || fail "the joined file differs"

rm set/f.bin
writes=$(count pwrite64 split f.bin --size 600 --subdir set --checksums)
rm -r set && "$cli" split f.bin --size 700 --subdir set >/dev/null && listing=$(ls -l --time-style=+ set)
traced 130 pwrite64 signal=SIGINT:when="$writes" split f.bin --size 600 --subdir set --checksums
[ "$(ls -l --time-style=+ set)" = "$listing" ] || fail "a late cancel changed the set: $(ls set)"

last=$(count renameat split f.bin --size 500 --subdir other --checksums)
rm -r other
traced 2 renameat error=EIO:when="$last" split f.bin --size 500 --subdir other --checksums
[ -e other/Infa.inf ] && fail "a commit that failed at its end left Infa.inf: $(ls other)"
exit $status

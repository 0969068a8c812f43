#!/usr/bin/env bash
# A stop signal that comes while parcelo-cli (the program given) commits its
# work, delivered by strace as the first file is renamed into place, comes
# too late to stop anything: the program says the work is done and ends
# with status 0, not as if the signal had ended it.
set -u
strace -o /dev/null true 2>/dev/null || { echo "strace can't trace here"; exit 77; }
cli=$1 folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && head -c 3000 /dev/urandom >f.bin && "$cli" split f.bin --size 1000 --subdir set >/dev/null || exit 1
status=0
for run in "split f.bin --size 700 --subdir set" "join set"; do
  # shellcheck disable=SC2086
  # (LeakSanitizer can't work under ptrace: the sanitizer build checks leaks elsewhere.)
  ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace=rename,renameat,renameat2 \
    -e inject=rename,renameat,renameat2:signal=SIGINT:when=1 "$cli" $run >said 2>&1
  code=$?
  [ $code -eq 0 ] || { echo "$run: status $code, having said: $(cat said)"; status=1; }
done
cmp -s f.bin set/f.bin || { echo "the joined file differs"; status=1; }
exit $status

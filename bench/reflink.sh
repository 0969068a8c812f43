#!/usr/bin/env bash
# Split and join on a copy-on-write file system: a loop-mounted XFS image
# made with reflink. A 1 GiB file of random bytes is split into
# 104857600-byte pieces (block-aligned: the blocks are shared, not copied)
# and into 100000000-byte pieces (not aligned: copied), then joined back;
# and split once more with --checksums, which reads shared blocks back to
# hash them. Prints wall times and how much the used space grew. Needs root.
#
# Usage: bench/reflink.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/parcelo-cli")
if [ "$(id -u)" -ne 0 ]; then
  echo "reflink bench: skipped, it needs root to mount an XFS image" >&2
  exit 0
fi
command -v mkfs.xfs >/dev/null || apt-get install -y -qq xfsprogs >/dev/null

work=$(mktemp -d /var/tmp/parcelo-reflink.XXXXXX)
mnt=$work/mnt
cleanup() { umount "$mnt" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
truncate -s 8G "$work/xfs.img"
mkfs.xfs -q -m reflink=1 "$work/xfs.img"
mkdir "$mnt"
if ! mount -o loop "$work/xfs.img" "$mnt" 2>/dev/null; then
  echo "reflink bench: skipped, a loop device can't be mounted here" >&2
  exit 0
fi
head -c 1073741824 /dev/urandom >"$mnt/source.bin"
sync

used_kib() { sync; df --output=used -k "$mnt" | tail -n 1; }
# The used space once XFS has finished freeing what was removed (it frees
# in the background, which would otherwise count against the next run).
settled_used_kib() {
  local before after
  after=$(used_kib)
  while :; do
    before=$after; sleep 0.5; after=$(used_kib)
    [ "$before" = "$after" ] && break
  done
  echo "$after"
}
# timed COMMAND...: prints the wall time of one run in milliseconds.
timed() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  echo "($EPOCHREALTIME - $start) * 1000" | bc -l
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }

rounds=${ROUNDS:-5}
printf '%-10s %-17s %12s %16s %14s\n' piece op "median wall" "space growth" "GNU split/cat"
for piece in 104857600 100000000; do
  : >"$work/split"; : >"$work/join"; : >"$work/gsplit"; : >"$work/cat"; : >"$work/sums"
  for ((round = 1; round <= rounds; round++)); do
    rm -rf "$mnt/set"
    start_used=$(settled_used_kib)
    timed "$cli" split "$mnt/source.bin" --size "$piece" --subdir set >>"$work/split"
    split_used=$(used_kib)
    timed "$cli" join "$mnt/set" >>"$work/join"
    join_used=$(used_kib)
    cmp "$mnt/set/source.bin" "$mnt/source.bin" || { echo "join output differs" >&2; exit 1; }
    rm -rf "$mnt/sums"
    sums_start=$(settled_used_kib)
    timed "$cli" split "$mnt/source.bin" --size "$piece" --subdir sums --checksums >>"$work/sums"
    sums_used=$(used_kib)
    rm -rf "$mnt/sums"
    # The classic tools on the same file system, for comparison.
    rm -rf "$mnt/gnu"; mkdir "$mnt/gnu"; settled_used_kib >/dev/null
    timed split -b "$piece" -a 3 --numeric-suffixes=1 --additional-suffix=.drb \
      "$mnt/source.bin" "$mnt/gnu/" >>"$work/gsplit"
    sync
    timed bash -c 'cat "$1"/*.drb >"$1/source.bin"' cat "$mnt/gnu" >>"$work/cat"
    rm -rf "$mnt/gnu"
  done
  printf '%-10s %-17s %10.1fms %12s KiB %12.1fms\n' "$piece" split "$(median <"$work/split")" \
    $((split_used - start_used)) "$(median <"$work/gsplit")"
  printf '%-10s %-17s %10.1fms %12s KiB %12.1fms\n' "$piece" join "$(median <"$work/join")" \
    $((join_used - split_used)) "$(median <"$work/cat")"
  printf '%-10s %-17s %10.1fms %12s KiB %14s\n' "$piece" "split --checksums" \
    "$(median <"$work/sums")" $((sums_used - sums_start)) "-"
done
echo "($rounds rounds; XFS with reflink on a loop device over $(df -T /var/tmp | awk 'NR==2 {print $2}'); page cache warm)"

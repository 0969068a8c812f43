#!/usr/bin/env bash
# A sparse file of 4 GiB with a few MiB of random bytes at its start, in its
# middle and at its end, split into pieces of 1000000000 bytes and joined
# back by parcelo-cli, then by GNU split and cat for comparison. Prints the
# wall time of each (a `sync` before every run, none after: the few MiB of
# data are the same for every tool, the holes are what differs) and the
# disk space the set and the joined file take (du), and checks the joined
# file byte for byte.
#
# Usage: bench/sparse.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/parcelo-cli")
rounds=${2:-5}
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-sparse.XXXXXX")
trap 'rm -rf "$work"' EXIT
size=4294967296
mib=1048576
truncate -s "$size" "$work/disk.img"
for offset in 0 $((size / 2)) $((size - 4 * mib)); do
  head -c $((4 * mib)) /dev/urandom |
    dd of="$work/disk.img" bs=1M seek="$offset" oflag=seek_bytes conv=notrunc status=none
done
sync

# timed COMMAND...: prints the wall time of one run in milliseconds.
timed() {
  sync
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  echo "($EPOCHREALTIME - $start) * 1000" | bc -l
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
du_mib() { du -sk "$@" | awk '{k += $1} END {printf "%.1f", k / 1024}'; }

: >"$work/split"; : >"$work/join"
for ((round = 1; round <= rounds; round++)); do
  rm -rf "$work/set"
  timed "$cli" split "$work/disk.img" --size 1000000000 --subdir set >>"$work/split"
  timed "$cli" join "$work/set" >>"$work/join"
done
cmp "$work/set/disk.img" "$work/disk.img" || { echo "join output differs" >&2; exit 1; }
set_mib=$(du_mib "$work"/set/*.drb "$work/set/Infa.inf")
joined_mib=$(du_mib "$work/set/disk.img")

# GNU split and cat, once each: they write every zero of the holes.
mkdir "$work/gnu"
gsplit=$(timed split -b 1000000000 -a 3 --numeric-suffixes=1 --additional-suffix=.drb \
  "$work/disk.img" "$work/gnu/")
gsplit_mib=$(du_mib "$work"/gnu/*.drb)
rm -rf "$work/set"  # room for cat's copy
gcat=$(timed bash -c 'cat "$1"/*.drb >"$1/disk.img"' cat "$work/gnu")
gcat_mib=$(du_mib "$work/gnu/disk.img")
cmp "$work/gnu/disk.img" "$work/disk.img" || { echo "cat output differs" >&2; exit 1; }

printf '%-24s %12s %12s\n' "4 GiB sparse, 12 MiB data" "wall" "disk used"
printf '%-24s %10.1fms %8s MiB\n' "parcelo-cli split" "$(median <"$work/split")" "$set_mib"
printf '%-24s %10.1fms %8s MiB\n' "parcelo-cli join" "$(median <"$work/join")" "$joined_mib"
printf '%-24s %10.1fms %8s MiB\n' "GNU split -b" "$gsplit" "$gsplit_mib"
printf '%-24s %10.1fms %8s MiB\n' "cat of the parts" "$gcat" "$gcat_mib"
echo "(parcelo: median of $rounds rounds; GNU split and cat: one run each, not synced after;"
echo " $(df -T "$work" | awk 'NR==2 {print $2}') under $work; page cache warm)"

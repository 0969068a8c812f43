#!/usr/bin/env bash
# What checksums cost: a 1 GiB file of random bytes split by parcelo-cli
# into pieces of 100000000 bytes, plainly and with --checksums, and the set
# joined with and without its Infa.sha256 (the join verifies when it is
# there), in alternating rounds. Page cache warm; dirty pages are synced
# before every run. Prints medians of the wall time, and of wall time plus
# a `sync` run right after (the write-back the command left).
#
# Usage: bench/checksums.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/parcelo-cli")
rounds=${2:-5}
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-checksums.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c 1073741824 /dev/urandom >"$work/source.bin"
sync

# run NAME COMMAND...: appends "wall wall+flush" in seconds to $work/NAME.
run() {
  local name=$1; shift
  sync
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local done=$EPOCHREALTIME
  sync
  local flushed=$EPOCHREALTIME
  echo "$(echo "$done - $start" | bc -l) $(echo "$flushed - $start" | bc -l)" >>"$work/$name"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
column_median() { cut -d' ' -f"$2" "$work/$1" | median; }

for ((round = 1; round <= rounds; round++)); do
  rm -rf "$work/plain" "$work/sums"
  run split_plain "$cli" split "$work/source.bin" --size 100000000 --subdir plain
  run split_sums "$cli" split "$work/source.bin" --size 100000000 --subdir sums --checksums
  run join_plain "$cli" join "$work/plain"
  run join_sums "$cli" join "$work/sums"
  cmp -s "$work/sums/source.bin" "$work/source.bin" || { echo "join output differs" >&2; exit 1; }
  (cd "$work/sums" && sha256sum --quiet -c Infa.sha256) || { echo "sha256sum -c failed" >&2; exit 1; }
done

printf '%-34s %10s %16s\n' "1 GiB, 100000000-byte pieces" "wall" "wall + flush"
for op in split join; do
  for kind in plain sums; do
    label="parcelo-cli $op"
    [ "$kind" = sums ] && label+=" (checksums)"
    printf '%-34s %9.3fs %15.3fs\n' "$label" "$(column_median "${op}_$kind" 1)" \
      "$(column_median "${op}_$kind" 2)"
  done
  printf '%-34s %9.2fx %15.2fx\n' "  ratio" \
    "$(echo "$(column_median "${op}_sums" 1) / $(column_median "${op}_plain" 1)" | bc -l)" \
    "$(echo "$(column_median "${op}_sums" 2) / $(column_median "${op}_plain" 2)" | bc -l)"
done
echo "(medians of $rounds alternating rounds; page cache warm, synced before each run;"
echo " $(nproc) cores, $(df -T "$work" | awk 'NR==2 {print $2}') under $work; load average $(cut -d' ' -f1-3 /proc/loadavg))"

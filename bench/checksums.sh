#!/usr/bin/env bash
# What checksums cost: a 1 GiB file of random bytes split by parcelo-cli
# into pieces of 100000000 bytes, plainly and with --checksums, and the set
# joined with and without its Infa.sha256 (the join verifies when it is
# there), in alternating rounds. Page cache warm; dirty pages are synced
# before every run. Prints medians of the wall time, and of wall time plus
# a `sync` run right after (the write-back the command left).
#
# Beside them the floor this machine allows: one SHA-256 pass over the
# file on one core (`openssl dgst -sha256`, timed in the same rounds). A
# checked join hashes each byte once: its floor is max(plain join, one
# pass). A checked split hashes each byte twice (its part, the whole file),
# spread over the cores: max(plain split, two passes / cores).
#
# And what users do without Parcelo, in the same rounds: GNU split, then
# sha256sum over the parts and the file; on the other side sha256sum -c of
# the parts' lines, then cat of the parts.
#
# Usage: bench/checksums.sh [BUILD_DIR] [ROUNDS] [OTHER_BUILD_DIR]
# With OTHER_BUILD_DIR every parcelo run is made with that build's
# parcelo-cli too, in the same rounds, each first in every other round
# (an A/B comparison; the rows marked "other").
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/parcelo-cli")
rounds=${2:-5}
builds=(main)
declare -A clis=([main]=$cli)
if [ -n "${3:-}" ]; then
  builds+=(other)
  clis[other]=$(realpath "$3/parcelo-cli")
fi
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
max() { echo "if ($1 > $2) $1 else $2" | bc -l; }

# round BUILD: one round of the four runs with that build.
round() {
  local b=$1 cli=${clis[$1]}
  rm -rf "$work/plain" "$work/sums"
  run "$b.split_plain" "$cli" split "$work/source.bin" --size 100000000 --subdir plain
  run "$b.split_sums" "$cli" split "$work/source.bin" --size 100000000 --subdir sums --checksums
  run "$b.join_plain" "$cli" join "$work/plain"
  run "$b.join_sums" "$cli" join "$work/sums"
  cmp -s "$work/sums/source.bin" "$work/source.bin" || { echo "join output differs" >&2; exit 1; }
  (cd "$work/sums" && sha256sum --quiet -c Infa.sha256) || { echo "sha256sum -c failed" >&2; exit 1; }
}

# The classic tools' way, in the set folder "gnu": split, then checksums of
# the parts and the file; then the check of the parts and their cat.
gnu_split() {
  mkdir "$work/gnu"
  split -b 100000000 -a 3 --numeric-suffixes=1 --additional-suffix=.drb "$work/source.bin" \
    "$work/gnu/"
  (cd "$work/gnu" && sha256sum [0-9][0-9][0-9].drb ../source.bin >sums)
}
gnu_join() {
  cd "$work/gnu" && grep '\.drb$' sums | sha256sum --quiet -c && cat [0-9][0-9][0-9].drb >joined.bin
}
export -f gnu_split gnu_join
export work

for ((r = 1; r <= rounds; r++)); do
  run sha_pass openssl dgst -sha256 "$work/source.bin"
  rm -rf "$work/gnu"
  run gnu_split bash -c gnu_split
  run gnu_join bash -c gnu_join
  cmp -s "$work/gnu/joined.bin" "$work/source.bin" || { echo "cat output differs" >&2; exit 1; }
  if ((r % 2)); then order=("${builds[@]}"); else order=($(printf '%s\n' "${builds[@]}" | tac)); fi
  for b in "${order[@]}"; do round "$b"; done
done

gnu_label() {
  case $1 in
    split) echo "GNU split + sha256sum" ;; join) echo "sha256sum -c + cat" ;;
  esac
}
sha=$(column_median sha_pass 1)
printf '%-40s %9.3fs  (%.2f GB/s)\n' "SHA-256, one pass on one core" "$sha" "$(echo "1.073741824 / $sha" | bc -l)"
printf '%-40s %10s %16s\n' "1 GiB, 100000000-byte pieces" "wall" "wall + flush"
for b in "${builds[@]}"; do
  for op in split join; do
    passes=1
    [ "$op" = split ] && passes=$(echo "2 / $(nproc)" | bc -l)
    label="parcelo-cli $op"
    [ "$b" = other ] && label+=" (other)"
    printf '%-40s %9.3fs %15.3fs\n' "$label" "$(column_median "$b.${op}_plain" 1)" \
      "$(column_median "$b.${op}_plain" 2)"
    printf '%-40s %9.3fs %15.3fs\n' "  checked" "$(column_median "$b.${op}_sums" 1)" \
      "$(column_median "$b.${op}_sums" 2)"
    for what in plain floor; do
      ratio=()
      for col in 1 2; do
        base=$(column_median "$b.${op}_plain" "$col")
        [ "$what" = floor ] && base=$(max "$base" "$(echo "$passes * $sha" | bc -l)")
        ratio+=("$(echo "$(column_median "$b.${op}_sums" "$col") / $base" | bc -l)")
      done
      printf '%-40s %9.2fx %15.2fx\n' "  checked / $what" "${ratio[@]}"
    done
    gnu=gnu_$op
    printf '%-40s %9.3fs %15.3fs\n' "  $(gnu_label "$op")" "$(column_median "$gnu" 1)" \
      "$(column_median "$gnu" 2)"
    printf '%-40s %9.2fx %15.2fx\n' "  their time / checked" \
      "$(echo "$(column_median "$gnu" 1) / $(column_median "$b.${op}_sums" 1)" | bc -l)" \
      "$(echo "$(column_median "$gnu" 2) / $(column_median "$b.${op}_sums" 2)" | bc -l)"
  done
done
echo "(floor: max(plain, SHA-256 passes: 1 for the join, 2 over $(nproc) cores for the split);"
echo " medians of $rounds alternating rounds; page cache warm, synced before each run;"
echo " $(nproc) cores, $(df -T "$work" | awk 'NR==2 {print $2}') under $work; load average $(cut -d' ' -f1-3 /proc/loadavg))"

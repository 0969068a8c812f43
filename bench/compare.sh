#!/usr/bin/env bash
# Times parcelo-cli against the classic tools on one 1 GiB file of random
# bytes: the split against GNU split (set to make the same 001.drb ... names
# and sizes), the join against cat of the parts in number order. Rounds
# alternate between the two; the page cache is warm (the source is read
# once before timing) and dirty pages are synced before every timed run.
# Prints medians, the ratio of throughputs and each one's peak memory.
#
# Usage: bench/compare.sh [BUILD_DIR] [ROUNDS] [PIECE_SIZE ...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-5}
shift $(( $# > 2 ? 2 : $# )) || true
pieces=("$@")
[ ${#pieces[@]} -gt 0 ] || pieces=(100000000 2000000)
cli=$(realpath "$build/parcelo-cli")
[ -x /usr/bin/time ] || apt-get install -y -qq time >/dev/null

work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c 1073741824 /dev/urandom >"$work/source.bin"
cat "$work/source.bin" >/dev/null

# run NAME COMMAND...: runs once, appends "seconds peak_kib" to $work/NAME.
run() {
  local name=$1; shift
  sync
  local start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/rss" "$@"
  local end=$EPOCHREALTIME
  echo "$(echo "$end - $start" | bc -l) $(cat "$work/rss")" >>"$work/$name"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
column_median() { cut -d' ' -f"$2" "$work/$1" | median; }

printf '%-10s %-6s %10s %10s %8s %12s %12s\n' piece op parcelo GNU ratio "parcelo RSS" "GNU RSS"
for piece in "${pieces[@]}"; do
  rm -f "$work"/{split_p,split_g,join_p,join_g}
  for ((round = 1; round <= rounds; round++)); do
    rm -rf "$work/p" "$work/g"; mkdir "$work/g"
    run split_p "$cli" split "$work/source.bin" --size "$piece" --subdir p >/dev/null
    run split_g split -b "$piece" -a 3 --numeric-suffixes=1 --additional-suffix=.drb \
      "$work/source.bin" "$work/g/"
    mapfile -t parts < <(printf '%s\n' "$work"/g/*.drb | sort)
    rm -f "$work/p/source.bin"
    run join_p "$cli" join "$work/p" >/dev/null
    run join_g bash -c 'cat "$@" >"'"$work/g/source.bin"'"' cat "${parts[@]}"
    cmp -s "$work/p/source.bin" "$work/source.bin" || { echo "join output differs" >&2; exit 1; }
    cmp -s "$work/g/source.bin" "$work/source.bin" || { echo "cat output differs" >&2; exit 1; }
  done
  for op in split join; do
    p=$(column_median "${op}_p" 1); g=$(column_median "${op}_g" 1)
    printf '%-10s %-6s %9.3fs %9.3fs %7.2fx %9s KiB %9s KiB\n' "$piece" "$op" "$p" "$g" \
      "$(echo "$g / $p" | bc -l)" "$(column_median "${op}_p" 2)" "$(column_median "${op}_g" 2)"
  done
done
echo "(ratio: GNU time / parcelo time, above 1 means parcelo is faster; $rounds rounds, medians;"
echo " $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB, $(df -T "$work" | awk 'NR==2 {print $2}') under $work)"

#!/usr/bin/env bash
# Measures the split and the join against the limit and the classic tools,
# on one file of random bytes (1 GiB by default), in the same rounds:
#
#   bare loop   parcelo-bench-bare-copy: read/write through a 1 MiB buffer
#               into one new file, nothing else (the limit)
#   cp          cp of the whole file
#   GNU split   split -b PIECE, named 001.drb ... as Parcelo names them
#   cat         cat of the parts, in number order, into one file
#   parcelo split / parcelo join   parcelo-cli split --subdir / join
#
# each warm (the input in the page cache) and cold (the page cache dropped
# with `echo 3 > /proc/sys/vm/drop_caches` before the run, where that is
# allowed). Every run starts after a `sync`, so that none pays for
# another's write-back, and is timed two ways: wall, the command alone;
# and wall + flush, the command and a `sync` right after it, timed
# together (the write-back it left). The tools run in a different order
# each round. Prints medians, throughputs and the peak memory of each.
#
# Usage: bench/compare.sh [--4g] [BUILD_DIR] [ROUNDS] [PIECE_SIZE] [SIZE_MIB] [OTHER_BUILD_DIR]
# (BUILD_DIR: a build with the benchmark programs, `cmake --preset bench`,
# build-bench by default; OTHER_BUILD_DIR: another build's parcelo-cli
# split and join in the same rounds, the rows marked "other").
# --4g: the file at scale, 4 GiB in pieces of 100000000 bytes, 3 rounds
# unless ROUNDS says otherwise; it needs about 20 GiB free under BENCH_DIR
# (/var/tmp by default).
set -euo pipefail
cd "$(dirname "$0")/.."
large=0
if [ "${1:-}" = --4g ]; then
  large=1
  shift
fi
build=${1:-build-bench}
rounds=${2:-$((large ? 3 : 5))}
piece=${3:-100000000}
size_mib=${4:-$((large ? 4096 : 1024))}
cli=$(realpath "$build/parcelo-cli")
other=${5:+$(realpath "$5/parcelo-cli")}
bare=$(realpath "$build/bench/parcelo-bench-bare-copy")
[ -x /usr/bin/time ] || apt-get install -y -qq time >/dev/null

work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-compare.XXXXXX")
# The source, the set, and one tool's output beside them, with room to spare.
free_mib=$(df -Pm "$work" | awk 'NR==2 {print $4}')
if ((free_mib < size_mib * 5)); then
  echo "compare.sh: $((size_mib * 5)) MiB free needed under $work, $free_mib there" >&2
  rmdir "$work"
  exit 1
fi
trap 'rm -rf "$work"' EXIT
head -c $((size_mib * 1048576)) /dev/urandom >"$work/source.bin"
bytes=$(stat -c %s "$work/source.bin")
# The set the joins read, made once: cat and parcelo join take the same parts.
"$cli" split "$work/source.bin" --size "$piece" --subdir set >/dev/null

modes=(warm)
if echo 3 2>/dev/null >/proc/sys/vm/drop_caches; then
  modes+=(cold)
else
  echo "(cold runs skipped: /proc/sys/vm/drop_caches is not writable here)" >&2
fi

# Removes what a tool wrote, so that each run creates its files anew.
clean() {
  rm -rf "$work/bare.bin" "$work/cp.bin" "$work/gnu" "$work/p" "$work/cat.bin" "$work/set/source.bin"
}

# run_tool TOOL: runs one tool (in a shell of its own when timed). The
# parts of a set of fewer than 1000 sort by name in number order.
run_tool() {
  case $1 in
    bare) "$bare" "$work/source.bin" "$work/bare.bin" ;;
    cp) cp "$work/source.bin" "$work/cp.bin" ;;
    gsplit) mkdir "$work/gnu" && split -b "$piece" -a 3 --numeric-suffixes=1 --additional-suffix=.drb \
      "$work/source.bin" "$work/gnu/" ;;
    psplit) "$cli" split "$work/source.bin" --size "$piece" --subdir p >/dev/null ;;
    cat) cat "$work"/set/[0-9][0-9][0-9].drb >"$work/cat.bin" ;;
    pjoin) "$cli" join "$work/set" >/dev/null ;;
    osplit) "$other" split "$work/source.bin" --size "$piece" --subdir p >/dev/null ;;
    ojoin) "$other" join "$work/set" >/dev/null ;;
  esac
}
export -f run_tool
export work bare cli other piece

# measure MODE TOOL: one timed run; appends "wall wall+flush peak_kib".
measure() {
  local mode=$1 tool=$2
  clean
  sync
  [ "$mode" = cold ] && echo 3 >/proc/sys/vm/drop_caches
  local start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/rss" bash -c 'run_tool "$1"' run_tool "$tool"
  local done=$EPOCHREALTIME
  sync
  local flushed=$EPOCHREALTIME
  echo "$(echo "$done - $start" | bc -l) $(echo "$flushed - $start" | bc -l) $(cat "$work/rss")" \
    >>"$work/times.$mode.$tool"
}

tools=(bare cp gsplit psplit cat pjoin)
[ -n "$other" ] && tools+=(osplit ojoin)
for ((round = 0; round < rounds; round++)); do
  for mode in "${modes[@]}"; do
    for ((i = 0; i < ${#tools[@]}; i++)); do
      measure "$mode" "${tools[(i + round) % ${#tools[@]}]}"
    done
  done
done
# What each tool wrote is checked once, after the timed rounds.
for tool in "${tools[@]}"; do
  clean; run_tool "$tool"
  case $tool in
    bare) out=$work/bare.bin ;; cp) out=$work/cp.bin ;; cat) out=$work/cat.bin ;;
    pjoin | ojoin) out=$work/set/source.bin ;;
    gsplit) out=$work/gnu.cat; cat "$work"/gnu/*.drb >"$out" ;;
    psplit | osplit) out=$work/p.cat; cat "$work"/p/*.drb >"$out" ;;
  esac
  cmp -s "$out" "$work/source.bin" || { echo "$tool: output differs" >&2; exit 1; }
  rm -f "$work/gnu.cat" "$work/p.cat"
done
clean

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
column() { cut -d' ' -f"$3" "$work/times.$1.$2" | median; }
mibs() { echo "$bytes / 1048576 / $1" | bc -l; }
label() {
  case $1 in
    bare) echo "bare 1 MiB loop" ;; cp) echo "cp" ;; gsplit) echo "GNU split -b" ;;
    psplit) echo "parcelo-cli split" ;; cat) echo "cat of the parts" ;; pjoin) echo "parcelo-cli join" ;;
    osplit) echo "other build's split" ;; ojoin) echo "other build's join" ;;
  esac
}

echo "$((bytes / 1048576)) MiB in pieces of $piece bytes; medians of $rounds rounds"
printf '%-5s %-20s %22s %26s %11s\n' mode tool "wall (MiB/s)" "wall + flush (MiB/s)" "peak RSS"
for mode in "${modes[@]}"; do
  for tool in "${tools[@]}"; do
    w=$(column "$mode" "$tool" 1); f=$(column "$mode" "$tool" 2)
    printf '%-5s %-20s %10.3f s (%6.0f) %14.3f s (%6.0f) %7s KiB\n' "$mode" "$(label "$tool")" \
      "$w" "$(mibs "$w")" "$f" "$(mibs "$f")" "$(column "$mode" "$tool" 3)"
  done
done
echo
echo "Against the limit (throughput by wall, bare loop = 1.00) and the classic tools (wall + flush):"
for mode in "${modes[@]}"; do
  bw=$(column "$mode" bare 1)
  pairs=("psplit gsplit" "pjoin cat")
  [ -n "$other" ] && pairs+=("osplit gsplit" "ojoin cat")
  for pair in "${pairs[@]}"; do
    read -r ours theirs <<<"$pair"
    printf '%-5s %-20s %5.2f of the bare loop by wall;  %5.2fx the speed of %s by wall + flush\n' \
      "$mode" "$(label "$ours")" "$(echo "$bw / $(column "$mode" "$ours" 1)" | bc -l)" \
      "$(echo "$(column "$mode" "$theirs" 2) / $(column "$mode" "$ours" 2)" | bc -l)" "$(label "$theirs")"
  done
done
echo "(wall: the command alone, after a sync; wall + flush: the command and a sync after it, timed"
echo " together; cold: page cache dropped before the run; $(nproc) cores,"
echo " $(free -g | awk '/Mem:/ {print $2}') GiB, $(df -T "$work" | awk 'NR==2 {print $2}') under $work;" \
  "load average at the end $(cut -d' ' -f1-3 /proc/loadavg))"

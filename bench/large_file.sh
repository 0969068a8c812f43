#!/usr/bin/env bash
# Manual check: a file of 2.5 GiB (sparse, with random bytes written across
# the 2 GiB and 4-byte-offset boundaries and at its end) is split with
# parcelo-cli, joined back, and compared byte for byte; the parts are also
# joined by cat in number order. Usage: bench/large_file.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build}/parcelo-cli")
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-large.XXXXXX")
trap 'rm -rf "$work"' EXIT
size=2684354560
truncate -s "$size" "$work/big.bin"
for offset in 0 2147483000 $((size - 1048576)); do
  head -c 1048576 /dev/urandom | dd of="$work/big.bin" bs=1M seek="$offset" oflag=seek_bytes conv=notrunc status=none
done
for piece in 1000000000 100000000; do
  rm -rf "$work/set"
  /usr/bin/time -f "split: %e s, peak %M KiB" "$cli" split "$work/big.bin" --size "$piece" --subdir set
  /usr/bin/time -f "join: %e s, peak %M KiB" "$cli" join "$work/set"
  cmp "$work/big.bin" "$work/set/big.bin" && echo "pieces of $piece: join output identical"
  printf '%s\n' "$work"/set/*.drb | sort | xargs cat | cmp - "$work/big.bin" &&
    echo "pieces of $piece: cat of the parts identical"
done

#!/usr/bin/env bash
# Runs parcelo-bench-variants on a 256 MiB file of random bytes in a folder
# (default /var/tmp, ext4 here; BENCH_DIR=/dev/shm for tmpfs).
# Usage: bench/variants.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bench=$(realpath "${1:-build}/bench/parcelo-bench-variants")
work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/parcelo-variants.XXXXXX")
trap 'rm -rf "$work"' EXIT
head -c 268435456 /dev/urandom >"$work/source.bin"
"$bench" "$work/source.bin" "${2:-15}"
echo "($(df -T "$work" | awk 'NR==2 {print $2}') under $work; page cache warm)"

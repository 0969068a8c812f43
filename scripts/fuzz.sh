#!/usr/bin/env bash
# Runs each fuzz target under libFuzzer (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) for a bounded time, adding what it finds to
# the corpus under tests/fuzz/corpus/. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++ >/dev/null || apt-get install -y -qq clang >/dev/null
dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1 || apt-get install -y -qq libclang-rt-14-dev >/dev/null
CXX=clang++ scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=Debug -DPARCELO_FUZZ=ON \
  -DPARCELO_BUILD_WINDOW=OFF -DCMAKE_CXX_FLAGS="-O1 -fsanitize=fuzzer-no-link,address,undefined" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
for target in leading_number info_file; do
  "build-fuzz/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=8192 \
    "tests/fuzz/corpus/${target}" 2>&1 | tail -n 3
done

#!/usr/bin/env bash
# Runs each fuzz target under libFuzzer (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) for a bounded time, adding what it finds to
# the corpus under tests/fuzz/corpus/. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++ >/dev/null || apt-get install -y -qq clang >/dev/null
dpkg-query -W libclang-rt-14-dev >/dev/null 2>&1 || apt-get install -y -qq libclang-rt-14-dev >/dev/null
mkdir -p build-fuzz
core=(partset/leading_number.cpp partset/part_number.cpp partset/path_helpers.cpp
      partset/info_file.cpp io/file_error.cpp io/sys_calls.cpp io/file.cpp io/write_all.cpp
      io/replacement_file.cpp)
for target in leading_number info_file; do
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -I. -Itests -DPARCELO_CORPUS_DIR='""' \
    "tests/fuzz/${target}_fuzz.cpp" "${core[@]}" -o "build-fuzz/${target}_fuzz"
  "build-fuzz/${target}_fuzz" -max_total_time="$seconds" -max_len=8192 \
    "tests/fuzz/corpus/${target}" 2>&1 | tail -n 3
done

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build, once more built with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks included, nothing suppressed), then checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

scripts/build.sh build -DPARCELO_WERROR=ON
ctest --test-dir build --output-on-failure -j2

scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPARCELO_SANITIZE=ON -DPARCELO_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2

bash scripts/test_package.sh

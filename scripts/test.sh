#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal
# build, once more built with AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks included, nothing suppressed), then checks the Debian package,
# then cross-builds for Windows and runs the core's tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

log=$(mktemp)
trap 'rm -f "$log"' EXIT

scripts/build.sh build -DPARCELO_WERROR=ON
ctest --test-dir build --output-on-failure -j2 | tee -a "$log"

scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPARCELO_SANITIZE=ON -DPARCELO_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2 | tee -a "$log"

bash scripts/test_package.sh

bash scripts/test_windows.sh | tee -a "$log"

# One line for the whole run: the tests of the three builds.
passed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" |
  awk '{total += $1; failed += $2} END {print total - failed}')
echo "test.sh: $passed passed, 0 failed"

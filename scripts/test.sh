#!/usr/bin/env bash
# Installs what is missing, checks the source's layout, builds, and runs
# every test: once in the normal build, once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer (leaks included, nothing
# suppressed), then checks the Debian package, then cross-builds for Windows
# and runs the core's tests under Wine, and, where the MinGW Qt is cached,
# builds the Windows zip and the installer and tests them under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
bash scripts/check_format.sh
# An include that climbs out of its folder ("../partset/...") would reach
# past the walls between the layers, which the build sees only by name.
if git grep -n -E '^\s*#\s*include\s*"[^"]*\.\./' -- '*.cpp' '*.h'; then
  echo "test.sh: the includes above climb out of their folder; name the layer instead" >&2
  exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The benchmark programs are built too, so that they keep building.
scripts/build.sh build -DPARCELO_WERROR=ON -DPARCELO_BUILD_BENCH=ON
ctest --test-dir build --output-on-failure -j2 | tee -a "$log"

scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DPARCELO_SANITIZE=ON -DPARCELO_WERROR=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure -j2 | tee -a "$log"

bash scripts/test_package.sh

# Split and join where /proc is not mounted (a container, a chroot): the
# unnamed temporaries must get their names another way. Root only, in a
# mount namespace of its own.
proc_less=0
if [ "$(id -u)" -ne 0 ]; then
  echo "test.sh: the proc-less stage is skipped: only root can unmount /proc in a namespace"
elif ! unshare --mount --propagation private true 2>/dev/null; then
  echo "test.sh: the proc-less stage is skipped: unshare can't make a mount namespace here"
else
  work=$(mktemp -d)
  head -c 3000000 /dev/urandom >"$work/source.bin"
  cli=$PWD/build/parcelo-cli
  unshare --mount --propagation private sh -c 'umount -l /proc && cd "$1" &&
    "$2" split source.bin --size 1000000 --subdir set >/dev/null && "$2" join set >/dev/null' \
    sh "$work" "$cli"
  cmp "$work/source.bin" "$work/set/source.bin"
  rm -rf "$work"
  proc_less=1
  echo "proc-less: 1 passed, 0 failed"
fi

bash scripts/test_windows.sh | tee -a "$log"

# The Windows zip with its window's smoke test, and the installer with its
# test, under Wine, where the MinGW Qt that scripts/windows.sh builds once
# (about half an hour) is in its cache.
qt_mingw=${PARCELO_QT_MINGW:-/var/cache/parcelo/qt6-mingw-6.4.2}
windows_smoke=0
if [ -f "$qt_mingw/.parcelo-complete" ]; then
  bash scripts/windows.sh zip
  bash scripts/windows.sh installer
  windows_smoke=2
else
  echo "test.sh: the Windows window, zip and installer stages are skipped: no MinGW Qt in" \
    "$qt_mingw (scripts/windows.sh qt builds it once, in about half an hour)"
fi

# One line for the whole run: the tests of the three builds, and the
# proc-less stage, the Windows zip's and the installer's tests as one each.
passed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' "$log" |
  awk -v extra="$((windows_smoke + proc_less))" '{total += $1; failed += $2} END {print total - failed + extra}')
echo "test.sh: $passed passed, 0 failed"

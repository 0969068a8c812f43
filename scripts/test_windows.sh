#!/usr/bin/env bash
# The Windows stage: cross-builds the core, parcelo-cli.exe and the core's
# tests with MinGW-w64, then runs the tests under Wine, with a small tmpfs
# for the full-disk case (mounted when run as root). Skips, saying why,
# where the cross compiler or Wine is missing or Wine can't run a program.
# The cross-built GoogleTest and the Wine prefix are kept in
# ${PARCELO_CACHE:-~/.cache/parcelo} and made again when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${PARCELO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/parcelo}
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
started=$SECONDS
trap 'echo "test_windows.sh: failed at line $LINENO" >&2' ERR

skip() {
  echo "test_windows.sh: the Windows stage is skipped: $*"
  exit 0
}

command -v x86_64-w64-mingw32-g++-posix >/dev/null || skip "no MinGW-w64 cross compiler (g++-mingw-w64-x86-64-posix)"
wine=$(command -v wine64 || command -v wine || true)
[ -n "$wine" ] || skip "no Wine (wine64)"
[ -d /usr/src/googletest ] || skip "no GoogleTest sources in /usr/src/googletest"

gtest=$cache/googletest-mingw
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "test_windows.sh: cross-building GoogleTest into $gtest"
  work=$(mktemp -d)
  cmake -S /usr/src/googletest -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$work" -j 2 >/dev/null
  cmake --install "$work" >/dev/null
  rm -rf "$work"
fi

scripts/build.sh build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DPARCELO_BUILD_WINDOW=OFF \
  -DPARCELO_WERROR=ON -DGTest_DIR="$gtest/lib/cmake/GTest"

# Wine writes a line to standard error before every program unless told not to.
export WINEPREFIX=$cache/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$cache"

disk=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$disk" ]; then
    umount "$disk" 2>/dev/null || true
    rmdir "$disk"
  fi
}
trap cleanup EXIT

# The small disk is mounted before Wine starts, so Wine sees it as it is.
full_disk=""
if [ "$(id -u)" -eq 0 ]; then
  disk=$(mktemp -d)
  if mount -t tmpfs -o size=16m tmpfs "$disk"; then
    full_disk="Z:${disk//\//\\}"
  else
    echo "test_windows.sh: the full-disk case is skipped: can't mount a tmpfs here"
  fi
else
  echo "test_windows.sh: the full-disk case is skipped: mounting a tmpfs needs root"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i </dev/null >/dev/null 2>&1 || skip "Wine can't make a prefix in $WINEPREFIX"
fi
# One Wine server for all the test programs, so each starts in a tenth of a
# second (it may be running already, since wineboot started it).
wineserver -p </dev/null >/dev/null 2>&1 || true
"$wine" build-windows/parcelo-cli.exe --version </dev/null >/dev/null 2>&1 || skip "Wine can't run programs here"

PARCELO_FULL_DISK=$full_disk ctest --test-dir build-windows --output-on-failure -j2
echo "test_windows.sh: the Windows stage took $((SECONDS - started)) s"

#!/usr/bin/env bash
# Configures and builds Parcelo into a folder (build/ by default); further
# arguments go to CMake. Usage: scripts/build.sh [FOLDER] [-DOPTION=...]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

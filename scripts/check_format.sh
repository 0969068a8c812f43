#!/usr/bin/env bash
# Checks that every tracked C++ file is as .clang-format (tests/.clang-format
# in tests/) lays it out; names each file that is not. clang-format -i FILE
# mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
  clang-format --dry-run "${files[@]}" 2>&1 | grep -o '^[^:]*\.\(cpp\|h\)' | sort -u |
    sed 's/^/check_format.sh: not as .clang-format lays it out: /'
  exit 1
fi
echo "check_format.sh: ${#files[@]} files as .clang-format lays them out"

#!/usr/bin/env bash
# Fails on any C++ line of ours that clang-format would change (.clang-format
# at the repository root), naming the file and the line.
# Usage: check_format.sh [REPOSITORY_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' |
  grep -E '^(app|game|math|render|world|tools|bench|tests)/')
[ ${#files[@]} -gt 0 ] || { echo "FAIL: no C++ files found"; exit 1; }
if clang-format --dry-run -Werror "${files[@]}"; then
  echo "format: ${#files[@]} files as .clang-format has them"
else
  echo "FAIL: the lines above are not formatted; run: clang-format -i FILE"
  exit 1
fi

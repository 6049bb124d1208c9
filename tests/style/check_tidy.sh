#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the repository root) over every source file of
# the game, its tools and its benchmark, compiled as the build compiles them, two
# files at a time, and fails on any finding, naming the file, line and check.
# Usage: check_tidy.sh BUILD_DIRECTORY [REPOSITORY_ROOT]
set -euo pipefail
build=$(cd "${1:?usage: check_tidy.sh BUILD_DIRECTORY [REPOSITORY_ROOT]}" && pwd)
cd "${2:-$(dirname "$0")/../..}"
root=$(pwd)
command -v clang-tidy >/dev/null || { echo "FAIL: clang-tidy is missing (scripts/install-deps.sh)"; exit 1; }
[ -f "$build/compile_commands.json" ] || { echo "FAIL: $build has no compile_commands.json"; exit 1; }
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" | sort -u |
  awk -v root="$root/" 'index($0, root) == 1 { print substr($0, length(root) + 1) }' |
  grep -E '^(app|game|math|render|world|tools|bench)/')
[ ${#files[@]} -gt 0 ] || { echo "FAIL: no C++ files of ours in $build/compile_commands.json"; exit 1; }
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if printf '%s\0' "${files[@]}" |
  xargs -0 -n 1 -P 2 clang-tidy -p "$build" --quiet --warnings-as-errors='*' >"$log" 2>&1; then
  echo "tidy: ${#files[@]} files, no finding"
else
  grep -vE '^[0-9]+ (warning|error)s? (and [0-9]+ errors? )?generated\.$' "$log"
  echo "FAIL: clang-tidy findings above: fix them, or mark one the game means with // NOLINT(check): why"
  exit 1
fi

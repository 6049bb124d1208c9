#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: unit tests, GL tests
# on a virtual display with Mesa's software renderer, and end-to-end runs of
# the real executable (each under its own Xvfb, driven by xdotool).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"

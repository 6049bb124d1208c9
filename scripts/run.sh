#!/usr/bin/env bash
# Installs what is missing, builds and starts Varnelo.
# Without a display it runs the game under Xvfb for a few seconds, saves a
# screenshot to shots/varnelo.png and ends the game with Esc.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec build/varnelo
fi
echo "No display found: running Varnelo under Xvfb with Mesa's software renderer."
mkdir -p shots
export LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1200x1000x24 -nolisten tcp" bash -c '
  build/varnelo > shots/console.log 2>&1 &
  game=$!
  sleep 8
  import -window root shots/varnelo.png
  xdotool search --sync --name "^Varnelo$" windowactivate --sync 2>/dev/null || true
  xdotool keydown Escape; sleep 0.3; xdotool keyup Escape
  wait $game; echo "Varnelo exited with code $?"
'
echo "Screenshot: $(pwd)/shots/varnelo.png (console output in shots/console.log)"

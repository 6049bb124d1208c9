#!/usr/bin/env bash
# Builds and runs the benchmarks, from the repository root, under Xvfb with
# Mesa's software renderer (llvmpipe), at the game's 1200 x 1000:
#
#   bench/run.sh            frame_bench (frame median / p95 against the floor,
#                           one lit, textured, shadow-sampled full-window quad
#                           drawn in the same run; the frame with F2 and F7 on
#                           beside the default one; CPU time per frame beside the
#                           wall clock; per-pass split, shadow pass alone,
#                           start-up per loading stage), then rules_bench (CPU
#                           time of one frame of game rules, Google Benchmark)
#   bench/run.sh long [N]   long_run: N frames (default 20 000, about half an
#                           hour on llvmpipe) checking resident memory and the
#                           live GL objects after a 200-frame warm-up
#
# Timings on a shared machine are noisy: run it a few times. BUILD_DIR picks
# the build directory (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-bench}
bash scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON >/dev/null
# varnelo brings the generated Models/ up to date.
cmake --build "$build" -j"$(nproc)" --target varnelo frame_bench long_run rules_bench
export LIBGL_ALWAYS_SOFTWARE=1
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp")

if [ "${1:-}" = long ]; then
  "${xvfb[@]}" "$build/bench/long_run" --frames "${2:-20000}" --warmup 200 --samples 20 2>&1 |
    grep -v '^heightmap inhalt\|^number of'
  exit "${PIPESTATUS[0]}"
fi

# The game's loading trail goes to stderr; the report comes on stdout.
"${xvfb[@]}" "$build/bench/frame_bench" 2>/dev/null
"$build/bench/rules_bench" --benchmark_min_time=2

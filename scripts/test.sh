#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#  1. unit tests, GL tests on a virtual display with Mesa's software renderer,
#     end-to-end runs of the real executable (each under its own Xvfb, driven
#     by xdotool) and the reduced long run, all through CTest in build/;
#  2. AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/): the unit
#     tests and a 2000-frame run of the game;
#  3. the libFuzzer targets (scripts/fuzz.sh: build-fuzz/, clang) for the TGA
#     decoder and the COLLADA import, the latter through an instrumented
#     Assimp, seeded with the shipped Models/ files, one minute each;
#  4. the Windows build (build-windows/, MinGW-w64): its zip is made, its unit
#     and GL tests run under Wine, and the zip's game is played under Wine
#     beside the Linux build (tests/windows/test_wine_zip.sh).
# Arguments go to ctest. VARNELO_TEST_STAGES picks stages (default
# "main sanitize fuzz windows"), VARNELO_FUZZ_SECONDS the time per fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
export LIBGL_ALWAYS_SOFTWARE=1
stages=" ${VARNELO_TEST_STAGES:-main sanitize fuzz windows} "
fuzz_seconds=${VARNELO_FUZZ_SECONDS:-60}
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp")

if [[ $stages == *" main "* ]]; then
  bash scripts/build.sh
  "${xvfb[@]}" ctest --test-dir build --output-on-failure -j"$(nproc)" "$@"
else
  bash scripts/install-deps.sh
fi

if [[ $stages == *" sanitize "* ]]; then
  echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON -DVARNELO_SANITIZE=ON >/dev/null
  # The generators are built too: unit tests compare their output with Models/.
  cmake --build build-asan -j"$(nproc)" --target unit_tests long_run make_models make_images
  export ASAN_OPTIONS=detect_leaks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Assimp leaks when its COLLADA reader throws on a damaged file (the unit
  # tests feed it many); nothing of ours is suppressed.
  LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan_assimp.supp build-asan/tests/unit_tests --gtest_brief=1
  # The real game for 2000 frames; its own checks on memory and GL objects
  # apply, the leak check at exit is the sanitizer's.
  log=$(mktemp)
  if ! "${xvfb[@]}" build-asan/bench/long_run --frames 2000 --warmup 100 --samples 4 >"$log" 2>&1; then
    grep -v '^heightmap inhalt\|^number of' "$log" | tail -n 60
    echo "FAIL: the sanitized 2000-frame run"
    exit 1
  fi
  grep -v '^heightmap inhalt\|^number of' "$log" | tail -n 4
  rm -f "$log"
fi

if [[ $stages == *" fuzz "* ]]; then
  echo "== Fuzzing, ${fuzz_seconds} s per target"
  bash scripts/fuzz.sh "$fuzz_seconds"
fi

if [[ $stages == *" windows "* ]]; then
  echo "== Windows build under Wine"
  zip=$(bash scripts/package-windows.sh | tail -n 1)
  echo "$zip: $(du -k "$zip" | cut -f1) KiB"
  # The Linux game the Windows one is compared with.
  cmake --build build -j"$(nproc)" --target varnelo
  # One display for the tests and Wine's own programs; Wine is stopped after
  # it, so no wineserver outlives the stage.
  "${xvfb[@]}" bash -c 'source tests/windows/wine_env.sh && wine_ready &&
    { ctest --test-dir build-windows --output-on-failure "$@"; status=$?; wineserver -k; exit $status; }' \
    wine_tests "$@"
  bash tests/windows/test_wine_zip.sh "$zip" build/varnelo
fi

#!/usr/bin/env bash
# Fuzzes the readers of untrusted files with libFuzzer: the TGA decoder
# (fuzz_tga) and the COLLADA import (fuzz_mesh_import). The import links an
# Assimp compiled from Debian's own source with the fuzzer's instrumentation
# and AddressSanitizer (COLLADA importer only), so libFuzzer follows Assimp's
# branches and a crash inside Assimp names its line.
#
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#   SECONDS per target, default 1800; targets default to both.
# The corpus grows across runs in build-fuzz/corpus/<target>/ (seeded with
# the shipped Models/ files); a crashing input is saved under
# build-fuzz/findings/ and the script fails. Add every such input to
# tests/fuzz/regressions/ once the import refuses it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-1800}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_tga fuzz_mesh_import)

bash scripts/install-deps.sh
bash scripts/add-deb-src.sh

# --- Assimp from Debian's source, instrumented, reused while its version holds
version=$(apt-cache showsrc assimp | awk '/^Version:/ { print $2; exit }')
assimp=$PWD/build-fuzz/assimp-$version
if [ ! -f "$assimp/prefix/lib/libassimp.a" ]; then
  echo "== Building Assimp $version for fuzzing (COLLADA only, instrumented)"
  rm -rf "$assimp" && mkdir -p "$assimp"
  (cd "$assimp" && apt-get source -qq "assimp=$version" >/dev/null 2>&1 && mv assimp-*/ src)
  flags="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g"
  CC=clang CXX=clang++ cmake -S "$assimp/src" -B "$assimp/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_SHARED_LIBS=OFF -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
    -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_COLLADA_IMPORTER=ON \
    -DASSIMP_WARNINGS_AS_ERRORS=OFF -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_INSTALL_PREFIX="$assimp/prefix" >"$assimp/configure.log"
  cmake --build "$assimp/build" -j"$(nproc)" >"$assimp/build.log"
  cmake --install "$assimp/build" >/dev/null
fi

# --- The targets
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON \
  -DVARNELO_FUZZ=ON -DVARNELO_FUZZ_ASSIMP_PREFIX="$assimp/prefix" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"

# --- The runs
findings=$PWD/build-fuzz/findings
mkdir -p "$findings"
seed() {
  local target=$1 corpus=$2
  if [ "$target" = fuzz_tga ]; then
    cp Models/*.tga tests/fuzz/regressions/*.tga "$corpus"/
    # Small images of every TGA kind, made from a shipped one, reach the
    # decoder's inner paths far faster than the large originals.
    for type in TrueColor TrueColorAlpha Grayscale Palette; do
      for compress in None RLE; do
        convert Models/leaf.tga -resize '8x6!' -type "$type" -compress "$compress" \
          "$corpus/small-$type-$compress.tga" 2>/dev/null || true
      done
    done
  else
    cp Models/*.dae tests/fuzz/regressions/*.dae "$corpus"/
  fi
}
status=0
for target in "${targets[@]}"; do
  corpus=$PWD/build-fuzz/corpus/$target
  [ -d "$corpus" ] || { mkdir -p "$corpus" && seed "$target" "$corpus"; }
  case $target in
    fuzz_tga) extra=(-max_len=16384) ;;
    *) extra=(-max_len=32768 -dict=tests/fuzz/collada.dict) ;;
  esac
  log=build-fuzz/$target.log
  # Assimp leaks when its reader throws on a damaged file; nothing of ours is suppressed.
  # The slowest input takes under a second alone; the timeout leaves room for a busy machine.
  if LSAN_OPTIONS=suppressions=$PWD/tests/fuzz/lsan_assimp.supp \
     "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
     -print_final_stats=1 -artifact_prefix="$findings/$target-" "${extra[@]}" "$corpus" >"$log" 2>&1; then
    echo "$target: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{ print $2 }') runs" \
      "in $seconds s, no crash"
  else
    grep -v '^#\|Suppressions used\|^ *count *bytes\|^---' "$log" | tail -n 40
    echo "FAIL: $target found a crash; the input is in $findings/"
    status=1
  fi
done
exit $status

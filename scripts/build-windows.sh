#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian with MinGW-w64, from the same
# sources and CMakeLists as the Linux build: build-windows/varnelo.exe,
# unit_tests.exe and gl_tests.exe (64-bit console programs, the compiler's
# own libraries linked in). Installs what is missing, builds the libraries
# from Debian's source packages once (build-windows/deps/, kept while their
# versions stay), and generates Models/ with the native build's tools, which
# run on this host. Extra arguments go to the cross-build's cmake configure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/install-deps-windows.sh

# Models/ is the native build's: the generators run here, the game reads the files.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)" --target assets

VARNELO_JOBS=$(nproc) bash scripts/build-windows-deps.sh

# Tests run through Wine (ctest --test-dir build-windows, or scripts/test.sh).
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNELO_WERROR=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine "$@" >/dev/null
cmake --build build-windows -j"$(nproc)"

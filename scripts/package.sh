#!/usr/bin/env bash
# Installs what is missing, builds the game and its package files, and makes
# the Debian package with CPack. The last line printed is the .deb's path.
# Install it with: sudo apt install ./<that path>
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON "$@" >/dev/null
# Only what goes into the package: the game (which generates Models/ first),
# the icons, manual page and changelog.
cmake --build build -j"$(nproc)" --target varnelo package_files
rm -f build/package/*.deb
(cd build && cpack -G DEB) >&2
debs=(build/package/*.deb)
[ -f "${debs[0]}" ] || { echo "package.sh: cpack made no .deb" >&2; exit 1; }
readlink -f "${debs[0]}"

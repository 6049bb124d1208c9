#!/usr/bin/env bash
# Installs what is missing and builds build/varnelo with the generated assets.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNELO_WERROR=ON "$@" >/dev/null
cmake --build build -j"$(nproc)"

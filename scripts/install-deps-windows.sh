#!/usr/bin/env bash
# Installs the Debian packages the Windows build needs on top of the Linux
# ones: the MinGW-w64 cross compiler, the headers and zlib it builds against,
# the tools that fetch and unpack Debian's source packages, and Wine with the
# X libraries its display driver loads, to run the tests. It also adds a
# deb-src entry of its own, so that `apt-get source` finds Debian's sources.
# Safe to run again: it only installs and updates what is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev libstb-dev libutfcpp-dev libglm-dev
  cmake pkg-config dpkg-dev zip unzip
  wine wine64 libgl1 libgl1-mesa-dri
  libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
  xvfb xauth xdotool imagemagick
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

# Debian's source packages, from the same archive as the binary ones.
bash "$(dirname "$0")/add-deb-src.sh"

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Installs the Debian packages Varnelo needs to build, run and test.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libpugixml-dev libstb-dev
  libsdl2-dev
  libgtest-dev googletest libbenchmark-dev
  fonts-dejavu-core
  xvfb xauth x11-utils xdotool imagemagick libgl1-mesa-dri mesa-utils
  clang clang-format clang-tidy libclang-rt-14-dev libx11-dev strace
  libminizip-dev libutfcpp-dev zlib1g-dev
  dpkg-dev file lintian desktop-file-utils
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Adds a deb-src entry of the project's own, so that `apt-get source` finds
# Debian's source packages: the instrumented Assimp of the fuzzers and the
# Windows build's libraries are compiled from them. Safe to run again.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
src_list=/etc/apt/sources.list.d/varnelo-deb-src.sources
src_entry='# Added by Varnelo'"'"'s scripts/add-deb-src.sh: some builds compile
# their libraries from Debian'"'"'s own source packages.
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
if [ "$(cat "$src_list" 2>/dev/null)" != "$src_entry" ]; then
  echo "Writing $src_list"
  printf '%s\n' "$src_entry" | $SUDO tee "$src_list" >/dev/null
  $SUDO apt-get update -qq
fi

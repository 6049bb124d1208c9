#!/usr/bin/env bash
# Builds the libraries of the Windows build from Debian's own source packages
# (`apt-get source`, with Debian's patches applied) with MinGW-w64, into
# build-windows/deps/prefix:
#   GLFW, GLEW, Assimp (the COLLADA importer only), minizip (contrib/minizip
#   of Debian's zlib source), GoogleTest, pugixml: static libraries;
#   SDL2 (for its audio): SDL2.dll beside the game, as SDL itself advises on
#   Windows (a player may drop in a newer one); the game links SDL2::SDL2
#   on both platforms.
# zlib is libz-mingw-w64-dev's; GLM, stb and utfcpp are Debian's headers,
# linked into the prefix. A library is rebuilt only when its source version
# or its build settings change (a stamp per library in deps/stamps/).
# scripts/install-deps-windows.sh must have run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$root/build-windows/deps
prefix=$deps/prefix
jobs=${VARNELO_JOBS:-2}
triple=x86_64-w64-mingw32
mingw=/usr/$triple
toolchain=$root/cmake/mingw-w64.cmake
mkdir -p "$deps/src" "$deps/build" "$deps/stamps" "$prefix/include" "$prefix/lib/pkgconfig" "$prefix/share/cmake"
export VARNELO_WINDOWS_DEPS=$prefix
# pkg-config sees only the prefix: the host's minizip is a Linux library.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

log() { echo "build-windows-deps: $*" >&2; }
die() { log "$*"; exit 1; }

# The version of Debian's source package $1 in bookworm (from the local
# index, so no download is needed to find the stamp up to date).
source_version() {
  apt-get source --print-uris -qq "$1/bookworm" 2>/dev/null |
    sed -n "s/.*'[^']*\/$1_\([^']*\)\.dsc'.*/\1/p" | head -n 1 |
    sed 's/%7[eE]/~/g; s/%2[bB]/+/g; s/%3[aA]/:/g'
}

# Downloads and unpacks source package $1 version $2 unless it is there
# already, with Debian's patches applied: all of them, or only those named
# after the version; prints the source folder.
unpack_source() {
  local name=$1 version=$2 upstream dir patch
  shift 2
  upstream=${version#*:}
  upstream=${upstream%-*}
  dir=$deps/src/$name-$upstream
  if [ ! -f "$dir/.unpacked-$version${*:+-}${*// /,}" ]; then
    rm -rf "$dir"
    (cd "$deps/src" && apt-get source -qq --download-only "$name/bookworm" >/dev/null 2>&1) ||
      die "apt-get source $name/bookworm failed (is the deb-src entry of install-deps-windows.sh there?)"
    # apt has checked the files against the archive's signed index; dpkg-source
    # would only warn that it has no keyring for the uploader's signature.
    (cd "$deps/src" && dpkg-source ${*:+--skip-patches} -x "${name}_${version#*:}.dsc" "$dir" \
      >"$deps/src/$name.unpack.log" 2>&1) ||
      { cat "$deps/src/$name.unpack.log" >&2; die "dpkg-source could not unpack $name $version"; }
    for patch in "$@"; do
      patch -d "$dir" -p1 -s <"$dir/debian/patches/$patch" || die "$name: $patch does not apply"
    done
    touch "$dir/.unpacked-$version${*:+-}${*// /,}"
  fi
  echo "$dir"
}

# stamp_ok NAME KEY: the library was built from exactly KEY.
stamp_ok() { [ -f "$deps/stamps/$1" ] && [ "$(cat "$deps/stamps/$1")" = "$2" ]; }
write_stamp() { printf '%s\n' "$2" >"$deps/stamps/$1"; }

# cmake_build NAME SOURCE_DIR ARGS...: configure, build and install one
# CMake project into the prefix.
cmake_build() {
  local name=$1 src=$2
  shift 2
  local build=$deps/build/$name
  rm -rf "$build"
  cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib "$@" >"$deps/build/$name.log" 2>&1 ||
    { tail -n 30 "$deps/build/$name.log"; die "$name: configure failed (log: $deps/build/$name.log)"; }
  cmake --build "$build" -j"$jobs" >>"$deps/build/$name.log" 2>&1 ||
    { grep -m 10 -i 'error' "$deps/build/$name.log"; die "$name: build failed (log: $deps/build/$name.log)"; }
  cmake --install "$build" >>"$deps/build/$name.log" 2>&1 || die "$name: install failed"
  rm -rf "$build"
}

# library NAME SOURCE_PACKAGE SETTINGS BUILD_FUNCTION [PATCH...]: builds
# unless stamped; with patches named, only those of Debian's are applied.
library() {
  local name=$1 package=$2 settings=$3 builder=$4 version key src started
  shift 4
  version=$(source_version "$package")
  [ -n "$version" ] || die "no bookworm source of $package in the apt index (run install-deps-windows.sh)"
  key="$package $version | $settings${*:+ | $*} | $(sha256sum "$toolchain" | cut -c1-16)"
  if stamp_ok "$name" "$key"; then return 0; fi
  started=$(date +%s)
  log "building $name from $package $version"
  src=$(unpack_source "$package" "$version" "$@")
  "$builder" "$src"
  write_stamp "$name" "$key"
  log "$name done in $(($(date +%s) - started)) s"
}

# --- Header-only packages: linked into the prefix ----------------------------------

for header in glm stb utf8cpp; do
  [ -d /usr/include/$header ] || die "/usr/include/$header is missing (install-deps-windows.sh installs it)"
  ln -sfn /usr/include/$header "$prefix/include/$header"
done
# GLM's package file finds its headers relative to itself: prefix/include.
mkdir -p "$prefix/share/cmake/glm"
cp /usr/share/cmake/glm/*.cmake "$prefix/share/cmake/glm/"

# --- The libraries ------------------------------------------------------------------

build_minizip() {
  local src=$1 build=$deps/build/minizip cc=$triple-gcc-posix
  rm -rf "$build" && mkdir -p "$build"
  # Only the reading half: Assimp opens zipped files, it writes none.
  for f in ioapi unzip; do
    $cc -O2 -I"$mingw/include" -c "$src/contrib/minizip/$f.c" -o "$build/$f.o"
  done
  $triple-ar rcs "$prefix/lib/libminizip.a" "$build/ioapi.o" "$build/unzip.o"
  mkdir -p "$prefix/include/minizip"
  cp "$src"/contrib/minizip/{ioapi.h,unzip.h,crypt.h} "$prefix/include/minizip/"
  cat >"$prefix/lib/pkgconfig/minizip.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: minizip
Description: Minizip's unzip (Debian's zlib source), built with MinGW-w64
Version: ${src##*zlib-}
Libs: -L\${libdir} -lminizip -lz
Cflags: -I\${includedir}/minizip
EOF
  rm -rf "$build"
}

build_glfw() {
  cmake_build glfw "$1" -DBUILD_SHARED_LIBS=OFF -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF \
    -DGLFW_BUILD_DOCS=OFF
}

build_glew() {
  # The tarball carries the generated src/glew.c; its CMake project is in build/cmake.
  cmake_build glew "$1/build/cmake" -DBUILD_SHARED_LIBS=OFF -DBUILD_UTILS=OFF
}

build_assimp() {
  # Assimp compiles its bundled pugixml into every file that reads XML
  # (header-only); the game links pugixml as a library for its model check,
  # and MinGW's linker refuses the two copies side by side. So Assimp is
  # built against the game's pugixml: its headers, the library's symbols.
  rm -f "$1"/contrib/pugixml/src/*
  cp "$prefix/include/pugixml.hpp" "$prefix/include/pugiconfig.hpp" "$1/contrib/pugixml/src/"
  cmake_build assimp "$1" -DBUILD_SHARED_LIBS=OFF \
    -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_COLLADA_IMPORTER=ON \
    -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF \
    -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_SAMPLES=OFF \
    -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF \
    -DASSIMP_INSTALL_PDB=OFF -DASSIMP_BUILD_ASSIMP_VIEW=OFF \
    -DCMAKE_CXX_FLAGS="-I$prefix/include/utf8cpp -I$prefix/include"
}

build_googletest() {
  cmake_build googletest "$1" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

build_pugixml() {
  cmake_build pugixml "$1" -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF
}

build_sdl2() {
  # Audio (WASAPI, DirectSound, WinMM, and the dummy and disk drivers) with
  # what it rests on. SDL's Windows build needs its video core (the dynamic
  # API refers to it), but no renderer, GL or Vulkan: GLFW has the window.
  cmake_build sdl2 "$1" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL2_DISABLE_SDL2MAIN=ON \
    -DSDL_AUDIO=ON -DSDL_VIDEO=ON -DSDL_RENDER=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF \
    -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_HIDAPI=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF \
    -DSDL_MISC=OFF
}

library minizip zlib "unzip ioapi, then -lz" build_minizip
library glfw glfw3 "static" build_glfw
library glew glew "static" build_glew
# Debian's tarball lacks Assimp's bundled stb and utf8cpp: its two patches
# that use the system's headers instead (its others concern Draco, Python
# and the documentation, none of them in this build).
library pugixml pugixml "static" build_pugixml
library assimp assimp "collada-import static, $(cat "$deps/stamps/minizip"), $(cat "$deps/stamps/pugixml")" \
  build_assimp use-system-utf8cpp.patch use-system-stb_image.patch
library googletest googletest "gtest static" build_googletest
library sdl2 libsdl2 "audio, video core, dll" build_sdl2
log "all libraries in $prefix"

#!/usr/bin/env bash
# Builds the Windows zip: cross-builds the game (scripts/build-windows.sh) and
# packs varnelo.exe, the DLLs it needs beside Windows' own, Shaders/, Models/,
# README.txt and the licence of every library inside into
# build-windows/varnelo-<version>-windows-x64.zip, whose path is the last
# line printed. A player unzips it into a folder and starts varnelo.exe.
# Extra arguments go to build-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh "$@" >&2

triple=x86_64-w64-mingw32
deps=build-windows/deps
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
[ -n "$version" ] || { echo "package-windows.sh: no version in build-windows/CMakeCache.txt" >&2; exit 1; }
name=varnelo-$version-windows-x64
stage=build-windows/zip/$name
zip=build-windows/$name.zip
rm -rf "$stage" "$zip"
mkdir -p "$stage/licences"

# The DLLs a program imports, one a line, in lower case.
imports() { $triple-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }

$triple-strip -o "$stage/varnelo.exe" build-windows/varnelo.exe
# Our own DLLs (SDL2) travel with the game; everything else it imports must
# be part of Windows itself: a compiler runtime DLL here means a library
# was not linked statically.
for dll in $(imports "$stage/varnelo.exe"); do
  for built in "$deps"/prefix/bin/*.dll; do
    [ -f "$built" ] || continue
    if [ "$(basename "$built" | tr 'A-Z' 'a-z')" = "$dll" ]; then $triple-strip -o "$stage/$(basename "$built")" "$built"; fi
  done
done
system_dlls=' advapi32.dll cfgmgr32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
  opengl32.dll setupapi.dll shell32.dll user32.dll version.dll winmm.dll '
system_dlls=" $(echo $system_dlls) "  # one space between names, the line break too
for program in "$stage"/*.exe "$stage"/*.dll; do
  [ -f "$program" ] || continue
  for dll in $(imports "$program"); do
    if [[ $system_dlls != *" $dll "* ]] && [ ! -f "$stage/$dll" ] &&
       ! ls "$stage" | tr 'A-Z' 'a-z' | grep -qx "$dll"; then
      echo "package-windows.sh: $(basename "$program") needs $dll, which is neither packed nor part of Windows" >&2
      exit 1
    fi
  done
done

cp -r Shaders "$stage/Shaders"
mkdir -p "$stage/Models"
cp Models/*.dae Models/*.tga "$stage/Models/"
# Notepad and every other Windows editor read CRLF line ends.
sed "s/@VERSION@/$version/; s/\$/\r/" packaging/windows/README.txt >"$stage/README.txt"

# Licences: Debian's copyright file of each library's source package (it
# covers every file of it) and the upstream licence text where there is one.
src=$deps/src
licence() {  # NAME FILE...
  local out=$stage/licences/$1.txt first=1 file
  shift
  : >"$out"
  for file in "$@"; do
    [ -f "$file" ] || { echo "package-windows.sh: licence file $file is missing" >&2; exit 1; }
    [ $first -eq 1 ] || printf '\n\n' >>"$out"
    first=0
    cat "$file" >>"$out"
  done
  sed -i 's/$/\r/' "$out"
}
one() { local matches=("$@"); echo "${matches[0]}"; }
licence GLFW "$(one "$src"/glfw3-*/LICENSE.md)" "$(one "$src"/glfw3-*/debian/copyright)"
licence GLEW "$(one "$src"/glew-*/LICENSE.txt)" "$(one "$src"/glew-*/debian/copyright)"
licence Assimp "$(one "$src"/assimp-*/LICENSE)" "$(one "$src"/assimp-*/debian/copyright)"
licence zlib-minizip "$(one "$src"/zlib-*/LICENSE)" "$(one "$src"/zlib-*/debian/copyright)" /usr/share/doc/libz-mingw-w64/copyright
licence pugixml "$(one "$src"/pugixml-*/LICENSE.md)" "$(one "$src"/pugixml-*/debian/copyright)"
licence SDL2 "$(one "$src"/libsdl2-*/LICENSE.txt)" "$(one "$src"/libsdl2-*/debian/copyright)"
licence GLM /usr/share/doc/libglm-dev/copyright
licence stb /usr/share/doc/libstb-dev/copyright
licence utfcpp /usr/share/doc/libutfcpp-dev/copyright
licence MinGW-w64-runtime /usr/share/doc/mingw-w64-x86-64-dev/copyright
licence GCC-runtime /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
licence Varnelo packaging/copyright

# The same bytes for the same files: fixed times, sorted names, no extra fields.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 0)
find "$stage" -exec touch -h -d "@$stamp" {} +
(cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | zip -q -X -9 -@ "$(realpath -m "../../$name.zip")")
readlink -f "$zip"

# Wine for the Windows build's tests, sourced from the repository root: a
# 64-bit prefix of its own under build-windows/ (made once, about 30 s),
# quiet, without the Mono and Gecko installers' prompts.
export WINEPREFIX=${WINEPREFIX:-$PWD/build-windows/wine}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The built programs find the DLLs of build-windows/deps (SDL2.dll) on Wine's
# PATH; Wine sees the Linux file system as drive Z:.
deps_bin=${VARNELO_WINDOWS_DEPS:-$PWD/build-windows/deps/prefix}/bin
export WINEPATH="Z:${deps_bin//\//\\}"
unset deps_bin
# Makes the prefix unless it is there; waits until Wine is idle again.
wine_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || return 1
    fi
    wineserver -w
}

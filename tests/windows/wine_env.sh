# Wine for the Windows build's tests, sourced from the repository root: a
# 64-bit prefix of its own under build-windows/ (made once, about 30 s),
# quiet, without the Mono and Gecko installers' prompts.
export WINEPREFIX=${WINEPREFIX:-$PWD/build-windows/wine}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Makes the prefix unless it is there; waits until Wine is idle again.
wine_ready() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || return 1
    fi
    wineserver -w
}

# Shared helpers of the package tests: the Debian package of the build tree
# that the tested game belongs to, made by CPack into the test's own scratch
# folder, and unpacked. Source lib.sh first (it sets VARNELO, E2E_TMP, fail).
BUILD_DIR=$(dirname "$VARNELO")
DEB=""

# Packs the already-built tree (installing builds nothing, see
# cmake/package.cmake) and sets DEB to the path of the .deb.
make_package() {
    [ -f "$BUILD_DIR/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $BUILD_DIR"
    if ! cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB -B "$E2E_TMP/package" >"$E2E_TMP/cpack.log" 2>&1; then
        tail -n 20 "$E2E_TMP/cpack.log"
        fail "cpack could not make the package"
    fi
    local debs=("$E2E_TMP"/package/*.deb)
    if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
        fail "cpack made no .deb or more than one"
    fi
    DEB=${debs[0]}
}

# Unpacks the package into directory $1, as dpkg would install it under /.
unpack_package() {
    mkdir -p "$1"
    dpkg-deb -x "$DEB" "$1" || fail "dpkg-deb could not unpack $DEB"
}

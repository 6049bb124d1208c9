#!/usr/bin/env bash
# A clean start writes exactly the loading trail on standard error (no GL
# error reports), the importer's and the height map's lines on standard
# output, and terrain.bmp of the documented size. The window carries the cake
# icon: 256 x 256, clear in the corner, the cake opaque in the middle.
source "$(dirname "$0")/lib.sh" "$@"
start_display
copy_game_data "$E2E_TMP/game"
start_game "$E2E_TMP/game"
wait_for_frames 3
# _NET_WM_ICON is width, height, then ARGB pixels top row first.
read -r icon_width icon_height corner middle < <(xprop -id "$(game_window)" -notype 32c _NET_WM_ICON |
    sed 's/.*= //; s/,//g' | awk '{ print $1, $2, $3, $(3 + 128 * 256 + 128) }')
[ "${icon_width}x${icon_height}" = 256x256 ] || fail "the window icon is '${icon_width}x${icon_height}', not 256x256"
[ "$corner" = 0 ] || fail "the window icon's corner is not clear ($corner)"
[ $(( middle >> 24 )) -eq 255 ] || fail "the window icon's middle is not opaque ($middle)"
hold_key Escape
wait_for_exit 30 || fail "exit code $?"

expected=$(loading_trail)
actual=$(cat "$E2E_TMP/stderr")
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual")
    fail "the standard-error trail differs"
fi

[ "$(grep -c '^heightmap inhalt: ' "$E2E_TMP/stdout")" -eq 1000 ] || fail "expected 1000 height-map lines"
[ "$(grep -c '^number of meshes: ' "$E2E_TMP/stdout")" -ge 12 ] || fail "too few mesh lines"
size=$(stat -c %s "$E2E_TMP/game/terrain.bmp" 2>/dev/null || echo 0)
[ "$size" -eq 3145782 ] || fail "terrain.bmp has $size bytes"
[ "$(head -c 2 "$E2E_TMP/game/terrain.bmp")" = "BM" ] || fail "terrain.bmp does not start with BM"
# Every frame prints the anchor's position, whose y never changes.
if grep '^x ' "$E2E_TMP/stdout" | grep -qv '   y 4   '; then
    fail "a position line with y other than 4: $(grep '^x ' "$E2E_TMP/stdout" | grep -v '   y 4   ' | head -n 1)"
fi
echo PASS

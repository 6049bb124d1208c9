#!/usr/bin/env bash
# Without a display the game says so, exits with 1 and reads no shader. A clean start writes
# the loading trail, the height map and terrain.bmp, shows the cake icon and, frames after the
# first, the scene rather than the clear colour; Esc, Q, close end it with 0.
source "$(dirname "$0")/lib.sh" "$@"
(unset DISPLAY; exec strace -f -e trace=open,openat -o "$T/trace" "$VARNELO") >"$T/stdout" 2>"$T/stderr"; code=$?
[ $code = 1 ] || fail "without a display: exit code $code, expected 1"
expect_line "Failed to initialize OpenGL window."
! grep 'Shaders/' "$T/trace" || fail "without a display a shader file was opened"

start_display
for way in Escape q close; do
    dir=$(game_data)
    start_game "$dir"
    wait_for_frames 3
    if [ $way = Escape ]; then
        # The share of the window in the sky's clear colour (0.3, 0.3, 1 stored as sRGB): none
        # at the start view, all of it where a frame's state (depth writes) spoils the next.
        import -window root "$T/shot.png" || fail "no screenshot"
        sky=$(convert "$T/shot.png" -fuzz 2% -fill red -opaque 'rgb(149,149,255)' -fill black +opaque red \
            -fill white -opaque red -colorspace Gray -format '%[fx:mean]' info:)
        is_true "$sky < 0.2" || fail "$sky of the window shows the clear colour after 3 frames"
    fi
    if [ $way = close ]; then
        # _NET_WM_ICON: width, height, then ARGB pixels from the top row.
        xprop -id "$(xdotool search --name '^Varnelo$')" -notype 32c _NET_WM_ICON | sed 's/.*= //; s/,//g' |
            awk '{ exit !($1 == 256 && $2 == 256 && $3 == 0 && int($(3 + 128 * 256 + 128) / 2^24) == 255) }' ||
            fail "the window icon is not the 256 x 256 cake, clear in the corner, opaque in the middle"
        "$CLOSE_WINDOW" "$(xdotool search --name '^Varnelo$')" || fail "could not ask the window to close"
        expect_exit 0
    else
        quit $way
    fi
done
diff <(loading_trail) "$T/stderr" || fail "the standard-error trail differs"
[ "$(grep -c '^heightmap inhalt: ' "$T/stdout")" = 1000 ] || fail "expected 1000 height-map lines"
[ "$(stat -c %s "$dir/terrain.bmp")" = 3145782 ] || fail "terrain.bmp is missing or not 3145782 bytes"
! grep '^x ' "$T/stdout" | grep -v '   y 4   ' || fail "the heroine's anchor left the height y 4"
echo PASS

#!/usr/bin/env bash
# The window shrunk to 1 x 1 while playing, and back to 1200 x 1000: the game
# keeps drawing frames at both sizes without a GL error, its position stays
# finite, and Esc still ends it with exit code 0.
source "$(dirname "$0")/lib.sh" "$@"
start_display

gl_errors() { grep -c '^Error at ' "$E2E_TMP/stderr"; }

# Waits for $1 more frames than there are now.
wait_for_more_frames() {
    local target=$(( $(frames_so_far) + $1 ))
    wait_for_frames "$target"
}

start_game "$(game_data_copy)"
wait_for_frames 5
window=$(game_window)
[ -n "$window" ] || fail "no game window"
errors_before=$(gl_errors)

xdotool windowsize "$window" 1 1 || fail "xdotool could not resize the window"
wait_for_more_frames 10
echo "1 x 1: $(xdotool getwindowgeometry "$window" | grep Geometry), frames go on"
[ "$(gl_errors)" -eq "$errors_before" ] || fail "GL errors at 1 x 1: $(grep '^Error at ' "$E2E_TMP/stderr" | sort -u | head -n 3)"

xdotool windowsize "$window" 1200 1000 || fail "xdotool could not resize the window back"
wait_for_more_frames 10
[ "$(gl_errors)" -eq "$errors_before" ] || fail "GL errors after the resize back"
read -r x y z <<<"$(last_position)"
awk -v x="$x" -v y="$y" -v z="$z" 'BEGIN { exit !(x == x + 0 && y == y + 0 && z == z + 0 && x * x + z * z <= 338 * 338) }' ||
    fail "position after the resizes not finite or off the play area: $x $y $z"
echo "back to 1200 x 1000: frames go on, position $x $y $z"

hold_key Escape
wait_for_exit 30
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Esc, expected 0"
echo PASS

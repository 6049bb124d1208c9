#!/usr/bin/env bash
# A 3-second stall between two frames (the process stopped and continued, as
# a swapped-out or debugged game would be) while the player holds S, walking
# backwards towards the edge of the world: the next frame plays the 3 seconds
# in real time, in short steps, so she walks on until the edge stops her,
# never off the play area or into NaN; the game runs on and quits on Esc.
source "$(dirname "$0")/lib.sh" "$@"
start_display

# True when "X Y Z" are finite numbers with X, Z inside the play disc.
on_play_area() {
    awk -v x="$1" -v y="$2" -v z="$3" \
        'BEGIN { exit !(x == x + 0 && y == y + 0 && z == z + 0 && x * x + z * z <= 338 * 338) }'
}

start_game "$(game_data_copy)"
wait_for_frames 5

xdotool keydown s
sleep 0.3
kill -STOP "$GAME_PID" || fail "could not stop the game"
sleep 3
before=$(frames_so_far)
kill -CONT "$GAME_PID" || fail "could not continue the game"
wait_for_frames $((before + 10))
xdotool keyup s

while read -r x y z; do
    on_play_area "$x" "$y" "$z" || fail "position after the stall not finite or off the play area: $x $y $z"
done < <(grep '^x ' "$E2E_TMP/stdout" | tail -n +"$before" | awk '{ print $2, $4, $6 }')
# 3 seconds at 40 units a second would take her from about z 312 far past
# the edge at 338: in real time she reaches it, where the map stops her.
read -r x y z < <(last_position)
awk -v x="$x" -v z="$z" 'BEGIN { exit !(x * x + z * z >= 325 * 325) }' ||
    fail "the stalled frame was not played in real time: she stopped at $x $y $z"
echo "after the stall: $(($(frames_so_far) - before)) frames, last position $x $y $z"

hold_key Escape
wait_for_exit 30
code=$?
[ "$code" -eq 0 ] || fail "exit code $code after Esc, expected 0"
echo PASS

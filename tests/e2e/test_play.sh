#!/usr/bin/env bash
# A round without a sound device: a 3 s stall while S is held is played in real time, up to
# the world's edge; W walks forwards; each option key confirms once; a 1 x 1 window draws on
# without GL errors; she never leaves the play area; stderr is the trail and one sound line.
source "$(dirname "$0")/lib.sh" "$@"
export SDL_AUDIODRIVER=varnelo_no_such_driver  # no device on any machine
start_display
start_game "$(game_data)"
wait_for_frames 3
xdotool keydown s
sleep 0.5
kill -STOP "$GAME_PID" && sleep 3 && stopped=$(frames) && kill -CONT "$GAME_PID"
wait_for_frames $((stopped + 2))
xdotool keyup s
# She stopped near z 320. The next frame (or the one after, if the stall
# caught one half done) plays the 3 s at 40 units a second in steps of 0.1 s:
# she walks on to within 4 units of the edge at 338. Steps of a whole second
# would all overshoot, be taken back and leave her where she was.
grep '^x ' "$T/stdout" | awk -v n="$stopped" 'NR > n && NR <= n + 2 && $2 * $2 + $6 * $6 >= 330 * 330 { ok = 1 }
    END { exit !ok }' || fail "the stall was not played in real time: $(position)"

z=$(coordinate 3)
hold_key w 0.6
sleep 0.5
is_true "$(coordinate 3) < $z - 0.5" || fail "W did not walk forwards (-z): z $z -> $(coordinate 3)"
# From the start values, each past the half second after the last accepted key.
while read -r key line; do
    press_option "$key" "$line"
    sleep 0.6
    [ "$(grep -cxF "$line" "$T/stdout")" = 1 ] || fail "$key did not confirm once with: $line"
done <<'KEYS'
F7 Object count on
F8 View Frustum Culling on
F1 No help
F3 Wireframe on
F4 Texture Sampling Quality Nearest Neighbour
F5 Mip Mapping off
F6 Sound off
F9 Transparency off
F2 Framerate on
KEYS
counts() { sed -n "/^$1\$/,/^$2\$/p" "$T/stdout" | grep -xE '[0-9]+'; }
counts 'Object count on' 'View Frustum Culling on' | grep -qx 47 || fail "the view does not draw all 47 objects"
counts 'View Frustum Culling on' 'No help' | awk '$1 < 47 { n++ } END { exit !n }' ||
    fail "culling drew no fewer objects"
grep -qE '^[0-9.]+ms$' "$T/stdout" || fail "no frame-time line with the frame rate on"

window=$(xdotool search --name '^Varnelo$')
for size in "1 1" "1200 1000"; do
    xdotool windowsize "$window" $size || fail "xdotool could not resize the window to $size"
    wait_for_frames $(($(frames) + 10))
    ! grep '^Error at ' "$T/stderr" || fail "GL errors at $size"
done
quit
grep '^x ' "$T/stdout" | awk '!($2 == $2 + 0 && $4 == $4 + 0 && $6 == $6 + 0 && $2 * $2 + $6 * $6 <= 338 * 338)' |
    grep . && fail "positions not finite or off the play area"
diff <(loading_trail) <(head -n -1 "$T/stderr") || fail "the standard-error trail differs"
[[ $(tail -n 1 "$T/stderr") =~ ^Playing\ without\ sound:\ .+ ]] || fail "no line saying it plays without sound"
echo PASS

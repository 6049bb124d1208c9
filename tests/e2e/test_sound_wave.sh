#!/usr/bin/env bash
# The game's sound recorded by SDL's disk audio driver: the pick-up tone is there when she
# takes the nearest cake, not before; F6 silences the recording, F6 again brings the wind back.
source "$(dirname "$0")/lib.sh" "$@"
CAKE_X=-128 CAKE_Z=289  # the start is (0, 300); a cake is taken within 2 units in x and z
raw=$T/sound.raw
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$raw
recorded() { "$SOUND_TONE" "$raw"; }  # written in real time: the recording's clock
count() { grep -xE '[0-9]+' "$T/stdout" | tail -n 1; }  # objects drawn, with F7
level() { "$SOUND_TONE" "$raw" loudness "$(awk "BEGIN { print $1 + 0.3 }")" "$(awk "BEGIN { print $2 }")"; }
# Holds key $1 until coordinate $2 of the last frame satisfies $3 (10 s at
# most), then lets the release reach the game.
walk() {
    xdotool keydown "$1"
    for _ in $(seq 1000); do is_true "$(coordinate "$2") $3" && break; sleep 0.01; done
    xdotool keyup "$1"
    wait_for_frames $(($(frames) + 2))
}
sound_switch() {
    press_option F6 'Sound (on|off)'
    wait_for_frames $(($(frames) + 2))
    [ "$(grep -xE 'Sound (on|off)' "$T/stdout" | tail -n 1)" = "$1" ] || fail "F6 did not leave the sound at: $1"
}

start_display
start_game .
wait_for_frames 3
[ -s "$raw" ] || fail "no recording at $raw: the game did not open the disk device"
hold_key F7
# Into the cake's row: forwards (-z), then single frames either way.
walk w 3 "< $((CAKE_Z + 3))"
for _ in $(seq 40); do
    z=$(coordinate 3)
    if is_true "$z > $CAKE_Z + 1.2"; then walk w 3 "< $z"
    elif is_true "$z < $CAKE_Z - 1.2"; then walk s 3 "> $z"
    else break; fi
done
is_true "$(coordinate 3) > $CAKE_Z - 1.5 && $(coordinate 3) < $CAKE_Z + 1.5" || fail "not in the cake's row: $(position)"
[ "$(count)" = 47 ] || fail "the start view does not draw 47 objects: a cake was taken too soon?"
# Left (-x) across the cake: one object fewer is drawn from the frame she took it.
set_off=$(recorded)
xdotool keydown a
for _ in $(seq 1000); do
    [ -z "${took:-}" ] && [ "$(count)" = 46 ] && took=$(recorded)
    is_true "$(coordinate 1) < $CAKE_X - 6" && break
    sleep 0.01
done
xdotool keyup a
[ -n "${took:-}" ] || fail "she walked past the cake without taking it: $(position)"
sleep 1.5
sound_switch "Sound off" && off=$(recorded)
sleep 1.5
on_from=$(recorded)
sound_switch "Sound on" && on=$(recorded)
sleep 1.5
quit

tone=$("$SOUND_TONE" "$raw" 2093 0 1000) || fail "no pick-up tone (2093 Hz, no other sound has it) in the recording"
echo "set off at $set_off s, took the cake by $took s, pick-up tone at $tone s"
# Walking 128 units takes over 3 s: a tone within 1 s of setting off came from something else.
is_true "$tone > $set_off + 1 && $tone < $took + 0.5" || fail "the pick-up tone is not where she took the cake"
quiet=$(level "$off" "$on_from") loud=$(level "$on" "$on + 1.3")
echo "level $quiet after F6 at $off s, $loud after F6 again at $on s (full scale 1)"
is_true "$quiet < 0.0005" || fail "sound off, yet the recording goes on after $off s"
is_true "$loud > 0.005" || fail "sound on, yet the recording stays silent after $on s"
echo PASS

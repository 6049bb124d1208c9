#!/usr/bin/env bash
# The game's sound, recorded: OpenAL Soft writes to a WAV file instead of a
# device. The heroine walks from the start to the nearest cake; the pick-up's
# tone is in the recording from the moment she reached it, not before. Then
# F6 ("Sound off") silences the recording and F6 again ("Sound on") brings
# the wind back.
source "$(dirname "$0")/lib.sh" "$@"
WAV_TONE=$(readlink -f "${3:-}")
[ -x "$WAV_TONE" ] || fail "the wav_tone tool is missing (third argument)"

PICK_UP_HZ=2093           # the pick-up's top note, which no other sound has
CAKE_X=-128 CAKE_Z=289    # the cake nearest to the start (0, 300)
REACH=2                   # a cake is picked up within 2 units in x and in z

wav="$E2E_TMP/sound.wav"
cat >"$E2E_TMP/alsoft.conf" <<CONF
[general]
channels = mono
sample-type = int16
frequency = 44100
[wave]
file = $wav
CONF
export ALSOFT_CONF="$E2E_TMP/alsoft.conf" ALSOFT_DRIVERS=wave

# Seconds recorded so far. The wave back-end writes in real time, so this
# is the clock of the recording.
recorded() { "$WAV_TONE" "$wav"; }

# The last position's x (field 1) or z (field 3).
coordinate() { last_position | awk -v field="$1" '{ print $field }'; }

is_true() { awk "BEGIN { exit !($1) }"; }

# Holds a key until the coordinate passes a limit ("< 292" or "> 10"), at
# most 10 s.
hold_until() {
    local key=$1 field=$2 condition=$3
    xdotool keydown "$key"
    for _ in $(seq 1000); do
        is_true "$(coordinate "$field") $condition" && break
        sleep 0.01
    done
    xdotool keyup "$key"
}

# Holds a key for one or two frames: until a frame shows her moved.
tap() {
    local key=$1 before frames
    before=$(last_position)
    frames=$(frames_so_far)
    xdotool keydown "$key"
    for _ in $(seq 200); do
        [ "$(last_position)" != "$before" ] && break
        [ "$(frames_so_far)" -gt $((frames + 5)) ] && break
        sleep 0.005
    done
    xdotool keyup "$key"
    # Let the release reach the game before looking again.
    frames=$(frames_so_far)
    for _ in $(seq 200); do
        [ "$(frames_so_far)" -gt $((frames + 2)) ] && break
        sleep 0.01
    done
}

# Whether any position line after line number $1 of the position lines lies
# within reach of the cake.
reached_cake_since() {
    grep '^x ' "$E2E_TMP/stdout" | tail -n +"$(($1 + 1))" |
        awk -v cx="$CAKE_X" -v cz="$CAKE_Z" -v r="$REACH" '
            { dx = $2 - cx; dz = $6 - cz
              if (dx < r && -dx < r && dz < r && -dz < r) found = 1 }
            END { exit !found }'
}

start_display
start_game
wait_for_frames 3
xdotool windowfocus --sync "$(game_window)" 2>/dev/null || true
grep -q 'without sound' "$E2E_TMP/stderr" && fail "no sound: $(grep 'without sound' "$E2E_TMP/stderr")"
[ -s "$wav" ] || fail "no recording at $wav: the game did not open the wave device"

# Into the cake's row: forwards (-z) from 300 to about 289, then single
# frames forwards or backwards until she is well inside the reach in z.
hold_until w 3 "< $((CAKE_Z + 3))"
for _ in $(seq 40); do
    z=$(coordinate 3)
    if is_true "$z > $CAKE_Z + 1.2"; then
        tap w
    elif is_true "$z < $CAKE_Z - 1.2"; then
        tap s
    else
        break
    fi
done
z=$(coordinate 3)
is_true "$z > $CAKE_Z - 1.5 && $z < $CAKE_Z + 1.5" || fail "could not line up with the cake: z $z"
reached_cake_since 0 && fail "she reached the cake before walking to it"

# Left (-x) along the row, across the cake. One frame moves her at most 4
# units, less than the 4-unit-wide reach, so some frame lands within it.
set_off=$(recorded)
position_lines=$(frames_so_far)
xdotool keydown a
picked_at=""
for _ in $(seq 1000); do
    if [ -z "$picked_at" ] && reached_cake_since "$position_lines"; then
        picked_at=$(recorded)
    fi
    is_true "$(coordinate 1) < $CAKE_X - 6" && break
    sleep 0.01
done
xdotool keyup a
[ -n "$picked_at" ] || fail "she walked past the cake without reaching it: $(last_position)"
echo "set off at ${set_off} s of the recording, reached the cake by ${picked_at} s"
sleep 1.5

# Sound off: from shortly after the confirmation the recording is silent.
hold_key F6
for _ in $(seq 50); do grep -qx 'Sound off' "$E2E_TMP/stdout" && break; sleep 0.1; done
grep -qx 'Sound off' "$E2E_TMP/stdout" || fail "F6 did not confirm with 'Sound off'"
off_at=$(recorded)
sleep 1.5
on_from=$(recorded)
hold_key F6
for _ in $(seq 50); do grep -qx 'Sound on' "$E2E_TMP/stdout" && break; sleep 0.1; done
grep -qx 'Sound on' "$E2E_TMP/stdout" || fail "F6 again did not confirm with 'Sound on'"
on_at=$(recorded)
sleep 1.5

hold_key Escape
wait_for_exit 30 || fail "exit code $?"

found=$("$WAV_TONE" "$wav" "$PICK_UP_HZ" 0 1000) || fail "no pick-up sound anywhere in the recording"
echo "pick-up tone at ${found} s"
# Walking 128 units takes her over 3 s: a tone within 1 s of setting off
# came from something else. It must be there by the time she was seen at
# the cake, allowing for the recording's buffering.
is_true "$found > $set_off + 1.0" || fail "the pick-up tone at $found s, before she got near the cake (set off at $set_off s)"
is_true "$found < $picked_at + 0.5" || fail "the pick-up tone at $found s, long after the pick-up by $picked_at s"

quiet=$("$WAV_TONE" "$wav" loudness "$(awk -v t="$off_at" 'BEGIN { print t + 0.3 }')" "$on_from")
is_true "$quiet < 0.0005" || fail "sound off, yet the recording has level $quiet between $off_at s and $on_from s"
wind=$("$WAV_TONE" "$wav" loudness "$(awk -v t="$on_at" 'BEGIN { print t + 0.3 }')" "$(awk -v t="$on_at" 'BEGIN { print t + 1.3 }')")
is_true "$wind > 0.005" || fail "sound on, yet the recording stays silent after $on_at s (level $wind)"
echo PASS

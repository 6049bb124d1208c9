#!/usr/bin/env bash
# With no usable audio device the game plays a normal round without sound:
# the loading trail as always and then one line saying it plays without
# sound and why; walking, option keys (F6 included) and Esc with exit code 0.
source "$(dirname "$0")/lib.sh" "$@"
# OpenAL Soft with a back-end list naming none that exists: no device, on
# every machine.
export ALSOFT_DRIVERS=varnelo_no_such_backend ALSOFT_CONF=/dev/null
start_display
copy_game_data "$E2E_TMP/game"
start_game "$E2E_TMP/game"
wait_for_frames 3
xdotool windowfocus --sync "$(game_window)" 2>/dev/null || true

z_before=$(last_position | awk '{ print $3 }')
hold_key w 0.6
sleep 0.5
z_after=$(last_position | awk '{ print $3 }')
awk -v a="$z_before" -v b="$z_after" 'BEGIN { exit !(b < a - 0.5) }' ||
    fail "W did not walk forwards (-z): z $z_before -> $z_after"

hold_key F6
sleep 0.6
hold_key F2
sleep 0.6
hold_key F6
sleep 0.5
[ "$(grep -cxE 'Sound off|Framerate on|Sound on' "$E2E_TMP/stdout")" -eq 3 ] ||
    fail "the option keys did not confirm: $(grep -E '^(Sound|Framerate)' "$E2E_TMP/stdout" | tr '\n' '|')"

hold_key Escape
wait_for_exit 30 || fail "exit code $?"

expected=$(loading_trail)
trail=$(head -n -1 "$E2E_TMP/stderr")
if [ "$trail" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$trail")
    fail "the standard-error trail before the sound line differs"
fi
last=$(tail -n 1 "$E2E_TMP/stderr")
[[ "$last" =~ ^Playing\ without\ sound:\ .+ ]] || fail "the last line of standard error is not the sound line: $last"
echo "$last"
echo PASS

#!/usr/bin/env bash
# Keys reach the game: walking moves the heroine, option keys confirm on
# standard output and switch their console figures on.
source "$(dirname "$0")/lib.sh" "$@"
start_display
start_game
wait_for_frames 3
window=$(game_window)
xdotool windowfocus --sync "$window" 2>/dev/null || true

last_z() { grep '^x ' "$E2E_TMP/stdout" | tail -n 1 | sed 's/.*z //'; }

z_before=$(last_z)
hold_key w 0.6
sleep 0.5
z_after=$(last_z)
awk -v a="$z_before" -v b="$z_after" 'BEGIN { exit !(b < a - 0.5) }' ||
    fail "W did not walk forwards (-z): z $z_before -> $z_after"
echo "walked forwards: z $z_before -> $z_after"

hold_key F2
hold_key_after_gate() { sleep 0.6; hold_key "$1"; }
hold_key_after_gate F7
sleep 1
grep -qx 'Framerate on' "$E2E_TMP/stdout" || fail "F2 gave no confirmation"
grep -qx 'Object count on' "$E2E_TMP/stdout" || fail "F7 gave no confirmation"
grep -qE '^[0-9.]+ms$' "$E2E_TMP/stdout" || fail "no frame-time line with the frame rate on"
grep -qx '47' "$E2E_TMP/stdout" || fail "the object count of the start view is not 47"

hold_key_after_gate F6
sleep 0.5
grep -qx 'Sound off' "$E2E_TMP/stdout" || fail "F6 did not turn the sound off"

hold_key Escape
wait_for_exit 30 || fail "exit code $?"
echo PASS

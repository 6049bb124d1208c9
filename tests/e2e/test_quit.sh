#!/usr/bin/env bash
# Esc, Q and closing the window each end the game with exit code 0.
source "$(dirname "$0")/lib.sh" "$@"
start_display

for way in Escape q close; do
    start_game
    wait_for_frames 3
    if [ "$way" = close ]; then
        "$CLOSE_WINDOW" "$(game_window)" || fail "could not send the close request"
    else
        hold_key "$way"
    fi
    wait_for_exit 30
    code=$?
    [ "$code" -eq 0 ] || fail "quitting with $way gave exit code $code"
    echo "quit with $way: exit 0"
done
echo PASS

#!/usr/bin/env bash
# Pause and fullscreen on a 1600 x 1200 screen: P stops everything (two screenshots two seconds
# apart are the same, snow included, and no position lines come) and P again plays on; F11 and
# Alt+Enter fill the screen and give back the 1200 x 1000 window; Esc quits with 0 while paused.
source "$(dirname "$0")/lib.sh" "$@"
start_display 1600x1200
start_game "$(game_data)"
wait_for_frames 3
window=$(xdotool search --name '^Varnelo$')
shot() { import -window root "$T/$1.png" || fail "no screenshot $1"; }
differing() { compare -metric AE "$T/$1.png" "$T/$2.png" null: 2>&1; }
# Presses a key (alt+Return: a chord) once, held 0.2 s: the game acts on the press, not on each frame.
press() { xdotool keydown "$1" && sleep 0.2 && xdotool keyup "$1"; }
size() { xdotool getwindowgeometry "$window" | awk '/Geometry:/ { print $2 }'; }
# Mean brightness (0..1) of a width x height+x+y part of a screenshot.
brightness() { convert "$T/$1.png" -crop "$2" +repage -colorspace Gray -format '%[fx:mean]' info:; }
wait_for_size() {
    for _ in $(seq 50); do [ "$(size)" = "$1" ] && return 0; sleep 0.1; done
    fail "the window is $(size), not $1"
}

press p
sleep 1
stopped=$(frames)
shot paused1
sleep 2
shot paused2
[ "$(frames)" = "$stopped" ] || fail "position lines went on while paused: $stopped -> $(frames)"
[ "$(differing paused1 paused2)" = 0 ] || fail "the paused picture changed: $(differing paused1 paused2) pixels"
press p
wait_for_frames $((stopped + 5))
sleep 1
shot playing
[ "$(differing paused2 playing)" != 0 ] || fail "the picture stood still after P again"

corner=400x200+1200+1000  # outside the 1200 x 1000 window, inside the screen
shot windowed
press F11
wait_for_size 1600x1200
wait_for_frames $(($(frames) + 5))
shot fullscreen
is_true "$(brightness fullscreen $corner) > 0.1" || fail "the corner stays dark in fullscreen: $(brightness fullscreen $corner)"
[ "$(differing windowed fullscreen)" != 0 ] || fail "the screen did not change with F11"
press F11
wait_for_size 1200x1000
press alt+Return
wait_for_size 1600x1200
press alt+Return
wait_for_size 1200x1000
wait_for_frames $(($(frames) + 5))
! grep '^Error at ' "$T/stderr" || fail "GL errors around fullscreen"

press p
sleep 0.5
quit
echo PASS

# End-to-end helpers: a private Xvfb, the game with its output in $T/stdout and $T/stderr,
# keys held with xdotool, waits that fail showing the game's last words.
# Usage: source lib.sh "$@"   (the game, close_window and sound_tone binaries)
set -uo pipefail
VARNELO=$(readlink -f "$1") CLOSE_WINDOW=$(readlink -f "${2:-}") SOUND_TONE=$(readlink -f "${3:-}")
T=$(mktemp -d) GAME_PID="" XVFB_PID=""
trap 'kill $GAME_PID $XVFB_PID 2>/dev/null; wait; chmod -R u+w "$T"; rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; tail -n 15 "$T/stderr" 2>/dev/null; exit 1; }
is_true() { awk "BEGIN { exit !($*) }"; }

# -displayfd picks a free display without races. $1: the screen's size (default 1200x1000).
start_display() {
    Xvfb -displayfd 3 -screen 0 "${1:-1200x1000}x24" -nolisten tcp 3>"$T/display" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$T/display" ] && break; sleep 0.05; done
    [ -s "$T/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$T/display")"
}
# Prints the path of a fresh copy of the game's data, for a test to change.
game_data() { local d; d=$(mktemp -d "$T/game.XXXXXX") && cp -r Shaders Models "$d" && echo "$d"; }
# Starts the game (or the command given) in directory $1.
start_game() {
    (cd "$1" && shift && exec "${@:-$VARNELO}") </dev/null >"$T/stdout" 2>"$T/stderr" &
    GAME_PID=$!
}

# Every frame prints the heroine's position "x X   y Y   z Z".
frames() { grep -c '^x ' "$T/stdout"; }
position() { grep '^x ' "$T/stdout" | tail -n 1 | awk '{ print $2, $4, $6 }'; }
coordinate() { position | awk -v field="$1" '{ print $field }'; }  # 1 x, 3 z
# Waits until $1 frames in all ran, then gives the window the keyboard.
wait_for_frames() {
    for _ in $(seq 600); do
        [ "$(frames)" -ge "$1" ] && { xdotool search --name '^Varnelo$' windowfocus 2>/dev/null; return 0; }
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before running $1 frames"
        sleep 0.1
    done
    fail "fewer than $1 frames after 60 s"
}
# Holds a key $2 seconds (default 0.2) and until two frames began after it
# went down: the game looks at the keys once a frame.
hold_key() {
    local after=$(($(frames) + 2))
    xdotool keydown "$1" && sleep "${2:-0.2}"
    for _ in $(seq 100); do [ "$(frames)" -ge $after ] && break; sleep 0.05; done
    xdotool keyup "$1"
}
# Holds option key $1 until standard output gains one more line matching the
# pattern $2 (10 s at most), then lets go: held on over slow frames (a busy
# machine) the key would be taken again after its half second.
press_option() {
    local before
    before=$(grep -cxE -- "$2" "$T/stdout")
    xdotool keydown "$1"
    for _ in $(seq 1000); do [ "$(grep -cxE -- "$2" "$T/stdout")" -gt "$before" ] && break; sleep 0.01; done
    xdotool keyup "$1"
}
# Waits for the game to end by itself and fails unless its exit code is $1.
expect_exit() {
    for ((n = 0; n < 300; n++)); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
    [ $n -lt 300 ] || fail "the game did not end within 30 s"
    wait "$GAME_PID"
    local code=$?
    GAME_PID=""
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}
# Holds Esc (or key $1) until the game ends with 0.
quit() { xdotool keydown "${1:-Escape}" && expect_exit 0 && xdotool keyup "${1:-Escape}"; }
expect_line() { grep -qxF -- "$1" "$T/${2:-stderr}" || fail "${2:-stderr} lacks the line: $1"; }
loading_trail() {
    printf '%s\n' "window openend" "shader load, snow:" "load shader with GS" "compile VS" "compile GS" \
        "load shader with GS done" "shader load, snow2:" "models loaded, 1" "before load textures " \
        "after load textures 1 " "after load textures "
}

# Shared helpers of the end-to-end tests: a private Xvfb per test, the game
# started in it, keys held with xdotool, and checks on exit codes and output.
# Usage in a test: source lib.sh "$@"   (arguments: varnelo binary, close_window tool)
set -uo pipefail

VARNELO=$(readlink -f "$1")
CLOSE_WINDOW=$(readlink -f "${2:-}")
E2E_TMP=$(mktemp -d)
GAME_PID=""
XVFB_PID=""

fail() {
    echo "FAIL: $*"
    [ -f "$E2E_TMP/stderr" ] && { echo "--- stderr (tail)"; tail -n 20 "$E2E_TMP/stderr"; }
    exit 1
}

cleanup() {
    [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    chmod -R u+w "$E2E_TMP" 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap cleanup EXIT

# Starts a private X server; -displayfd picks a free display without races.
start_display() {
    Xvfb -displayfd 3 -screen 0 1200x1000x24 -nolisten tcp 3>"$E2E_TMP/display" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -s "$E2E_TMP/display" ] && break
        sleep 0.05
    done
    [ -s "$E2E_TMP/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$E2E_TMP/display")"
    export LIBGL_ALWAYS_SOFTWARE=1
}

# Starts the game in directory $1 (default: the repository root, the cwd).
start_game() {
    local dir=${1:-.}
    (cd "$dir" && exec "$VARNELO") >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
    GAME_PID=$!
}

# Waits until the game runs frames (it prints its position every frame).
wait_for_frames() {
    local count=${1:-5}
    for _ in $(seq 600); do
        [ "$(grep -c '^x ' "$E2E_TMP/stdout" 2>/dev/null)" -ge "$count" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended before running $count frames"
        sleep 0.1
    done
    fail "no frames after 60 s"
}

game_window() { xdotool search --name '^Varnelo$' | head -n 1; }

# Holds a key long enough to span several frames, then lets it go.
hold_key() {
    local key=$1 seconds=${2:-0.2}
    xdotool keydown "$key"
    sleep "$seconds"
    xdotool keyup "$key"
}

# Waits for the game to end and returns its exit code.
wait_for_exit() {
    local seconds=${1:-30}
    for _ in $(seq $((seconds * 10))); do
        kill -0 "$GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$GAME_PID" 2>/dev/null; then
        fail "the game did not end within $seconds s"
    fi
    wait "$GAME_PID"
    local code=$?
    GAME_PID=""
    return $code
}

# Copies the game's data folders into $1, so a test can change them freely
# and the game writes terrain.bmp there.
copy_game_data() {
    mkdir -p "$1"
    cp -r Shaders Models "$1/"
}

frames_so_far() { grep -c '^x ' "$E2E_TMP/stdout"; }

# Copies the game's data folders (Shaders/, Models/) into a fresh directory
# of this test and prints its path; tests break their own copy.
game_data_copy() {
    local dir
    dir=$(mktemp -d "$E2E_TMP/game.XXXXXX")
    cp -r Shaders Models "$dir"/ || fail "could not copy the game data"
    echo "$dir"
}

# Plays in directory $1 until $2 frames (default 5) ran, quits with Esc and
# expects exit code 0.
play_and_quit() {
    local dir=$1 frames=${2:-5}
    start_game "$dir"
    wait_for_frames "$frames"
    hold_key Escape
    wait_for_exit 30
    local code=$?
    [ "$code" -eq 0 ] || fail "exit code $code after Esc, expected 0"
}

# Runs the game in directory $1 until it ends by itself; returns its exit code.
run_to_exit() {
    local dir=$1
    start_game "$dir"
    wait_for_exit "${2:-30}"
}

# Fails unless standard error (or $2: stdout) holds the exact line $1.
expect_line() {
    local line=$1 stream=${2:-stderr}
    grep -qxF -- "$line" "$E2E_TMP/$stream" || fail "$stream lacks the line: $line"
}

# The last position line "x X   y Y   z Z" as "X Y Z".
last_position() {
    grep '^x ' "$E2E_TMP/stdout" | tail -n 1 | awk '{ print $2, $4, $6 }'
}

# The loading trail a clean start writes on standard error, line by line.
loading_trail() {
    printf '%s\n' "window openend" "shader load, snow:" "load shader with GS" "compile VS" "compile GS" \
        "load shader with GS done" "shader load, snow2:" "models loaded, 1" "before load textures " \
        "after load textures 1 " "after load textures "
}

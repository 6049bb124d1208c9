#!/usr/bin/env bash
# The Windows zip under Wine beside the Linux build: unzipped into an empty folder, varnelo.exe opens the
# window "Varnelo", writes the Linux build's loading trail line for line and the same terrain.bmp byte for
# byte, draws the scene and the icon row as the Linux build does, and ends with 0 on Esc. Without an audio
# device it says so in one line and plays on; without a display it fails as the Linux build does.
# Usage (from the repository root, on a display-less machine; scripts/test.sh runs it):
#   tests/windows/test_wine_zip.sh ZIP LINUX_GAME
# The screenshots stay in build-windows/shots/ for a person to look at.
zip=$(readlink -f "$1")
source "$(dirname "$0")/../e2e/lib.sh" "$2"
source "$(dirname "$0")/wine_env.sh"
unset WINEPATH  # the zip's game finds its DLLs in its own folder, or the test fails
trap 'kill $GAME_PID 2>/dev/null; wineserver -k 2>/dev/null; kill $XVFB_PID 2>/dev/null; wait
    chmod -R u+w "$T"; rm -rf "$T"' EXIT
shots=$PWD/build-windows/shots
mkdir -p "$shots"
# Every game gets a sound device that plays into nothing, on both platforms.
export SDL_AUDIODRIVER=dummy

# Room for the window's frame too: Windows shrinks a window that does not fit on the screen.
start_display 1280x1024
wine_ready || fail "wineboot could not make the prefix $WINEPREFIX"

# The window's picture, cut from a screenshot of the whole screen: $1 the file.
window_shot() {
    local id geometry
    id=$(xdotool search --name '^Varnelo$' | head -n 1)
    geometry=$(xdotool getwindowgeometry --shell "$id") || fail "no geometry for the window"
    eval "$geometry"
    import -window root "$T/root.png" || fail "import could not take a screenshot"
    convert "$T/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}
# The loading trail: standard error without Windows' carriage returns.
trail() { tr -d '\r' <"$1"; }
# Plays a few frames in folder $1 with the command after it, then quits with Esc; keeps the window's
# picture in $shots/$2.png and the output in $T/$2.stdout and $T/$2.stderr.
play_and_quit() {
    local dir=$1 name=$2
    shift 2
    start_game "$dir" "$@"
    wait_for_frames 20
    window_shot "$shots/$name.png"
    quit
    cp "$T/stdout" "$T/$name.stdout" && cp "$T/stderr" "$T/$name.stderr"
}

linux=$(game_data)
play_and_quit "$linux" linux

windows=$T/unzipped
mkdir "$windows" && (cd "$windows" && unzip -q "$zip") || fail "cannot unzip $zip"
[ -z "$(find "$windows" -name terrain.bmp)" ] || fail "the zip carries a terrain.bmp"
play_and_quit "$windows" windows wine varnelo.exe

diff <(trail "$T/linux.stderr") <(trail "$T/windows.stderr") || fail "the standard-error trail differs from Linux's"
# Standard output up to the first frame: the models' mesh counts and the height-map slice.
before_frames() { tr -d '\r' <"$1" | sed '/^x /,$d'; }
diff <(before_frames "$T/linux.stdout") <(before_frames "$T/windows.stdout") >/dev/null ||
    fail "the loading output on standard output differs from Linux's"
cmp "$linux/terrain.bmp" "$windows/terrain.bmp" || fail "terrain.bmp differs from the Linux build's"

# The scene and the icon row: pixels more than 15 % apart from the Linux build's picture, over the window
# (snow and the ghosts move on with the clock: about 0.01 % here) and over the icon row at the top left
# (only snow moves there).
differing() {  # $1 geometry to cut (empty: whole window); prints the share of differing pixels in percent
    local crop=()
    [ -n "$1" ] && crop=(-crop "$1" +repage)
    convert "$shots/linux.png" "${crop[@]}" "$T/a.png" && convert "$shots/windows.png" "${crop[@]}" "$T/b.png"
    local size count
    size=$(identify -format '%w %h' "$T/a.png" | awk '{ print $1 * $2 }')
    count=$(compare -metric AE -fuzz 15% "$T/a.png" "$T/b.png" null: 2>&1) || [ -n "$count" ] ||
        fail "compare could not compare the pictures"
    awk -v c="${count%% *}" -v s="$size" 'BEGIN { printf "%.2f\n", 100 * c / s }'
}
[ "$(identify -format '%wx%h' "$shots/windows.png")" = "$(identify -format '%wx%h' "$shots/linux.png")" ] ||
    fail "the window is $(identify -format '%wx%h' "$shots/windows.png"), Linux's $(identify -format '%wx%h' "$shots/linux.png")"
scene=$(differing "")
icons=$(differing 740x90+0+0)
echo "differing pixels: window $scene %, icon row $icons %"
is_true "$scene < 0.5" || fail "the window's picture differs from Linux's in $scene % of its pixels"
is_true "$icons < 3" || fail "the icon row differs from Linux's in $icons % of its pixels"

# No audio device: one line says so, after the trail, and the game plays on.
SDL_AUDIODRIVER=varnelo_no_such_driver start_game "$windows" wine varnelo.exe
wait_for_frames 20
first=$(frames)
wait_for_frames $((first + 20))
[ "$(grep -c '^Playing without sound: ' "$T/stderr")" = 1 ] || fail "expected one 'Playing without sound' line"
diff <(trail "$T/linux.stderr") <(trail "$T/stderr" | grep -v '^Playing without sound: ') >/dev/null ||
    fail "without sound the rest of the trail differs"
quit

# No display (as without an OpenGL 3.2 driver): the line and exit code 1, as on Linux. Last: a
# wineserver that started without a display would keep later games from opening a window.
(unset DISPLAY; cd "$windows" && exec wine varnelo.exe) </dev/null >"$T/stdout" 2>"$T/stderr"
code=$?
[ $code = 1 ] || fail "without a display: exit code $code, expected 1"
# A Windows console writes its lines ended by CR LF.
trail "$T/stderr" | grep -qxF "Failed to initialize OpenGL window." || fail "without a display: no window line"
echo PASS

#!/usr/bin/env bash
# The packaged launcher, run from the unpacked package with a scratch HOME:
# the game starts in the player's own folder ($XDG_DATA_HOME/varnelo, by
# default ~/.local/share/varnelo) with links to the installed data, opens its
# window, writes terrain.bmp there and nowhere else, and quits with 0 on Esc;
# stale links are replaced; the game's exit code passes through; a folder
# that cannot be written gives one clear line on stderr and exit code 1.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/package_lib.sh"

make_package
root=$E2E_TMP/root
unpack_package "$root"
launcher=$root/usr/games/varnelo
game=$root/usr/lib/games/varnelo/varnelo
data=$root/usr/share/games/varnelo
elsewhere=$E2E_TMP/elsewhere  # where the player happens to be
mkdir -p "$elsewhere"

# Starts the launcher from $elsewhere with HOME $1 and XDG_DATA_HOME $2
# ("-" leaves it unset), as lib.sh's start_game starts the game.
start_launcher() {
    local home=$1 xdg=$2
    (
        cd "$elsewhere" || exit 99
        export HOME=$home
        if [ "$xdg" = - ]; then unset XDG_DATA_HOME; else export XDG_DATA_HOME=$xdg; fi
        exec "$launcher"
    ) >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr" &
    GAME_PID=$!
}

# Plays until frames run in folder $1, checks that the launcher became the
# game there and that the window is open, quits with Esc and expects 0.
play_through_launcher() {
    local folder=$1
    wait_for_frames 3
    [ "$(readlink "/proc/$GAME_PID/exe")" = "$game" ] || fail "the launcher did not exec the game"
    [ "$(readlink "/proc/$GAME_PID/cwd")" = "$folder" ] || fail "the game runs in $(readlink "/proc/$GAME_PID/cwd")"
    [ -n "$(game_window)" ] || fail "no window titled Varnelo"
    hold_key Escape
    wait_for_exit 30
    local code=$?
    [ "$code" -eq 0 ] || fail "exit code $code after Esc, expected 0"
}

# The folder $1 links Shaders/ and Models/ of the unpacked package and holds
# the terrain.bmp just written.
expect_player_folder() {
    local folder=$1 name
    for name in Shaders Models; do
        [ -L "$folder/$name" ] || fail "$folder/$name is not a link"
        [ "$(readlink "$folder/$name")" = "$data/$name" ] || fail "$folder/$name points to $(readlink "$folder/$name")"
    done
    [ -f "$folder/terrain.bmp" ] || fail "no terrain.bmp in $folder"
    [ "$(head -c 2 "$folder/terrain.bmp")" = BM ] || fail "$folder/terrain.bmp is not a BMP"
}

# terrain.bmp was written nowhere but in the player's folder.
expect_no_stray_terrain() {
    local stray
    stray=$(find "$root" "$elsewhere" -name terrain.bmp)
    [ -z "$stray" ] || fail "terrain.bmp written outside the player's folder: $stray"
}

start_display

# 1. XDG_DATA_HOME empty: ~/.local/share/varnelo, made from nothing.
home=$E2E_TMP/home
mkdir -p "$home"
start_launcher "$home" ""
play_through_launcher "$home/.local/share/varnelo"
expect_player_folder "$home/.local/share/varnelo"
expect_no_stray_terrain
echo "empty XDG_DATA_HOME: played in ~/.local/share/varnelo, window open, terrain.bmp there, Esc gave 0"

# 2. XDG_DATA_HOME set, its folder holding links to an older install.
xdg=$E2E_TMP/xdg
mkdir -p "$xdg/varnelo"
ln -s "$E2E_TMP/old/Shaders" "$xdg/varnelo/Shaders"
ln -s "$E2E_TMP/old/Models" "$xdg/varnelo/Models"
rm "$home/.local/share/varnelo/terrain.bmp"
start_launcher "$home" "$xdg"
play_through_launcher "$xdg/varnelo"
expect_player_folder "$xdg/varnelo"
[ ! -e "$home/.local/share/varnelo/terrain.bmp" ] || fail "with XDG_DATA_HOME set, the game wrote into ~/.local/share"
expect_no_stray_terrain
[ -z "$(find "$xdg/varnelo" -name '.*')" ] || fail "the launcher left temporary links behind"
echo "XDG_DATA_HOME set: played in \$XDG_DATA_HOME/varnelo, stale links replaced"

# 3. The game's own exit code comes through: without a display it exits 1.
# A relative XDG_DATA_HOME is ignored, as if unset.
home2=$E2E_TMP/home2
mkdir -p "$home2"
(unset DISPLAY WAYLAND_DISPLAY; start_launcher "$home2" relative/data; wait_for_exit 30)
code=$?
[ "$code" -eq 1 ] || fail "without a display the launcher gave $code, expected the game's 1"
expect_line "Failed to initialize OpenGL window."
[ -L "$home2/.local/share/varnelo/Models" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ ! -e "$elsewhere/relative" ] || fail "the launcher used the relative XDG_DATA_HOME"
echo "no display: the game's exit code 1 came through; relative XDG_DATA_HOME ignored"

# 4. Folders that cannot be written: one line on stderr, exit code 1, and no
# game. Root writes through permissions, so as root the launcher runs as nobody.
as_player=()
if [ "$(id -u)" -eq 0 ]; then
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$E2E_TMP"
fi
# Runs the launcher with HOME $1 (XDG_DATA_HOME unset) and expects the
# refusal line $2.
expect_refusal() {
    local home=$1 line=$2 code
    (cd / && env -u XDG_DATA_HOME HOME="$home" "${as_player[@]}" "$launcher") \
        >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
    code=$?
    [ "$code" -eq 1 ] || fail "HOME $home: exit code $code, expected 1"
    [ "$(wc -l <"$E2E_TMP/stderr")" -eq 1 ] || fail "HOME $home: expected one line on stderr"
    expect_line "$line"
    [ ! -s "$E2E_TMP/stdout" ] || fail "HOME $home: the game started"
}

readonly_home=$E2E_TMP/readonly
mkdir -p "$readonly_home"
chmod 555 "$readonly_home"
expect_refusal "$readonly_home" "varnelo: cannot write $readonly_home/.local/share/varnelo"
echo "read-only HOME: $(cat "$E2E_TMP/stderr"), exit 1"

readonly_folder=$E2E_TMP/home3
mkdir -p "$readonly_folder/.local/share/varnelo"
chmod -R 755 "$readonly_folder"
chmod 555 "$readonly_folder/.local/share/varnelo"
expect_refusal "$readonly_folder" "varnelo: cannot write $readonly_folder/.local/share/varnelo"
echo "read-only player folder: refused the same way"

in_the_way=$E2E_TMP/home4
mkdir -p "$in_the_way/.local/share/varnelo/Shaders"
chmod -R 777 "$in_the_way"
expect_refusal "$in_the_way" \
    "varnelo: cannot link $in_the_way/.local/share/varnelo/Shaders: something else is in the way, move it aside"
[ -d "$in_the_way/.local/share/varnelo/Shaders" ] || fail "the launcher removed the player's own Shaders/"
echo "a folder in place of a link: left alone, refused"

expect_refusal "" "varnelo: cannot find the home folder: HOME is not an absolute path"
echo "no HOME: refused"
echo PASS

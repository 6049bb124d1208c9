#!/usr/bin/env bash
# The Debian package: lintian, its exact files, data and Depends, the menu entry and icons.
# Its launcher with scratch homes: the game plays in the player's own folder linking the
# installed data; stale links are replaced; a folder it cannot use gives one line and 1.
source "$(dirname "$0")/lib.sh" "$@"
cpack --config "$(dirname "$VARNELO")/CPackConfig.cmake" -G DEB -B "$T/package" >"$T/cpack.log" 2>&1 ||
    fail "cpack could not make the package: $(tail -n 5 "$T/cpack.log")"
deb=$(echo "$T"/package/*.deb)
[ -f "$deb" ] || fail "cpack made no single .deb"
lintian --fail-on error "$deb" || fail "lintian reports errors"
root=$T/root data=/usr/share/games/varnelo game=/usr/lib/games/varnelo/varnelo
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack the package"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6, $1, $2 }' | sort >"$T/contents"
{
    printf '%s -rwxr-xr-x root/root\n' /usr/games/varnelo $game
    printf '%s -rw-r--r-- root/root\n' /usr/share/applications/varnelo.desktop /usr/share/man/man6/varnelo.6.gz \
        /usr/share/doc/varnelo/{copyright,changelog.gz} \
        /usr/share/icons/hicolor/{48x48,128x128,256x256}/apps/varnelo.png \
        $(printf "$data/%s " Shaders/* Models/*.dae Models/*.tga)
} | sort | diff - "$T/contents" || fail "the package's files, modes or owners differ (< expected, > packed)"
(cd "$root$data" && md5sum Shaders/* Models/*.dae Models/*.tga) | md5sum -c --quiet || fail "the packaged data differ"
cmp -s packaging/varnelo.sh "$root/usr/games/varnelo" || fail "the packaged launcher is not packaging/varnelo.sh"

[ "$(dpkg-deb -f "$deb" Package Section Architecture | tr '\n' ' ')" = \
    "Package: varnelo Section: games Architecture: $(dpkg --print-architecture) " ] || fail "wrong control fields"
dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | awk 'NF { print $1 }' >"$T/depends"
needed=$(readelf -d "$root$game" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
for soname in $needed; do
    package=$(dpkg -S "*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)
    grep -qxF "${package:-?}" "$T/depends" || fail "Depends lacks ${package:-the package} holding $soname"
done

desktop=$root/usr/share/applications/varnelo.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects varnelo.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
[[ ";$(entry Categories)" == *";Game;"* ]] || fail "the menu entry is not in the Game category"
[ -x "$root/usr/games/$(entry Exec | awk '{ print $1 }')" ] || fail "the menu entry does not run /usr/games/varnelo"
# The icon: the overlay's bright cake (cakeIcon.tga, on black; the others differ by 0.15 and more).
for size in 48 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$(entry Icon).png
    [ "$(identify -format '%w %h %[fx:p{0,0}.a]' "$png")" = "$size $size 0" ] || fail "$size icon: size or corner"
    convert "$png" -background black -flatten -alpha off "$T/icon.png"
    convert Models/cakeIcon.tga -auto-orient -filter box -resize "${size}x${size}!" "$T/cake.png"
    rmse=$(compare -metric RMSE "$T/icon.png" "$T/cake.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    is_true "$rmse < 0.03" || fail "the $size icon is not the cake icon (RMSE $rmse)"
done

launcher=$root/usr/games/varnelo elsewhere=$T/elsewhere  # where the player happens to be
mkdir -p "$elsewhere" "$T/home" "$T/home2" "$T/xdg/varnelo" "$T/h1" "$T/h2/.local/share/varnelo" \
    "$T/h3/.local/share/varnelo/Shaders"
# Folder $1 links the installed data, replacing what was there, and keeps no
# temporary links.
links_in() {
    for name in Shaders Models; do
        [ "$(readlink "$1/$name")" = "$root$data/$name" ] || fail "$1/$name is no link to the installed $name"
    done
    [ -z "$(find "$1" -name '.*')" ] || fail "temporary links left in $1"
}
start_display
start_game "$elsewhere" env HOME="$T/home" XDG_DATA_HOME= "$launcher"
wait_for_frames 3
[ "$(readlink /proc/$GAME_PID/exe)" = "$root$game" ] || fail "the launcher did not exec the game"
[ "$(readlink /proc/$GAME_PID/cwd)" = "$T/home/.local/share/varnelo" ] || fail "the game runs in the wrong folder"
quit
links_in "$T/home/.local/share/varnelo"
[ "$(find "$root" "$T/elsewhere" "$T/home" -name terrain.bmp)" = "$T/home/.local/share/varnelo/terrain.bmp" ] ||
    fail "terrain.bmp is not in the player's folder alone"

# Without a display, so that the game ends at once with 1. Root writes
# through permissions: as root the launcher runs as nobody.
as_player=()
[ "$(id -u)" != 0 ] || { as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups) && chmod 755 "$T"; }
ln -s "$T/old/Shaders" "$T/xdg/varnelo/Shaders" && ln -s "$T/old/Models" "$T/xdg/varnelo/Models"
chmod -R a+rwX "$T/xdg" "$T/home2" "$T/h3" && chmod 555 "$T/h1" "$T/h2/.local/share/varnelo"
while IFS='|' read -r home xdg line folder; do
    (cd / && unset DISPLAY && exec env HOME="$home" XDG_DATA_HOME="$xdg" "${as_player[@]}" "$launcher") \
        </dev/null >"$T/stdout" 2>"$T/stderr"
    code=$?
    [ "$code" = 1 ] && [ "$(cat "$T/stderr")" = "$line" ] && [ ! -s "$T/stdout" ] ||
        fail "HOME '$home', XDG_DATA_HOME '$xdg': exit code $code, expected 1 and only the line: $line"
    [ -z "$folder" ] || links_in "$folder"
done <<LINES
$T/home2|$T/xdg|Failed to initialize OpenGL window.|$T/xdg/varnelo
$T/home2|relative/data|Failed to initialize OpenGL window.|$T/home2/.local/share/varnelo
$T/h1||varnelo: cannot write $T/h1/.local/share/varnelo|
$T/h2||varnelo: cannot write $T/h2/.local/share/varnelo|
$T/h3||varnelo: cannot link $T/h3/.local/share/varnelo/Shaders: something else is in the way, move it aside|
||varnelo: cannot find the home folder: HOME is not an absolute path|
LINES
[ -d "$T/h3/.local/share/varnelo/Shaders" ] || fail "the launcher removed the player's own Shaders/"
echo PASS

#!/bin/sh
# Starts Varnelo from the menu or a terminal. The game reads Shaders/ and
# Models/ from its working directory and writes terrain.bmp there, so it runs
# in the player's own folder ($XDG_DATA_HOME/varnelo, by default
# ~/.local/share/varnelo), which links the installed data folders. The paths
# of the installed files are found from this script's own place, so an
# unpacked package tree works as well as the installed one.
set -u

fail() {
    echo "varnelo: $*" >&2
    exit 1
}

self=$(readlink -f -- "$0") || fail "cannot find where the launcher is installed"
prefix=$(dirname -- "$(dirname -- "$self")")
game=$prefix/lib/games/varnelo/varnelo
data=$prefix/share/games/varnelo
[ -x "$game" ] || fail "cannot find the game at $game"
if [ ! -d "$data/Shaders" ] || [ ! -d "$data/Models" ]; then
    fail "cannot find the game's data in $data"
fi

# Relative or empty values are to be ignored, as for an unset variable.
case ${XDG_DATA_HOME:-} in
    /*) base=$XDG_DATA_HOME ;;
    *)
        case ${HOME:-} in
            /*) base=$HOME/.local/share ;;
            *) fail "cannot find the home folder: HOME is not an absolute path" ;;
        esac
        ;;
esac
dir=$base/varnelo

if ! mkdir -p -- "$dir" 2>/dev/null || [ ! -w "$dir" ] || [ ! -x "$dir" ]; then
    fail "cannot write $dir"
fi

# Links to the installed data, replaced when they point anywhere else (an
# older install, a moved tree). The new link is made beside the old one and
# renamed over it, so two starts at once never see it missing.
for name in Shaders Models; do
    link=$dir/$name
    [ -L "$link" ] && [ "$(readlink -- "$link")" = "$data/$name" ] && continue
    if [ -e "$link" ] && [ ! -L "$link" ]; then
        fail "cannot link $link: something else is in the way, move it aside"
    fi
    partial=$dir/.$name.$$
    if ! ln -sfn -- "$data/$name" "$partial" 2>/dev/null || ! mv -fT -- "$partial" "$link" 2>/dev/null; then
        rm -f -- "$partial"
        fail "cannot write $link"
    fi
done

cd -- "$dir" 2>/dev/null || fail "cannot enter $dir"
exec "$game" "$@"

#!/usr/bin/env bash
# The Debian package: lintian finds no errors; it holds exactly the game, the
# launcher, the data folders, the menu entry, icons, manual page and docs, in
# their places and with their modes; it depends on the package of every
# library the game links; the menu entry is valid and its command and icon
# are in the package; the icons are the overlay's cake at 48, 128 and 256.
source "$(dirname "$0")/lib.sh" "$@"
source "$(dirname "$0")/package_lib.sh"

make_package
echo "package: $(basename "$DEB")"

# Lintian: errors fail the test; its remaining tags are shown.
lintian --fail-on error "$DEB" >"$E2E_TMP/lintian" 2>/dev/null
code=$?
cat "$E2E_TMP/lintian"
[ "$code" -eq 0 ] || fail "lintian reports errors"
echo "lintian: no errors ($(grep -c '^W: ' "$E2E_TMP/lintian") warnings)"

# Every file and link (not directory) in the package, with mode and owner.
dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sed 's| \./| /|' | sort -k3 >"$E2E_TMP/contents"
awk '{ print $3 }' "$E2E_TMP/contents" >"$E2E_TMP/files"
data=/usr/share/games/varnelo
{
    printf '%s\n' /usr/games/varnelo /usr/lib/games/varnelo/varnelo \
        /usr/share/applications/varnelo.desktop /usr/share/man/man6/varnelo.6.gz \
        /usr/share/doc/varnelo/copyright /usr/share/doc/varnelo/changelog.gz
    for size in 48 128 256; do echo "/usr/share/icons/hicolor/${size}x${size}/apps/varnelo.png"; done
    for file in Shaders/*; do echo "$data/$file"; done
    for file in Models/*.dae Models/*.tga; do echo "$data/$file"; done
} | sort >"$E2E_TMP/expected"
[ "$(grep -c "^$data/Models/" "$E2E_TMP/expected")" -ge 10 ] || fail "Models/ is not generated: build first"
diff "$E2E_TMP/expected" "$E2E_TMP/files" >"$E2E_TMP/diff" ||
    fail "the package's files differ from the expected list (< missing, > extra):
$(cat "$E2E_TMP/diff")"
echo "files: $(wc -l <"$E2E_TMP/files"), as expected"

while read -r mode owner path; do
    [ "$owner" = root/root ] || fail "$path belongs to $owner, not root/root"
    case $path in
        /usr/games/varnelo | /usr/lib/games/varnelo/varnelo) want=-rwxr-xr-x ;;
        *) want=-rw-r--r-- ;;
    esac
    [ "$mode" = "$want" ] || fail "$path has mode $mode, expected $want"
done <"$E2E_TMP/contents"
echo "modes and owners: the game and the launcher 0755, the rest 0644, all root/root"

# The control fields, and a Depends that names the package of every shared
# library the game links directly.
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = varnelo ] || fail "Package is '$(field Package)'"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)', expected games"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
depends=$(field Depends)
echo "Depends: $depends"
# The package names alone, one a line (alternatives "a | b" split too).
tr ',|' '\n\n' <<<"$depends" | awk 'NF { print $1 }' >"$E2E_TMP/depends"
root=$E2E_TMP/root
unpack_package "$root"
game=$root/usr/lib/games/varnelo/varnelo
mapfile -t needed < <(readelf -d "$game" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ ${#needed[@]} -ge 5 ] || fail "readelf found only ${#needed[@]} linked libraries in the game"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for soname in "${needed[@]}"; do
    package=$(dpkg -S "*/$multiarch/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)
    [ -n "$package" ] || fail "no installed package holds $soname"
    grep -qxF "$package" "$E2E_TMP/depends" || fail "Depends lacks $package, which holds $soname"
done
for library in 'libglfw3' 'libglew[0-9.]+' 'libassimp[0-9]+'; do
    grep -qxE "$library" "$E2E_TMP/depends" || fail "Depends lacks $library"
done
echo "Depends: covers all ${#needed[@]} linked libraries"

# Nothing architecture-dependent under /usr/share, and the game is stripped.
while IFS= read -r -d '' file; do
    file -b "$file" | grep -q '^ELF' && fail "an ELF file under /usr/share: ${file#"$root"}"
done < <(find "$root/usr/share" -type f -print0)
file -b "$game" | grep -q ', stripped' || fail "the packaged game is not stripped"

# The shipped data are the tree's own files, byte for byte, and the launcher is ours.
diff -r Shaders "$root$data/Shaders" >/dev/null || fail "the packaged Shaders/ differ from the tree's"
for file in Models/*.dae Models/*.tga; do
    cmp -s "$file" "$root$data/$file" || fail "the packaged $file differs from the tree's"
done
cmp -s packaging/varnelo.sh "$root/usr/games/varnelo" || fail "the packaged launcher is not packaging/varnelo.sh"

# The menu entry: valid, a game, starting the packaged launcher, with its icon.
desktop=$root/usr/share/applications/varnelo.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects varnelo.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
grep -qE '(^|;)Game;' <<<"$(entry Categories)" || fail "the menu entry is not in the Game category"
command=$(entry Exec | awk '{ print $1 }')
[ -x "$root/usr/games/$command" ] || fail "the menu entry runs '$command', which is not /usr/games/varnelo"
icon=$(entry Icon)
echo "desktop entry: valid, Exec=$command, Icon=$icon, Categories=$(entry Categories)"

# The icons: the right size, transparent around the cake, and the same
# picture as the overlay's bright cake (Models/cakeIcon.tga, which shows the
# picture on black). The other two cake icons differ from it by 0.15 and more.
for size in 48 128 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$png" ] || fail "no ${size}x${size} icon named $icon"
    read -r width height corner < <(identify -format '%w %h %[fx:p{0,0}.a]\n' "$png")
    [ "$width x $height" = "$size x $size" ] || fail "the $size icon is $width x $height"
    [ "$corner" = 0 ] || fail "the $size icon is not transparent in its corner (alpha $corner)"
    convert "$png" -background black -flatten -alpha off "$E2E_TMP/icon.png"
    convert Models/cakeIcon.tga -auto-orient -filter box -resize "${size}x${size}!" "$E2E_TMP/cake.png"
    rmse=$(compare -metric RMSE "$E2E_TMP/icon.png" "$E2E_TMP/cake.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
    awk -v e="$rmse" 'BEGIN { exit !(e < 0.03) }' || fail "the $size icon is not the cake icon (RMSE $rmse)"
    echo "icon $size: ${width}x${height}, clear corner, RMSE $rmse against cakeIcon.tga"
done
echo PASS

#!/usr/bin/env bash
# Broken images: a texture that is missing, cut short, or whose header claims
# an absurd size. Loading stops with "Error loading texture <path>" and exit
# code 255 (-1), before any frame, and nothing crashes.
source "$(dirname "$0")/lib.sh" "$@"
start_display

# $1 what was done, $2 the image; the copy in $dir is prepared.
expect_texture_failure() {
    run_to_exit "$dir" 30
    local code=$?
    [ "$code" -eq 255 ] || fail "$1 $2: exit code $code, expected 255"
    expect_line "Error loading texture Models/$2"
    [ "$(frames_so_far)" -eq 0 ] || fail "$1 $2: frames ran after a failed texture"
    # Loading stops at once: the report is the last line of the trail.
    [ "$(tail -n 1 "$E2E_TMP/stderr")" = "Error loading texture Models/$2" ] ||
        fail "$1 $2: loading went on past the failure"
    echo "$1 $2: reported, exit 255"
}

# Writes the 16-bit little-endian value $2 at byte offset $3 of file $1.
put_u16() {
    printf "\\x$(printf %02x $(($2 & 255)))\\x$(printf %02x $(($2 >> 8)))" |
        dd of="$1" bs=1 seek="$3" conv=notrunc status=none
}

dir=$(game_data_copy)
rm "$dir/Models/leaf.tga"
expect_texture_failure missing leaf.tga

dir=$(game_data_copy)
head -c 30000 Models/torte_textur.tga >"$dir/Models/torte_textur.tga"
expect_texture_failure truncated torte_textur.tga

dir=$(game_data_copy)
put_u16 "$dir/Models/sunny.tga" 65535 12   # width
put_u16 "$dir/Models/sunny.tga" 65535 14   # height
expect_texture_failure "65535 x 65535 header in" sunny.tga

dir=$(game_data_copy)
put_u16 "$dir/Models/alphabet.tga" 16384 12
put_u16 "$dir/Models/alphabet.tga" 16384 14
expect_texture_failure "16384 x 16384 header in" alphabet.tga
echo PASS

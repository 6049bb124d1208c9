#!/usr/bin/env bash
# Broken game files, a case a row (file, damage to $at, exit code, lines): a broken shader is
# reported, a broken model left empty, and the game plays on; a broken image stops loading
# with 255 before any frame; an unwritable terrain.bmp is skipped, the height map the same.
source "$(dirname "$0")/lib.sh" "$@"
start_display
# Sets the width and height of the TGA $1 to $2.
tga_size() {
    local le="\\x$(printf %02x $(($2 & 255)))\\x$(printf %02x $(($2 >> 8)))"
    printf "$le$le" | dd of="$1" bs=1 seek=12 conv=notrunc status=none
}
meshes() { grep -c '^number of meshes: ' "$T/stdout"; }
heights() { grep '^heightmap inhalt: ' "$T/stdout"; }
start_game "$(game_data)"
wait_for_frames 5
quit
intact=$(meshes)
heights >"$T/heights"
grep -qv 'inhalt: 0$' "$T/heights" || fail "the height map is all 0: nothing to compare"

while IFS='|' read -r file damage code line text; do
    dir=$(game_data)
    at=$dir/$file
    eval "$damage" || fail "could not damage $file"
    start_game "$dir"
    if [ "$code" = 0 ]; then
        wait_for_frames 5
        quit
    else
        expect_exit "$code"
        [ "$(frames)" = 0 ] && [ "$(tail -n 1 "$T/stderr")" = "$line" ] || fail "$file: loading went on"
    fi
    [ -z "$line" ] || expect_line "$line"
    [ -z "$text" ] || grep -qF -- "$text" "$T/stdout" || fail "$file ($damage): stdout lacks $text"
    [[ $file != *.dae ]] || [ "$(meshes)" -lt "$intact" ] || fail "$file ($damage): model not left empty"
    [ "$file" != terrain.bmp ] || { [ -z "$(ls -A "$at")" ] && heights | cmp -s - "$T/heights"; } ||
        fail "terrain.bmp not writable: something went into the folder, or the height map differs"
done <<'CASES'
Shaders/texture.frag|rm "$at"|0|Fragment shader file Shaders/texture.frag does not exist.|
Shaders/snow.geom.c|: >"$at"|0|Could not compile shader ''|Shader compilation failed.
Shaders/text.vert|head -c 4096 Models/sunny.tga >"$at"|0|Could not compile shader ''|Shader compilation failed.
Shaders/phongphong.frag|echo 'void main() { undefined_value; }' >"$at"|0|Could not compile shader ''|undefined_value
Models/cake.dae|rm "$at"|0||
Models/sunnytextured.dae|head -c 60000 Models/torte_textur.tga >"$at"|0||
Models/torte.dae|head -c 40000 "$file" >"$at"|0||
Models/cake.dae|cp tests/fuzz/regressions/cake-vertex-semantic-misspelled.dae "$at"|0||
Models/torte.dae|cp tests/fuzz/regressions/torte-vertex-semantic-misspelled.dae "$at"|0||
Models/mirelka_koerper2.dae|sed -i '/<library_geom/,/<\/library_geom/d; /<instance_geom/,/<\/instance_geom/d' "$at"|0||
Models/leaf.tga|rm "$at"|255|Error loading texture Models/leaf.tga|
Models/torte_textur.tga|head -c 30000 "$file" >"$at"|255|Error loading texture Models/torte_textur.tga|
Models/sunny.tga|tga_size "$at" 65535|255|Error loading texture Models/sunny.tga|
Models/alphabet.tga|tga_size "$at" 16384|255|Error loading texture Models/alphabet.tga|
terrain.bmp|mkdir "$at"|0||
CASES
echo PASS

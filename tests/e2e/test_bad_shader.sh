#!/usr/bin/env bash
# Broken shader sources: a missing file, an empty one, a binary one and one
# that does not compile. Each is reported, the program built from it stays
# unusable, and the game still runs its frames and quits normally on Esc.
source "$(dirname "$0")/lib.sh" "$@"
start_display

# Missing: the loader names the file and gives up on that program.
dir=$(game_data_copy)
rm "$dir/Shaders/texture.frag"
play_and_quit "$dir"
expect_line 'Fragment shader file Shaders/texture.frag does not exist.'
echo "missing texture.frag: reported, game ran and quit"

# Empty, binary (an image's bytes, NULs included) and a compile error: the
# compiler refuses, the loader says so and prints the compiler's log.
compile_failure() {
    local what=$1 file=$2
    play_and_quit "$dir"
    expect_line "Could not compile shader ''"
    expect_line 'Shader compilation failed.' stdout
    grep -q 'error' "$E2E_TMP/stdout" || fail "$what $file: no compiler log on stdout"
    echo "$what $file: reported, game ran and quit"
}

dir=$(game_data_copy)
: >"$dir/Shaders/snow.geom.c"   # the transform-feedback program
compile_failure empty snow.geom.c

dir=$(game_data_copy)
head -c 4096 Models/sunny.tga >"$dir/Shaders/text.vert"   # overlay and icons
compile_failure binary text.vert

dir=$(game_data_copy)
printf '#version 150\nout vec4 colour;\nvoid main() { colour = undefined_value; }\n' >"$dir/Shaders/phongphong.frag"
compile_failure "compile error in" phongphong.frag
grep -q 'undefined_value' "$E2E_TMP/stdout" || fail "the compiler log does not name the fault"
echo PASS

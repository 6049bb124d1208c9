#!/usr/bin/env bash
# A working directory where terrain.bmp cannot be written: the export is
# skipped, the height map is still captured (the same heights as in a normal
# run), and the game runs and quits normally. As root, permissions do not
# stop writes, so terrain.bmp is made a directory instead of the folder read-only.
source "$(dirname "$0")/lib.sh" "$@"
start_display

heights() { grep '^heightmap inhalt: ' "$E2E_TMP/stdout"; }

dir=$(game_data_copy)
play_and_quit "$dir"
[ -f "$dir/terrain.bmp" ] || fail "a normal run wrote no terrain.bmp"
heights >"$E2E_TMP/heights.normal"
[ "$(wc -l <"$E2E_TMP/heights.normal")" -eq 1000 ] || fail "a normal run dumped no height map"
grep -qv 'inhalt: 0$' "$E2E_TMP/heights.normal" || fail "the dumped heights are all 0: nothing to compare"

dir=$(game_data_copy)
mkdir "$dir/terrain.bmp"
if [ "$(id -u)" -ne 0 ]; then chmod a-w "$dir"; fi
play_and_quit "$dir"
[ -d "$dir/terrain.bmp" ] || fail "terrain.bmp is no longer a directory"
[ -z "$(ls -A "$dir/terrain.bmp")" ] || fail "something was written into terrain.bmp/"
heights | cmp -s - "$E2E_TMP/heights.normal" || fail "the height map differs when terrain.bmp cannot be written"
chmod u+w "$dir"
echo "terrain.bmp not writable: skipped, same height map, game ran and quit"
echo PASS

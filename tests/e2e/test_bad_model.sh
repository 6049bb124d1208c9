#!/usr/bin/env bash
# Broken model files: missing, garbage, cut short, and a sound COLLADA file
# without any mesh. The importer leaves that model empty (it prints no mesh
# counts for it and draws nothing), and the game runs and quits normally.
source "$(dirname "$0")/lib.sh" "$@"
start_display

mesh_lines() { grep -c '^number of meshes: ' "$E2E_TMP/stdout"; }

play_and_quit "$(game_data_copy)"
full=$(mesh_lines)
[ "$full" -gt 0 ] || fail "the intact game printed no mesh counts"
echo "intact data: $full mesh count lines"

# $1 what was done to the file, $2 the file; the copy in $dir is prepared.
expect_model_left_empty() {
    play_and_quit "$dir"
    local lines
    lines=$(mesh_lines)
    [ "$lines" -lt "$full" ] || fail "$1 $2: still $lines mesh count lines"
    echo "$1 $2: model left empty ($lines mesh count lines), game ran and quit"
}

dir=$(game_data_copy)
rm "$dir/Models/cake.dae"
expect_model_left_empty missing cake.dae

dir=$(game_data_copy)
head -c 60000 Models/torte_textur.tga >"$dir/Models/sunnytextured.dae"
expect_model_left_empty garbage sunnytextured.dae

dir=$(game_data_copy)
head -c "$(( $(stat -c %s Models/torte.dae) / 2 ))" Models/torte.dae >"$dir/Models/torte.dae"
expect_model_left_empty truncated torte.dae

dir=$(game_data_copy)
cat >"$dir/Models/mirelka_koerper2.dae" <<'DAE'
<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
  <asset><unit name="meter" meter="1"/><up_axis>Z_UP</up_axis></asset>
  <library_visual_scenes>
    <visual_scene id="Scene" name="Scene">
      <node id="Empty" name="Empty" type="NODE">
        <matrix sid="transform">1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix>
      </node>
    </visual_scene>
  </library_visual_scenes>
  <scene><instance_visual_scene url="#Scene"/></scene>
</COLLADA>
DAE
expect_model_left_empty "no meshes in" mirelka_koerper2.dae
echo PASS

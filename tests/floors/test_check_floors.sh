#!/usr/bin/env bash
# Runs check_floors.sh on small scratch trees: a clean tree passes, and each
# kind of broken floor fails and names the offending file and include.
set -uo pipefail
check="$(dirname "$(readlink -f "$0")")/check_floors.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Writes "path:line" entries, separated by ";" or newlines, into tree $1.
add() {
    IFS=$';\n' read -d '' -ra entries <<<"$2"
    for entry in "${entries[@]}"; do
        mkdir -p "$(dirname "$1/${entry%%:*}")" && printf '%s\n' "${entry#*:}" >>"$1/${entry%%:*}"
    done
}
# Keeps every rule, in the spellings the checker must accept.
add "$scratch/clean" 'math/vec.h:#pragma once;math/vec.cpp:// #include "app/main.h";math/vec.cpp:#include "math/vec.h"
world/map.h:#  include "math/vec.h";game/scene.h:#include "world/map.h";game/scene.h:#include "game/sub/part.h"
game/scene.cpp:#include "game/scene.h";game/scene.cpp:#include <cmath>;game/sub/part.h:#include "part_detail.hpp"
game/sub/part_detail.hpp:#include "math/vec.h";render/draw.cpp:#include <GL/glew.h>
render/draw.cpp:#include "game/scene.h";app/main.cpp:#include <GLFW/glfw3.h>;app/main.cpp:#include <AL/al.h>
app/main.cpp:#include "render/draw.h";app/main.h:#pragma once;tools/tool.cpp:#include "app/main.h"'
failed=0 n=0
# base tree | expected exit code | text the output must hold | entries to add
while IFS='|' read -r base want_rc want_text additions; do
    tree=$scratch/$((n += 1))
    cp -r "$scratch/$base" "$tree" 2>/dev/null || mkdir "$tree"
    add "$tree" "$additions"
    out=$(bash "$check" "$tree" 2>&1)
    rc=$?
    [ "$rc" = "$want_rc" ] && grep -qF -- "$want_text" <<<"$out" && continue
    failed=$((failed + 1))
    printf 'FAIL case %s: exit %s (wanted %s), output:\n%s\n' "$n" "$rc" "$want_rc" "$out"
done <<'CASES'
clean|0|floors: 10 files, 9 project includes, no upward include, no circle, no GL below render|
clean|1|math/bad.h: includes "game/x.h" (upward include: math may not include game)|math/bad.h:#include "game/x.h"
clean|1|game/g.cpp: includes "../app/main.h" (upward include|game/g.cpp:  #   include "../app/main.h"
clean|1|math/m.h: includes <render/x.h> (upward include|math/m.h:#include <render/x.h>
clean|1|(circle: game/a -> game/b -> game/a)|game/a.h:#include "game/b.h";game/b.h:#include "game/a.h"
clean|1|(circle: game/a -> game/b -> game/a)|game/a.cpp:#include "game/b.h";game/b.h:#include "game/a.h"
clean|1|(circle: world/a -> world/b -> world/a)|world/a.h:#include "b.h";world/b.h:#include "world/a.h"
clean|1|game/gl.cpp: includes <GL/glew.h> (GL header below render)|game/gl.cpp:#include <GL/glew.h>
clean|1|math/m.cpp: includes "glad/gl.h" (GL header below render)|math/m.cpp:#include "glad/gl.h"
clean|1|render/win.cpp: includes <GLFW/glfw3.h> (windowing or audio header|render/win.cpp:#include <GLFW/glfw3.h>
clean|1|world/s.cpp: includes <AL/al.h> (windowing or audio header outside app)|world/s.cpp:#include <AL/al.h>
none|2|no math/world/game/render/app folder|
CASES
echo "$n cases, $failed failed"
[ "$n" = 12 ] && [ "$failed" = 0 ]

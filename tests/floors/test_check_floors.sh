#!/usr/bin/env bash
# Runs check_floors.sh on small scratch trees: a clean tree must pass, and each kind of
# broken floor (upward include, circle, GL or windowing header too low) must fail and
# name the offending file and include.
set -uo pipefail
check="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/check_floors.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A small tree that keeps every rule, including the spellings the checker must accept.
clean_tree() {
    mkdir -p "$1"/{math,world,game/sub,render,app,tools}
    printf '%s\n' '#pragma once' > "$1/math/vec.h"
    printf '%s\n' '// #include "app/main.h"  (commented out)' '#include "math/vec.h"' > "$1/math/vec.cpp"
    printf '%s\n' '#  include "math/vec.h"' > "$1/world/map.h"
    printf '%s\n' '#include "world/map.h"' '#include "game/sub/part.h"' > "$1/game/scene.h"
    printf '%s\n' '#include "game/scene.h"' '#include <cmath>' > "$1/game/scene.cpp"
    printf '%s\n' '#include "part_detail.hpp"' > "$1/game/sub/part.h"
    printf '%s\n' '#include "math/vec.h"' > "$1/game/sub/part_detail.hpp"
    printf '%s\n' '#include <GL/glew.h>' '#include "game/scene.h"' > "$1/render/draw.cpp"
    printf '%s\n' '#include <GLFW/glfw3.h>' '#include <AL/al.h>' '#include "render/draw.h"' > "$1/app/main.cpp"
    printf '%s\n' '#pragma once' > "$1/app/main.h"
    printf '%s\n' '#include "app/main.h"' > "$1/tools/tool.cpp"
}

# name | base tree (clean or none) | expected exit code | text the output must hold | files to add (path:line;...)
pass=0 fail=0 n=0
while IFS='|' read -r name base want_rc want_text additions; do
    tree="$scratch/$((n += 1))"
    mkdir -p "$tree"
    [ "$base" = clean ] && clean_tree "$tree"
    IFS=';' read -ra entries <<< "$additions"
    for entry in "${entries[@]}"; do
        file="$tree/${entry%%:*}"
        mkdir -p "$(dirname "$file")"
        printf '%s\n' "${entry#*:}" >> "$file"
    done
    out=$(bash "$check" "$tree" 2>&1)
    rc=$?
    if [ "$rc" = "$want_rc" ] && grep -qF -- "$want_text" <<< "$out"; then
        pass=$((pass + 1))
    else
        fail=$((fail + 1))
        printf 'FAIL %s: exit %s (wanted %s), output:\n%s\n' "$name" "$rc" "$want_rc" "$out"
    fi
done <<'CASES'
clean tree passes|clean|0|floors: 10 files, 9 project includes, no upward include, no circle, no GL below render|
math includes game|clean|1|math/bad.h: includes "game/x.h" (upward include: math may not include game)|math/bad.h:#include "game/x.h"
spaced upward include|clean|1|world/w.cpp: includes "render/x.h" (upward include|world/w.cpp:  #   include "render/x.h"
relative upward include|clean|1|game/g.cpp: includes "../app/main.h" (upward include|game/g.cpp:#include "../app/main.h"
angle-bracket upward include|clean|1|math/m.h: includes <render/x.h> (upward include|math/m.h:#include <render/x.h>
circle of two headers|clean|1|(circle: game/a -> game/b -> game/a)|game/a.h:#include "game/b.h";game/b.h:#include "game/a.h"
circle through a .cpp|clean|1|(circle: game/a -> game/b -> game/a)|game/a.cpp:#include "game/b.h";game/b.h:#include "game/a.h"
circle through a sibling include|clean|1|(circle: world/a -> world/b -> world/a)|world/a.h:#include "b.h";world/b.h:#include "world/a.h"
GL in game|clean|1|game/gl.cpp: includes <GL/glew.h> (GL header below render)|game/gl.cpp:#include <GL/glew.h>
glad in math|clean|1|math/m.cpp: includes "glad/gl.h" (GL header below render)|math/m.cpp:#include "glad/gl.h"
GLFW in render|clean|1|render/win.cpp: includes <GLFW/glfw3.h> (windowing or audio header outside app)|render/win.cpp:#include <GLFW/glfw3.h>
audio in world|clean|1|world/s.cpp: includes <AL/al.h> (windowing or audio header outside app)|world/s.cpp:#include <AL/al.h>
wrong root is an error|none|2|no math/world/game/render/app folder|
CASES

echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

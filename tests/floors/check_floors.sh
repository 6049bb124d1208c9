#!/usr/bin/env bash
# Checks that the source floors only point down: math <- world <- game <- render <- app.
# A file includes headers of its own floor or lower ones, never in a circle (a .cpp and
# its .h are one); GL headers stay in render and app, GLFW in app, SDL in app/sound. Usage:
# check_floors.sh [ROOT]. Prints each problem and exits 1, or a summary and exits 0.
set -euo pipefail
root=${1:-"$(dirname "$(readlink -f "$0")")/../.."}
cd "$root" 2>/dev/null || { echo "floors: cannot enter $root" >&2; exit 2; }
mapfile -t floors < <(ls -d math world game render app 2>/dev/null || true)
[ ${#floors[@]} -gt 0 ] || { echo "floors: no math/world/game/render/app folder under $root" >&2; exit 2; }
mapfile -t files < <(find "${floors[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' \) | LC_ALL=C sort)

# /dev/null first keeps awk off standard input in a tree without sources.
awk '
    function normalize(p,   n, parts, out, i, k, r) {
        n = split(p, parts, "/"); k = 0
        for (i = 1; i <= n; i++)
            if (parts[i] == "..") { if (k-- == 0) return "" }
            else if (parts[i] != "" && parts[i] != ".") out[++k] = parts[i]
        r = out[1]; for (i = 2; i <= k; i++) r = r "/" out[i]
        return r
    }
    function floorOf(p,   parts) { split(p, parts, "/"); return (parts[1] in rank) ? rank[parts[1]] : 0 }
    function node(p) { sub(/\.(h|hpp|cpp)$/, "", p); return p }
    function report(file, shown, why) { print file ": includes " shown " (" why ")"; problems++; bad[file] = 1 }
    function dfs(n,   i, m, k, cycle) {
        color[n] = 1; path[++depth] = n
        for (i = 1; i <= nadj[n]; i++) {
            m = adj[n, i]
            if (color[m] == 1) {
                for (k = depth; path[k] != m; k--) ;
                cycle = ""; for (; k <= depth; k++) cycle = cycle path[k] " -> "
                report(edgeFile[n, i], edgeShown[n, i], "circle: " cycle m)
            } else if (color[m] == 0) dfs(m)
        }
        depth--; color[n] = 2
    }
    BEGIN {
        split("math world game render app", name, " ")
        for (i = 1; i <= 5; i++) rank[name[i]] = i
        for (i = 2; i < ARGC; i++) { known[ARGV[i]] = 1; order[++nfiles] = node(ARGV[i]) }
    }
    /^[ \t]*#[ \t]*include[ \t]*["<]/ {
        s = $0; sub(/^[ \t]*#[ \t]*include[ \t]*/, "", s)
        quoted = substr(s, 1, 1) == "\""; s = substr(s, 2)
        end = index(s, quoted ? "\"" : ">"); if (end <= 1) next
        file = FILENAME; target = substr(s, 1, end - 1); own = floorOf(file)
        shown = quoted ? "\"" target "\"" : "<" target ">"
        # Quoted includes look beside the including file first, then from the root.
        dir = file; sub(/\/[^\/]*$/, "", dir); header = ""
        if (quoted && (normalize(dir "/" target) in known)) header = normalize(dir "/" target)
        else if (floorOf(normalize(target)) > 0) header = normalize(target)
        if (header != "") {
            projectIncludes++
            if (floorOf(header) > own)
                report(file, shown, "upward include: " name[own] " may not include " name[floorOf(header)])
            from = node(file); to = node(header)
            if (from != to && !((from, to) in seen)) {
                seen[from, to] = 1; k = ++nadj[from]
                adj[from, k] = to; edgeFile[from, k] = file; edgeShown[from, k] = shown
            }
        }
        if ((target ~ /^(GL|GLES[0-9]*|EGL|KHR)\// || target ~ /^glad/) && own < rank["render"])
            report(file, shown, "GL header below render")
        if (target ~ /^GLFW\// && own < rank["app"]) report(file, shown, "windowing header outside app")
        if (target ~ /^SDL[0-9]*([\/_.]|$)/ && file !~ /^app\/sound\.(h|cpp)$/)
            report(file, shown, "audio header outside app/sound")
    }
    END {
        for (i = 1; i <= nfiles; i++) if (color[order[i]] == 0) dfs(order[i])
        if (problems) { for (f in bad) nbad++; printf "floors: %d problems in %d files\n", problems, nbad; exit 1 }
        printf "floors: %d files, %d project includes, no upward include, no circle, no GL below render\n",
               nfiles, projectIncludes
    }' /dev/null "${files[@]}"

#!/usr/bin/env bash
# Planted faults: measures what the test suite catches. Each fault of
# scripts/planted_faults.list (one small, compiling source edit) is applied on
# its own to a scratch copy of the working tree, the copy is rebuilt
# incrementally, the suite runs under Xvfb, and the fault counts as caught
# when at least one test fails, and fails again when run a second time. The
# developer's tree is only read, never changed.
#
#   scripts/planted_faults.sh [--only N[,M,A-B]] [--report FILE] [--keep DIR]
#   scripts/planted_faults.sh --list
#
# --list       the faults, and whether each still applies to the tree
# --only       run only these fault ids
# --report     also write the summary to FILE (no times or dates in it, so
#              two runs compare with diff)
# --keep DIR   keep the scratch copy and its build in DIR and reuse them next
#              time (the copy is brought up to date with the tree first), so a
#              second run skips the full build
#
# Slow (a minute or two per fault), so it is not part of scripts/test.sh.
# Exit status: 0 when every selected fault applied, built and ran (missed
# faults are findings, not errors), 2 when some fault no longer applies or no
# longer compiles (update scripts/planted_faults.list), 1 on a usage error or
# when the unchanged tree does not build or pass.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
list_file=$root/scripts/planted_faults.list
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp")
export LIBGL_ALWAYS_SOFTWARE=1
# Everything the selected tests run; the bench programs are left out with the
# long run below.
build_targets=(varnelo unit_tests gl_tests close_window sound_tone assets)
# Left out of every run: the long run (label long) measures memory and GL
# objects over 1000 frames, which no fault here touches, and alone would
# double the time per fault; the package tests pack and inspect the install
# tree (cpack, lintian), which no fault here touches either; and clang-tidy
# (style.tidy), which reads the code rather than running it, minutes a fault.
ctest_filter=(-LE long -E '^(e2e\.test_package|style\.tidy)$')
# A fault that hangs a test must not hang the run.
ctest_timeout=300
shown_failures=3

usage() { sed -n '9,18p' "$0" | sed 's/^# \{0,1\}//'; }
die() {
    echo "planted_faults: $*" >&2
    exit 1
}

# --- The fault table ----------------------------------------------------------

ids=() files=() descs=() froms=() tos=()

# Reads the records of the list file into the arrays above.
read_faults() {
    local line key value lineno=0 id="" file="" desc="" from="" to="" have_from=0 have_to=0
    finish_record() {
        [ -z "$id$file$desc" ] && [ $have_from -eq 0 ] && [ $have_to -eq 0 ] && return 0
        [[ $id =~ ^[1-9][0-9]*$ ]] || die "$list_file:$lineno: a record without a numeric fault id"
        [ -n "$file" ] && [ -n "$desc" ] && [ $have_from -eq 1 ] && [ $have_to -eq 1 ] ||
            die "$list_file: fault $id lacks one of file, desc, from, to"
        [ -n "$from" ] || die "$list_file: fault $id has an empty from"
        [ "$from" != "$to" ] || die "$list_file: fault $id changes nothing"
        local known
        for known in "${ids[@]}"; do [ "$known" != "$id" ] || die "$list_file: fault id $id used twice"; done
        ids+=("$id") files+=("$file") descs+=("$desc") froms+=("$from") tos+=("$to")
        id="" file="" desc="" from="" to="" have_from=0 have_to=0
    }
    while IFS= read -r line || [ -n "$line" ]; do
        lineno=$((lineno + 1))
        [[ $line == '#'* ]] && continue
        if [[ $line =~ ^[[:space:]]*$ ]]; then
            finish_record
            continue
        fi
        key=${line%% *}
        value=${line#"$key"}
        value=${value#"${value%%[! ]*}"}
        case $key in
        fault) finish_record; id=$value ;;
        file) file=$value ;;
        desc) desc=$value ;;
        from) from=$value have_from=1 ;;
        to) to=$value have_to=1 ;;
        *) die "$list_file:$lineno: unknown key '$key'" ;;
        esac
    done <"$list_file"
    finish_record
    [ ${#ids[@]} -gt 0 ] || die "no faults in $list_file"
}

# Whether fault k's original text occurs exactly once in its file under
# directory $2; prints why not.
fault_applies() {
    local k=$1 dir=$2 path content rest
    path=$dir/${files[k]}
    if [ ! -f "$path" ]; then
        echo "no file ${files[k]}"
        return 1
    fi
    IFS= read -r -d '' content <"$path"
    if [[ $content != *"${froms[k]}"* ]]; then
        echo "text not found in ${files[k]}"
        return 1
    fi
    rest=${content#*"${froms[k]}"}
    if [[ $rest == *"${froms[k]}"* ]]; then
        echo "text found more than once in ${files[k]}"
        return 1
    fi
    return 0
}

# Replaces the single occurrence of fault k's text in $2/file.
apply_fault() {
    local k=$1 dir=$2 path content
    path=$dir/${files[k]}
    IFS= read -r -d '' content <"$path"
    printf '%s' "${content%%"${froms[k]}"*}${tos[k]}${content#*"${froms[k]}"}" >"$path"
}

# --- Arguments ------------------------------------------------------------------

only="" report="" keep="" list_only=0
while [ $# -gt 0 ]; do
    case $1 in
    --only) [ $# -ge 2 ] || die "--only needs fault ids"; only=$2; shift 2 ;;
    --only=*) only=${1#--only=}; shift ;;
    --report) [ $# -ge 2 ] || die "--report needs a file"; report=$2; shift 2 ;;
    --report=*) report=${1#--report=}; shift ;;
    --keep) [ $# -ge 2 ] || die "--keep needs a directory"; keep=$2; shift 2 ;;
    --keep=*) keep=${1#--keep=}; shift ;;
    --list) list_only=1; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; die "unknown argument: $1" ;;
    esac
done

read_faults

# The indexes into the fault arrays to run, in list order.
selected=()
if [ -z "$only" ]; then
    for k in "${!ids[@]}"; do selected+=("$k"); done
else
    declare -A wanted=()
    IFS=',' read -r -a parts <<<"$only"
    for part in "${parts[@]}"; do
        if [[ $part =~ ^([0-9]+)-([0-9]+)$ ]]; then
            for ((n = BASH_REMATCH[1]; n <= BASH_REMATCH[2]; n++)); do wanted[$n]=1; done
        elif [[ $part =~ ^[0-9]+$ ]]; then
            wanted[$part]=1
        else
            die "--only: not a fault id or range: '$part'"
        fi
    done
    for k in "${!ids[@]}"; do
        if [ -n "${wanted[${ids[k]}]:-}" ]; then
            selected+=("$k")
            unset "wanted[${ids[k]}]"
        fi
    done
    [ ${#wanted[@]} -eq 0 ] || die "--only: no such fault: ${!wanted[*]}"
fi

if [ $list_only -eq 1 ]; then
    for k in "${selected[@]}"; do
        if why=$(fault_applies "$k" "$root"); then state=ok; else state="not applicable ($why)"; fi
        printf '%3s  %-26s %s\n     %s\n' "${ids[k]}" "${files[k]}" "${descs[k]}" "$state"
    done
    exit 0
fi

if [ -n "$report" ]; then
    report=$(realpath -m -- "$report")
    # Written only at the end: an interrupted run leaves an earlier report as it was.
    mkdir -p "$(dirname "$report")" && [ -w "$(dirname "$report")" ] || die "cannot write $report"
fi
for tool in git cmake ctest xvfb-run cmp; do
    command -v "$tool" >/dev/null || die "$tool is missing (scripts/install-deps.sh installs it)"
done
git -C "$root" rev-parse --git-dir >/dev/null 2>&1 || die "$root is not a git checkout"

# --- The scratch copy -----------------------------------------------------------

if [ -n "$keep" ]; then
    mkdir -p "$keep" || die "cannot make $keep"
    work=$(cd "$keep" && pwd)
    case $work/ in "$root"/*) die "--keep must lie outside the repository" ;; esac
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/varnelo-faults.XXXXXX") || die "cannot make a scratch directory"
fi
src=$work/src
build=$work/build
logs=$work/logs
mkdir -p "$src" "$logs"

# The fault in place while one is applied: its file and the saved original.
faulted="" original=$work/original
restore_fault() {
    # Written over, not moved back: the restored file gets a new time stamp,
    # so the next build recompiles it.
    if [ -n "$faulted" ]; then cat "$original" >"$faulted" && rm -f "$original"; fi
    faulted=""
}
cleanup() {
    restore_fault
    if [ -z "$keep" ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
# Descriptor 3 is the script's own standard error: a trap may run inside a
# redirection to a log.
exec 3>&2
trap 'echo "planted_faults: interrupted" >&3; stop_child; exit 130' INT TERM

# The build or test run in progress. It runs in a process group of its own,
# so an interrupt ends all of it (compilers, Xvfb, the game) at once rather
# than after it has finished.
child=""
run_child() {
    setsid "$@" &
    child=$!
    wait "$child"
    local status=$?
    child=""
    return $status
}
stop_child() {
    [ -n "${child:-}" ] || return 0
    kill -TERM -- "-$child" 2>/dev/null
    wait "$child" 2>/dev/null
    child=""
}

# Brings the copy up to date with the tracked and untracked (not ignored)
# files of the tree. Only files whose content differs are copied, so they
# alone get a new time stamp and the build stays incremental; files gone from
# the tree go from the copy too.
sync_copy() {
    local manifest=$work/manifest new_manifest=$work/manifest.new path
    (cd "$root" && git ls-files -co --exclude-standard -z) >"$new_manifest" || die "git ls-files failed"
    while IFS= read -r -d '' path; do
        [ -f "$root/$path" ] || continue  # deleted but not yet staged
        if ! cmp -s "$root/$path" "$src/$path"; then
            mkdir -p "$(dirname "$src/$path")"
            rm -f "$src/$path"
            cp --preserve=mode "$root/$path" "$src/$path" || die "cannot copy $path"
        fi
    done <"$new_manifest"
    if [ -f "$manifest" ]; then
        comm -23 <(tr '\0' '\n' <"$manifest" | sort) <(tr '\0' '\n' <"$new_manifest" | sort) |
            while IFS= read -r path; do rm -f "$src/$path"; done
    fi
    mv "$new_manifest" "$manifest"
}

# Builds the copy; the compiler's output goes to $1.
build_copy() {
    local log=$1
    if [ ! -f "$build/CMakeCache.txt" ]; then
        local generator=()
        command -v ninja >/dev/null && generator=(-G Ninja)
        run_child nice -n 10 cmake "${generator[@]}" -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DVARNELO_WERROR=ON >"$log" 2>&1 || return 1
    fi
    run_child nice -n 10 cmake --build "$build" -j2 --target "${build_targets[@]}" >>"$log" 2>&1
}

# The names of the failed tests in ctest's output $1, one a line.
failed_tests() {
    sed -n '/^The following tests FAILED:/,$p' "$1" | sed -n 's/^[[:space:]]*[0-9]\{1,\} - \(.*\) (.*)$/\1/p'
}

# Runs the suite on the built copy; output to $1, extra ctest arguments after.
# Returns ctest's status.
run_suite() {
    local log=$1
    shift
    run_child nice -n 10 "${xvfb[@]}" ctest --test-dir "$build" -j2 \
        --timeout "$ctest_timeout" --output-on-failure "${ctest_filter[@]}" "$@" >"$log" 2>&1
}

# Fails unless the suite ran at least one test.
suite_ran() { grep -q 'tests failed out of [1-9]' "$1"; }

# Prints "name1, name2, name3 (+N more)".
short_list() {
    local names=("$@") text
    text=$(printf '%s, ' "${names[@]:0:shown_failures}")
    text=${text%, }
    [ ${#names[@]} -gt $shown_failures ] && text+=" (+$((${#names[@]} - shown_failures)) more)"
    echo "$text"
}

seconds() { date +%s; }
started=$(seconds)
commit=$(git -C "$root" rev-parse --short HEAD)
git -C "$root" diff --quiet HEAD -- 2>/dev/null || commit+=" with uncommitted changes"

echo "Scratch copy in $work"
sync_copy

# The unchanged tree first: every later failure is then the fault's doing.
echo "Building and testing the unchanged tree"
if ! build_copy "$logs/clean-build.log"; then
    tail -n 30 "$logs/clean-build.log"
    die "the unchanged tree does not build"
fi
run_suite "$logs/clean-tests.log"
suite_ran "$logs/clean-tests.log" || { tail -n 20 "$logs/clean-tests.log"; die "the suite did not run"; }
clean_summary=$(grep -o '[0-9]*% tests passed.*' "$logs/clean-tests.log")
mapfile -t clean_failures < <(failed_tests "$logs/clean-tests.log")
if [ ${#clean_failures[@]} -gt 0 ]; then
    # A test that fails once on the unchanged tree and passes again is
    # flaky (timing under load); one that fails twice makes the run useless.
    run_suite "$logs/clean-rerun.log" --rerun-failed
    mapfile -t again < <(failed_tests "$logs/clean-rerun.log")
    if [ ${#again[@]} -gt 0 ] || ! suite_ran "$logs/clean-rerun.log"; then
        printf '  failed twice: %s\n' "${again[@]}"
        die "the unchanged tree does not pass its tests; fix that first"
    fi
    clean_summary+="; failed once, passed again: $(short_list "${clean_failures[@]}")"
fi
echo "  $clean_summary ($(($(seconds) - started)) s)"

results=()
caught=0 ran=0 not_applicable=0 broken=0
for k in "${selected[@]}"; do
    id=${ids[k]}
    fault_started=$(seconds)
    printf 'Fault %s: %s\n' "$id" "${descs[k]}"
    failures=""
    if ! why=$(fault_applies "$k" "$src"); then
        state="not applicable"
        failures=$why
        not_applicable=$((not_applicable + 1))
    else
        cp "$src/${files[k]}" "$original"
        faulted=$src/${files[k]}
        apply_fault "$k" "$src"
        if ! build_copy "$logs/fault-$id-build.log"; then
            state="broken fault"
            failures="does not build, see below"
            broken=$((broken + 1))
            grep -m 5 'error' "$logs/fault-$id-build.log" | sed 's/^/    /'
        else
            ran=$((ran + 1))
            run_suite "$logs/fault-$id-tests.log"
            mapfile -t first < <(failed_tests "$logs/fault-$id-tests.log")
            if ! suite_ran "$logs/fault-$id-tests.log"; then
                state="no run"
                failures="the suite did not run (--keep keeps its log)"
            elif [ ${#first[@]} -eq 0 ]; then
                state="MISSED"
            else
                # A second run of the failed tests alone: a failure that does
                # not repeat is a flaky test, not the fault's.
                run_suite "$logs/fault-$id-rerun.log" --rerun-failed
                mapfile -t again < <(failed_tests "$logs/fault-$id-rerun.log")
                if [ ${#again[@]} -gt 0 ]; then
                    state="caught"
                    caught=$((caught + 1))
                    failures=$(short_list "${again[@]}")
                else
                    state="MISSED"
                    failures="failed once, passed again: $(short_list "${first[@]}")"
                fi
            fi
        fi
        restore_fault
    fi
    line=$(printf '%3s  %-14s %s' "$id" "$state" "${descs[k]}")
    [ -n "$failures" ] && line+=" | $failures"
    results+=("$line")
    echo "  $state${failures:+: $failures} ($(($(seconds) - fault_started)) s)"
done

summary() {
    echo "Planted faults: caught $caught of $ran that built and ran" \
        "($not_applicable not applicable, $broken broken; ${#selected[@]} selected)"
    echo "Tree: $commit; unchanged tree: $clean_summary"
    echo "Suite: ctest ${ctest_filter[*]} under xvfb-run"
    printf '%s\n' "${results[@]}"
}
echo
summary
[ -n "$report" ] && summary >"$report"
echo "Took $(($(seconds) - started)) s"
[ $((not_applicable + broken)) -eq 0 ] || exit 2
exit 0

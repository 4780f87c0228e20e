#!/usr/bin/env bash
# Puts small faults into the engine code, one at a time, and runs the tests
# that should notice each one. A fault the tests notice is "killed"; one
# they miss "survived"; one that does not build is "invalid" and left out
# of the score.
#
#   tools/mutate.sh [ID...]      all mutations of tools/mutations.txt, or only the named ones
#
# VELMORA_BUILD_DIR chooses the build folder (default build-mutate/ in the
# repository). The source file is always put back, also on Ctrl-C.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
list="$root/tools/mutations.txt"
helper="$root/tools/mutations.py"
build=${VELMORA_BUILD_DIR:-$root/build-mutate}
case $build in /*) ;; *) build=$PWD/$build ;; esac
logs=$build/mutate-logs
jobs=${VELMORA_JOBS:-2}

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-/work} CCACHE_NOHASHDIR=1
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}

records=$(python3 "$helper" list "$list") || exit 2
python3 "$helper" check "$list" "$root" >&2 || exit 2
mkdir -p "$logs" || exit 2

# The file under mutation and a copy of it as it was.
mutated=""
backup="$logs/original.bak"
restore() {
    if [ -n "$mutated" ]; then
        # A plain copy: the new time stamp makes the next build compile it again.
        cp "$backup" "$root/$mutated" && mutated=""
    fi
}
trap 'restore' EXIT
trap 'restore; echo "interrupted: source restored" >&2; exit 130' INT TERM HUP

# A run stopped by SIGKILL cannot put its file back: say so.
git -C "$root" diff --quiet -- src 2>/dev/null || echo "note: src/ differs from the last commit" >&2

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$logs/configure.log" 2>&1 || {
    echo "configure failed, see $logs/configure.log" >&2
    exit 2
}

# Tests of a CTest regex, one name a line.
tests_of() {
    (cd "$build" && ctest -N -R "$1") | sed -n 's/^ *Test *#[0-9]*: *\([a-z]*\.[a-z0-9_]*\)$/\1/p'
}

# Test "dir.name" is built by target "dir_name".
targets_of() { tr . _ | sort -u | tr '\n' ' '; }

build_and_test() { # regex targets log
    # shellcheck disable=SC2086
    cmake --build "$build" -j"$jobs" --target $2 >"$3" 2>&1 || return 2
    (cd "$build" && ctest -R "$1" --no-tests=error --timeout 120 -j"$jobs") >>"$3" 2>&1 || return 1
    return 0
}

wanted=" $* "
start=$(date +%s)

# Every selected test must pass on the unchanged code, or a kill means nothing.
# (CMake's regular expressions take few groups: the union is a list of names.)
all_tests=$(printf '%s\n' "$records" | while IFS=$'\t' read -r id file tests targets; do
    if [ $# -eq 0 ] || [[ $wanted == *" $id "* ]]; then tests_of "$tests"; fi
done | sort -u)
[ -n "$all_tests" ] || { echo "no such mutation or no matching test: $*" >&2; exit 2; }
all_regex="^($(printf '%s\n' "$all_tests" | sed 's/\./\\./' | paste -sd'|'))\$"
all_targets=$(printf '%s\n' "$all_tests" | targets_of)
if ! build_and_test "$all_regex" "$all_targets" "$logs/baseline.log"; then
    echo "the unchanged code does not build or pass its tests, see $logs/baseline.log" >&2
    exit 2
fi

killed=0
survived=0
invalid=0
survivors=()
while IFS=$'\t' read -r -u 3 id file tests targets; do
    [ $# -eq 0 ] || [[ $wanted == *" $id "* ]] || continue
    [ -n "$targets" ] || targets=$(tests_of "$tests" | targets_of)
    if [ -z "$targets" ]; then
        echo "$id: no test matches '$tests'" >&2
        exit 2
    fi
    cp "$root/$file" "$backup" || exit 2
    mutated=$file
    python3 "$helper" apply "$list" "$id" "$root" || exit 2
    t0=$(date +%s)
    build_and_test "$tests" "$targets" "$logs/$id.log" </dev/null
    case $? in
        0) result=survived; survived=$((survived + 1)); survivors+=("$id") ;;
        1) result=killed; killed=$((killed + 1)) ;;
        *) result=invalid; invalid=$((invalid + 1)) ;;
    esac
    restore
    printf '%-9s %-34s %-40s %3ss\n' "$result" "$id" "$file" $(($(date +%s) - t0))
done 3<<<"$records"

# Leave the build as the code is.
cmake --build "$build" -j"$jobs" --target $all_targets >"$logs/rebuild.log" 2>&1

n=$((killed + survived))
echo "invalid (did not build): $invalid"
[ ${#survivors[@]} -eq 0 ] || echo "survived: ${survivors[*]}"
echo "time: $(($(date +%s) - start))s"
if [ $n -gt 0 ]; then
    echo "score: $killed/$n ($((100 * killed / n))%)"
else
    echo "score: 0/0"
fi

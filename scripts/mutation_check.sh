#!/bin/sh
# Mutation check: applies each fault of a list, one at a time, to a scratch
# copy of the sources, rebuilds (incrementally, Release, no sanitizers) and
# runs the test suite (the ctest of the g++ test build; not the fuzz
# replay). A fault is caught when some test fails; a fault whose original
# text is not found exactly once is stale and not counted; one that does not
# compile is reported and not counted. Prints per fault its verdict and at
# the end the score, caught / (caught + missed).
#
# Usage: scripts/mutation_check.sh [FAULTS]    (default scripts/mutations.txt)
# FAULTS: one fault a line, FILE<TAB>ORIGINAL<TAB>REPLACEMENT<TAB>WHAT; {NL}
# stands for a line end. Only faults whose WHAT contains $MUTATION_FILTER
# (when set) are tried. JOBS (default 2) parallel compiles and tests.
# MUTATION_EXTRA_TESTS: test sources (space-separated paths) added to the
# scratch copy's tests/, to try new tests against the faults before adding
# them for good.
# The scratch copy is build/mutation-src (the work tree as it is, tracked and
# untracked files alike), built in build/mutation-build.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
faults=${1:-$root/scripts/mutations.txt}
src=$root/build/mutation-src
build=$root/build/mutation-build
jobs=${JOBS:-2}
filter=${MUTATION_FILTER:-}
log=$root/build/mutation.log

command -v python3 >/dev/null || { echo "mutation: python3 is needed" >&2; exit 2; }
mkdir -p "$root/build"
: >"$log"

# A build left with a fault applied (a run that was stopped) is thrown away.
[ -e "$build/.fault-applied" ] && rm -rf "$build"
mkdir -p "$build"

# The scratch copy: the work tree as it is, tracked and untracked files
# alike, staged whole and then synchronised into build/mutation-src file by
# file by content: a file that changed gets a new time and is compiled
# again, the others keep theirs and their objects.
stage=$root/build/mutation-stage
rm -rf "$stage"
mkdir -p "$stage" "$src"
(cd "$root" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) | tar -xf - -C "$stage"
for extra in ${MUTATION_EXTRA_TESTS:-}; do
    mkdir -p "$stage/tests/extra"
    cp "$extra" "$stage/tests/extra/"
done
python3 - "$stage" "$src" <<'SYNC'
import filecmp, os, shutil, sys
stage, src = sys.argv[1], sys.argv[2]
for base, dirs, files in os.walk(src, topdown=False):
    for name in files:
        path = os.path.join(base, name)
        if not os.path.exists(os.path.join(stage, os.path.relpath(path, src))):
            os.remove(path)
    if base != src and not os.listdir(base):
        os.rmdir(base)
for base, dirs, files in os.walk(stage):
    target = os.path.join(src, os.path.relpath(base, stage))
    os.makedirs(target, exist_ok=True)
    for name in files:
        a, b = os.path.join(base, name), os.path.join(target, name)
        if not os.path.exists(b) or not filecmp.cmp(a, b, shallow=False):
            shutil.copy2(a, b)
            os.utime(b)
SYNC
rm -rf "$stage"

compile() { cmake --build "$build" -j "$jobs" >>"$log" 2>&1; }
run_tests() { (cd "$build" && ctest -j "$jobs" --timeout 300 --stop-on-failure >>"$log" 2>&1); }

echo "mutation: building $build"
CXX=g++ cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORVEX_TESTS=ON >>"$log" 2>&1
compile || { echo "mutation: the unchanged sources do not build (see $log)" >&2; exit 2; }
run_tests || { echo "mutation: the tests fail without any fault (see $log)" >&2; exit 2; }

# apply N: puts fault N into the scratch copy (original kept beside it);
# prints "ok FILE", "stale FILE" or "skip". restore FILE: puts it back.
helper=$(mktemp)
trap 'rm -f "$helper"' EXIT
cat >"$helper" <<'EOF'
import os, sys

def faults(path):
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 4:
            sys.exit("bad fault line: " + line)
        yield [f.replace("{NL}", "\n") for f in fields]

command, src = sys.argv[1], sys.argv[2]
if command == "count":
    print(sum(1 for _ in faults(sys.argv[3])))
elif command == "describe":
    name, original, replacement, what = list(faults(sys.argv[3]))[int(sys.argv[4])]
    print(name + ": " + what)
elif command == "apply":
    name, original, replacement, what = list(faults(sys.argv[3]))[int(sys.argv[4])]
    if os.environ.get("MUTATION_FILTER", "") not in what:
        print("skip"); sys.exit()
    path = os.path.join(src, name)
    text = open(path, encoding="utf-8").read() if os.path.exists(path) else ""
    if text.count(original) != 1:
        print("stale " + name); sys.exit()
    os.replace(path, path + ".original")
    open(path, "w", encoding="utf-8").write(text.replace(original, replacement))
    print("ok " + name)
elif command == "restore":
    path = os.path.join(src, sys.argv[3])
    os.replace(path + ".original", path)
    os.utime(path)  # newer than the faulty object, so it is compiled again
EOF

count=$(python3 "$helper" count "$src" "$faults")
caught=0 missed=0 stale=0 broken=0
missed_list=""
i=0
while [ "$i" -lt "$count" ]; do
    what=$(python3 "$helper" describe "$src" "$faults" "$i")
    result=$(python3 "$helper" apply "$src" "$faults" "$i")
    i=$((i + 1))
    case $result in
        skip) continue ;;
        stale*) stale=$((stale + 1)); printf '%-8s %s\n' "stale" "$what"; continue ;;
    esac
    file=${result#ok }
    touch "$build/.fault-applied"
    echo "=== fault $i: $what" >>"$log"
    if ! compile; then
        verdict="no build"; broken=$((broken + 1))
    elif run_tests; then
        verdict="MISSED"; missed=$((missed + 1)); missed_list="$missed_list  $what
"
    else
        verdict="caught"; caught=$((caught + 1))
    fi
    python3 "$helper" restore "$src" "$file"
    printf '%-8s %s\n' "$verdict" "$what"
done

# The build back to the unchanged sources.
compile
rm -f "$build/.fault-applied"

counted=$((caught + missed))
echo
echo "mutation score: $caught of $counted caught ($(( counted > 0 ? 100 * caught / counted : 0 ))%);" \
    "$stale stale, $broken not building (not counted); log: $log"
if [ -n "$missed_list" ]; then
    echo "missed:"
    printf '%s' "$missed_list"
fi

#!/bin/sh
# Static analysis of src/ and fuzz/: clang-tidy with the checks chosen in
# .clang-tidy, then cppcheck (warning, style, performance and portability;
# the reasoned exceptions are in scripts/cppcheck-suppressions.txt). Both
# read the compile commands of build/lint, a clang configuration with the
# fuzz targets that is only configured, never built. Exits 1 on any
# finding, after listing each once.
# Usage: scripts/lint.sh   (JOBS=n for parallel clang-tidy runs)
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/lint
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
status=0

# Debug: assertions stay in, so the analyzer sees what the code promises.
mkdir -p "$build"
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DORVEX_FUZZ=ON \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    exit 2
}
# Only the sources of src/ and fuzz/ (tests/ and tools/ are not linted).
mkdir -p "$build/selected"
jq '[.[] | select(.file | test("/(src|fuzz)/"))]' "$build/compile_commands.json" \
    >"$build/selected/compile_commands.json"

echo "lint: clang-tidy on $(jq length "$build/selected/compile_commands.json") files"
log=$build/clang-tidy.log
run-clang-tidy -p "$build/selected" -j "$jobs" -quiet >"$log" 2>&1
tidy=$?
# A header's findings come once per file that includes it: each is listed once.
findings=$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -aE '^/.*: (warning|error): ' | sed "s|^$root/||" | sort -u)
if [ -n "$findings" ]; then
    printf '%s\n' "$findings"
    echo "lint: clang-tidy: $(printf '%s\n' "$findings" | wc -l) finding(s) (full output: $log)"
    status=1
elif [ "$tidy" -ne 0 ]; then
    sed 's/\x1b\[[0-9;]*m//g' "$log" | tail -n 30
    echo "lint: clang-tidy failed (full output: $log)"
    status=1
else
    echo "lint: clang-tidy: no findings"
fi

echo "lint: cppcheck"
if cppcheck --project="$build/selected/compile_commands.json" --std=c++20 -j "$jobs" -q \
    --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 \
    --suppress=missingIncludeSystem --suppressions-list="$root/scripts/cppcheck-suppressions.txt" \
    --template='{file}:{line}: {severity}: {message} [{id}]' 2>"$build/cppcheck.log"; then
    echo "lint: cppcheck: no findings"
else
    sed "s|^$root/||" "$build/cppcheck.log"
    echo "lint: cppcheck: findings above"
    status=1
fi
exit $status

#!/bin/sh
# Fuzzes each target of fuzz/ for FUZZ_SECONDS seconds (default 300) on
# FUZZ_JOBS parallel jobs (default: every core), starting from its seeds
# (fuzz/corpus/<target>) and from what earlier campaigns kept
# (build/fuzz/fuzz-work/corpus/<target>). A crash, timeout or memory blow-up
# is saved in fuzz/regressions/<target>/ for `make test` to replay; this
# script then exits 1. Prints per target: executions, executions per
# second, final coverage (cov: and ft: as libFuzzer counts them) and the
# number of new findings.
#
# fuzz_slow looks for slow and large inputs instead: it runs for
# SLOW_FUZZ_SECONDS (default 1800) from FUZZ_SLOW_BUILD (default
# build/fuzz-slow, built without the sanitizers, so that its time is near
# the release build's), with a limit of 1 s and 512 MB per input, inputs up
# to 192 KB (a scenario and pictures of at most 64 KB each).
#
# Usage: scripts/fuzz.sh [TARGET...]   (after `make fuzz-build`)
# FUZZ_BUILD (default build/fuzz) is the build directory to take the
# other targets from.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build/fuzz}
fast_seconds=${FUZZ_SECONDS:-300}
slow_seconds=${SLOW_FUZZ_SECONDS:-1800}
jobs=${FUZZ_JOBS:-$(nproc 2>/dev/null || echo 2)}
targets=${*:-"fuzz_run fuzz_picture fuzz_resource fuzz_slow"}
work=$build/fuzz-work

# The targets make their scratch directories under TMPDIR; one that
# crashed leaves its own behind, so all of them go at the end.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
trap 'rm -rf "$TMPDIR"' EXIT

count_findings() {
    find "$1" -maxdepth 1 -type f ! -name 'README*' ! -name '.gitkeep' | wc -l
}

summary=""
found=0
for target in $targets; do
    case $target in
        fuzz_slow)
            binary=${FUZZ_SLOW_BUILD:-$root/build/fuzz-slow}/fuzz/$target
            seconds=$slow_seconds
            limits="-timeout=1 -rss_limit_mb=512 -max_len=196608" ;;
        *)
            binary=$build/fuzz/$target
            seconds=$fast_seconds
            limits="-timeout=10 -rss_limit_mb=2048 -max_len=4096" ;;
    esac
    if [ ! -x "$binary" ]; then
        echo "fuzz: $binary is missing; run make fuzz-build first" >&2
        exit 2
    fi
    corpus=$work/corpus/$target
    findings=$root/fuzz/regressions/$target
    log=$work/$target.log
    mkdir -p "$corpus" "$findings"
    before=$(count_findings "$findings")

    echo "fuzz: $target for $seconds s on $jobs jobs (log: $log)"
    start=$(date +%s)
    # New inputs go to the first directory, the kept corpus; the seeds are
    # only read. With -fork, findings do not stop the campaign.
    # shellcheck disable=SC2086  # the limits are separate words
    "$binary" -fork="$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -max_total_time="$seconds" $limits \
        -dict="$root/fuzz/orvex.dict" -artifact_prefix="$findings/" \
        "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || true
    elapsed=$(( $(date +%s) - start ))
    [ "$elapsed" -gt 0 ] || elapsed=1

    # The last status line: "#N: cov: C ft: F corp: K exec/s E ..."
    last=$(grep -E '^#[0-9]+: cov: ' "$log" | tail -n 1 || true)
    execs=$(printf '%s\n' "$last" | sed -n 's/^#\([0-9]*\):.*/\1/p')
    cov=$(printf '%s\n' "$last" | sed -n 's/.* cov: \([0-9]*\).*/\1/p')
    ft=$(printf '%s\n' "$last" | sed -n 's/.* ft: \([0-9]*\).*/\1/p')
    corp=$(printf '%s\n' "$last" | sed -n 's/.* corp: \([0-9]*\).*/\1/p')
    execs=${execs:-0}
    new=$(( $(count_findings "$findings") - before ))
    found=$(( found + new ))
    line=$(printf '%-14s %10s execs %8s execs/s   cov: %-6s ft: %-7s corpus: %-6s new findings: %s' \
        "$target" "$execs" "$(( execs / elapsed ))" "${cov:-?}" "${ft:-?}" "${corp:-?}" "$new")
    echo "$line"
    summary="$summary$line
"
done

echo
echo "fuzz summary ($fast_seconds s per target, $slow_seconds s for fuzz_slow):"
printf '%s' "$summary"
if [ "$found" -gt 0 ]; then
    echo "fuzz: $found new finding(s) in fuzz/regressions/; make test replays them" >&2
    exit 1
fi

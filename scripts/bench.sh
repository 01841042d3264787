#!/bin/bash
# Times the release build on generated maps (make bench). For each series
# and size it prints the whole run's time (hyperfine, mean of several runs),
# the time per object, the floor measured in the same run (gd decoding the
# run's pictures and encoding its map, fastest of 5) and the ratio to it,
# then the time of each stage (fastest of the in-process runs), the peak
# memory and the map's SHA-256. The search benchmarks follow.
# Usage: scripts/bench.sh [SERIES...]   (crowded resampled spread pile big types pairs grid; default all)
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)
orvex=$top/build/release/orvex
tool=$top/build/release/bench/orvex_bench
searches=$top/build/release/bench/search_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$tool" pictures "$work"

series=${*:-crowded resampled spread pile big types pairs grid}

# One size of one series: scenario KIND N, run with the options that follow.
measure() {
    kind=$1 n=$2
    shift 2
    "$tool" scenario "$kind" "$n" > "$kind$n.scn"
    runs=5
    [ "$n" -ge 2000 ] && runs=3
    # hyperfine runs the command through the shell and takes the shell's
    # own start-up time off.
    hyperfine --warmup 1 --runs "$runs" --export-csv time.csv "$orvex $* -f $kind$n.gif < $kind$n.scn" > /dev/null
    whole=$(awk -F, 'NR == 2 { printf "%.1f", $2 * 1000 }' time.csv)
    # The pictures the run decodes: the background and each icon file once.
    pictures=$(awk 'NR == 2 && $1 != "-" { print } NR > 5 && $1 == "*" { exit } NR > 5 { print $2 }' "$kind$n.scn" | sort -u)
    floor=$("$tool" floor "$kind$n.gif" $pictures)
    peak=$(/usr/bin/time -f %M "$orvex" "$@" -f peak.gif < "$kind$n.scn" 2>&1 > /dev/null | tail -1)
    awk -v k="$kind" -v n="$n" -v w="$whole" -v f="$floor" -v p="$peak" 'BEGIN {
        printf "%-8s %7d  whole %9.1f ms  per object %8.4f ms  floor %7.1f ms  ratio %5.2f  peak %6.1f MB\n",
               k, n, w, w / n, f, w / f, p / 1024 }'
    "$tool" stages 3 "$@" -f "stages.gif" < "$kind$n.scn" | grep -v 'in-process' | paste -sd ' ' | tr -s ' ' |
        sed 's/^/           stages:/'
    echo "           sha256: $(sha256sum "$kind$n.gif" | cut -c1-64)"
}

for s in $series; do
    case $s in
        crowded) for n in 125 250 500 1000 2000 4000; do measure crowded "$n" -g -l -r colors.ini; done ;;
        spread) for n in 1000 10000 100000; do measure spread "$n"; done ;;
        pile) for n in 250 500 1000 2000; do measure pile "$n" -l; done ;;
        big) measure big 10 -l ;;
        resampled) measure crowded 500 -a -g -l -r colors.ini ;;
        types) measure types 50; measure types 4 -a ;;
        pairs) for n in 4000 10000; do measure pairs "$n"; done ;;
        grid) measure grid 1; measure grid 1 -g ;;
        *) echo "unknown series $s" >&2; exit 2 ;;
    esac
done

echo
"$searches" --benchmark_min_time=0.2

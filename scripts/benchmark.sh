#!/bin/bash
# Times the release build on a crowded map: OBJECTS objects (default 500)
# with tracks and labels on a 2000 x 1500 map with grid and legend.
# Usage: scripts/benchmark.sh [OBJECTS] [SCALE]   (after make demo)
set -eu
cd "$(dirname "$0")/.."
objects=${1:-500}
scale=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk -v n="$objects" -v scale="$scale" 'BEGIN {
    srand(1)
    print "Crowded waters"; print "sea.gif"; print 1; print "0 0 400 300"; print scale
    print "ship ship.gif 1.0 1"; print "submarine submarine.gif 1.0 1"; print "buoy buoy.gif 1.0 1"; print "*"
    split("ship submarine buoy", types, " ")
    for (i = 0; i < n; i++) {
        printf "Unit %d of the fleet\n", i
        printf "%s %.2f %.2f %d %d %.1f %d\n", types[1 + int(rand() * 3)], rand() * 400, rand() * 300,
               int(rand() * 12), int(rand() * 12), rand() * 8, int(rand() * 7) - 3
    }
    print "*"
}' > "$work/crowded.scn"

TIMEFORMAT="%R s elapsed"
time ./build/release/orvex -g -l -i examples -r examples/colors.ini -f "$work/crowded.gif" \
    < "$work/crowded.scn" > /dev/null

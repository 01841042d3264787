#!/bin/sh
# Checks the folder layering of the sources: a file includes only headers of
# its own folder or of the folders below it, and no file below src/app
# writes to the process's streams (stages hand their text to the reporter).
# Usage: scripts/check_layers.sh [SRC_DIR]   (exit 1 on any finding)
set -u
src=${1:-"$(dirname "$0")/../src"}
cd "$src" || exit 2

# The folders each folder may include from, besides itself. Programs built
# on the library (replay/) take its public header alone, checked below.
below() {
    case $1 in
        replay) echo "app" ;;
        app) echo "render scenario place imageops quantise base" ;;
        render) echo "scenario place imageops quantise base" ;;
        scenario) echo "place imageops quantise base" ;;
        place | imageops | quantise) echo "base" ;;
        base) echo "" ;;
        *) echo "UNKNOWN" ;;
    esac
}

status=0
report=$(mktemp)
for dir in */; do
    layer=${dir%/}
    allowed="$layer $(below "$layer")"
    case $allowed in *UNKNOWN*)
        echo "src/$layer: a folder that is not a known layer"; status=1; continue ;;
    esac
    for file in "$layer"/*; do
        grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]*/' "$file" | while IFS= read -r hit; do
            used=$(printf '%s\n' "$hit" | sed 's/^[0-9]*:[^"]*"\([^"/]*\)\/.*/\1/')
            case " $allowed " in
                *" $used "*) ;;
                *) echo "src/$file:${hit%%:*}: includes from $used/, which is not below $layer/" ;;
            esac
        done
        if [ "$layer" = replay ]; then
            grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | grep -v '"app/orvex.h"' |
                sed "s|^|src/$file:|; s|$|  <- a program beside the library includes only app/orvex.h|"
        fi
        if [ "$layer" != app ] && [ "$layer" != replay ]; then
            grep -n -E '\b(stdout|stderr|std::cout|std::cerr|std::clog)\b|\b(v?f?printf|v?s?n?printf|puts|fputs|putchar|perror)[[:space:]]*\(' "$file" |
                sed "s|^|src/$file:|; s|$|  <- printing below src/app|"
        fi
    done
done > "$report" 2>&1
if [ -s "$report" ]; then
    cat "$report"
    status=1
fi
rm -f "$report"
[ $status -eq 0 ] && echo "layers: every include goes downwards; nothing below src/app prints"
exit $status

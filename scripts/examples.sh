#!/bin/sh
# The example maps listed in examples/golden.sha256: each line holds the
# SHA-256 of a map and the command that draws it from the repository root,
#   HASH  orvex OPTION... -f NAME.gif < examples/SCENARIO.scn
#
# Usage: scripts/examples.sh check   BINARY           (make test)
#        scripts/examples.sh record  BINARY           (make golden)
#        scripts/examples.sh gallery BINARY GIFTOPNG  (make gallery)
#
# check draws every map with BINARY and compares it with its recorded hash;
# record writes the hashes of the maps BINARY draws into the file; gallery
# turns the maps into the README's pictures: docs/NAME.png, and
# examples/bay.png for the bundled example, then draws the replays of
# examples/replay/ with the orvex-replay beside BINARY, docs/replay.gif and
# docs/replay-steady.gif (--steady). Exit status 1 when a map differs or
# cannot be drawn, 2 for a usage error.
set -eu
export LC_ALL=C

usage() {
    echo "usage: $0 check|record BINARY | gallery BINARY GIFTOPNG" >&2
    exit 2
}
[ $# -ge 2 ] || usage
mode=$1
bin=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
case $mode in
    check | record) [ $# -eq 2 ] || usage ;;
    gallery) [ $# -eq 3 ] || usage; giftopng=$(cd "$(dirname "$3")" && pwd)/$(basename "$3") ;;
    *) usage ;;
esac
[ -x "$bin" ] || { echo "$0: $2 is not an executable" >&2; exit 2; }

repo=$(cd "$(dirname "$0")/.." && pwd)
golden=$repo/examples/golden.sha256
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The commands name examples/ relative to the repository root.
ln -s "$repo/examples" "$work/examples"

passed=0
failed=0
set -f  # the commands hold no patterns
while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    recorded=${line%%  *}
    command=${line#*  }
    # orvex OPTION... < SCENARIO: the words before '<' are the arguments.
    scenario=${command##*< }
    set -- ${command%% <*}
    shift  # the program name
    map=""
    previous=""
    for word in "$@"; do
        [ "$previous" = "-f" ] && map=$word
        previous=$word
    done
    if [ -z "$map" ] || [ "$scenario" = "$command" ]; then
        echo "$golden: no -f NAME.gif or no < SCENARIO in: $line" >&2
        exit 2
    fi

    if ! (cd "$work" && "$bin" "$@" < "$scenario" > "$work/out" 2> "$work/err"); then
        echo "FAILED $command"
        cat "$work/err"
        failed=$((failed + 1))
        continue
    fi
    if [ -s "$work/err" ]; then
        echo "WARNED $command"
        cat "$work/err"
        failed=$((failed + 1))
        continue
    fi
    drawn=$(sha256sum < "$work/$map" | cut -d' ' -f1)
    case $mode in
        check)
            if [ "$drawn" = "$recorded" ]; then
                echo "same    $map"
                passed=$((passed + 1))
            else
                echo "CHANGED $map: recorded $recorded, drawn $drawn"
                echo "        by: $command"
                failed=$((failed + 1))
            fi
            ;;
        record)
            [ "$drawn" = "$recorded" ] || echo "new hash for $map"
            echo "$drawn  $command" >> "$work/recorded"
            passed=$((passed + 1))
            ;;
        gallery)
            name=${map%.gif}
            case $name in bay) picture=examples/bay.png ;; *) picture=docs/$name.png ;; esac
            mkdir -p "$repo/$(dirname "$picture")"
            "$giftopng" "$work/$map" "$repo/$picture"
            echo "$picture  from: $command"
            passed=$((passed + 1))
            ;;
    esac
done < "$golden"
set +f

# The replays: the bundled game's four turns, as they are and with --steady.
if [ "$mode" = gallery ]; then
    mkdir "$work/docs"
    replay=$(dirname "$bin")/orvex-replay
    turns="examples/replay/turn1.scn examples/replay/turn2.scn examples/replay/turn3.scn examples/replay/turn4.scn"
    for name in replay replay-steady; do
        steady=""
        [ $name = replay-steady ] && steady=" --steady"
        # The README shows these command lines.
        command="-g -l -i examples -r examples/colors.ini$steady -o docs/$name.gif $turns"
        if (cd "$work" && "$replay" $command > "$work/out" 2> "$work/err") && [ ! -s "$work/err" ]; then
            cp "$work/docs/$name.gif" "$repo/docs/$name.gif"
            echo "docs/$name.gif  from: orvex-replay $command"
            passed=$((passed + 1))
        else
            echo "FAILED orvex-replay $command"
            cat "$work/err"
            failed=$((failed + 1))
        fi
    done
fi

if [ "$mode" = record ] && [ $failed -eq 0 ]; then
    # The comments stay; the map lines take their new hashes, in order.
    grep '^#' "$golden" > "$work/golden"
    cat "$work/recorded" >> "$work/golden"
    cp "$work/golden" "$golden"
    echo "recorded $passed hashes in examples/golden.sha256"
fi
echo "example maps: $passed passed, $failed failed"
[ $failed -eq 0 ]

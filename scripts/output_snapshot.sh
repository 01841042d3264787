#!/bin/bash
# Records what an orvex binary does on a fixed, varied set of scenarios, so
# that two builds can be compared output for output.
#
# Usage: scripts/output_snapshot.sh BINARY OUTDIR
#
#   BINARY  the orvex executable to run (e.g. build/release/orvex)
#   OUTDIR  where to record the results; created if missing, must be empty
#
# Every case runs in its own fresh working directory holding only the
# pictures and resource files it needs, with relative paths on the command
# line, so that messages do not depend on where the script runs. For each
# case, OUTDIR/<case>/ holds:
#
#   command   the command line and the scenario it read on standard input
#   stdout    standard output
#   stderr    standard error
#   status    exit status (124 means the case was stopped after 60 s)
#   *.gif     every file the run created or changed in its working
#             directory, at the same relative path: the map (orvex.gif or
#             the -f name) and, with -d, the turned icons (ship0.gif ...)
#
# The scenarios and resource files are generated here (heredocs, and awk
# with its own fixed-seed generator for the crowded maps), and the pictures
# come from examples/, so two runs of the same binary record the same bytes.
# Compare two snapshots with:
#
#   diff -r OUTDIR1 OUTDIR2
set -u
export LC_ALL=C

if [ $# -ne 2 ]; then
    echo "usage: $0 BINARY OUTDIR" >&2
    exit 2
fi

case $1 in
    */*) bin=$1 ;;
    *) bin=$(command -v -- "$1") || { echo "$0: $1 not found" >&2; exit 2; } ;;
esac
if [ ! -x "$bin" ] || [ -d "$bin" ]; then
    echo "$0: $1 is not an executable file" >&2
    exit 2
fi
bin=$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")

mkdir -p "$2" || exit 2
out=$(cd "$2" && pwd)
if [ -n "$(ls -A "$out")" ]; then
    echo "$0: $2 is not empty" >&2
    exit 2
fi

repo=$(cd "$(dirname "$0")/.." && pwd)
examples=$repo/examples

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/stage   # pictures and resource files the cases copy from
in=$work/in         # scenarios
mkdir -p "$stage" "$in" "$work/run"

cases=0

# run CASE SCENARIO "SETUP" [ARGS...]
# Runs the binary with ARGS in a fresh directory, SCENARIO on standard input.
# SETUP is a space-separated list of items placed in the directory first:
#   NAME            copy stage/NAME to NAME
#   NAME:PATH       copy stage/NAME to PATH (directories created)
#   mkdir:DIR       create an empty directory DIR
run() {
    local name=$1 scn=$2 setup=$3
    shift 3
    local dir=$work/run/$name rec=$out/$name item src dest
    mkdir -p "$dir" "$rec"
    for item in $setup; do
        case $item in
            mkdir:*) mkdir -p "$dir/${item#mkdir:}" ;;
            *:*)
                src=${item%%:*}
                dest=${item#*:}
                mkdir -p "$dir/$(dirname "$dest")"
                cp "$stage/$src" "$dir/$dest"
                ;;
            *) cp "$stage/$item" "$dir/$item" ;;
        esac
    done
    {
        printf 'orvex'
        [ $# -gt 0 ] && printf ' %q' "$@"
        printf ' < %s.scn\n' "$scn"
    } > "$rec/command"

    (cd "$dir" && find . -type f -print0 | xargs -0r sha1sum | sort) > "$work/before"
    (
        cd "$dir" || exit 1
        timeout 60 "$bin" "$@" < "$in/$scn.scn" > "$rec/stdout" 2> "$rec/stderr"
        echo $? > "$rec/status"
    )
    # Keep every file that is new or whose content changed.
    (cd "$dir" && find . -type f -print0 | xargs -0r sha1sum | sort) |
        comm -13 "$work/before" - |
        while read -r _ path; do
            mkdir -p "$rec/$(dirname "$path")"
            cp "$dir/$path" "$rec/$path"
        done
    rm -rf "$dir"
    cases=$((cases + 1))
}

# scenario NAME: stores standard input as scenario NAME.
scenario() { cat > "$in/$1.scn"; }

# crlf FROM TO: scenario TO is FROM with CRLF line ends.
crlf() { sed 's/$/\r/' "$in/$1.scn" > "$in/$2.scn"; }

# ---------------------------------------------------------------- pictures

for picture in sea ship submarine buoy; do
    cp "$examples/$picture.gif" "$stage/$picture.gif"
done
cp "$examples/colors.ini" "$stage/colors.ini"
printf 'This is a text file, not a GIF picture.\n' > "$stage/notgif.gif"
PICTURES="sea.gif ship.gif submarine.gif buoy.gif"

# ---------------------------------------------------------- resource files

cat > "$stage/all.ini" <<'EOF'
; every colour role set
[COLOR]
BACKGROUNDCOLOR = 10 20 40
FOREGROUNDCOLOR = 250 250 200
TITLETEXTCOLOR  = 255 255 0
LABELTEXTCOLOR  = 0 255 255
AXESCOLOR       = 200 100 50
AXESTEXTCOLOR   = 180 180 255
LEGENDCOLOR     = 255 128 0
LEGENDTEXTCOLOR = 128 255 128
LEADERCOLOR     = 255 0 255
COURSECOLOR     = 255 64 64
GRIDCOLOR       = 60 60 90
LOCUSCOLOR      = 255 255 255
EOF

cat > "$stage/bad.ini" <<'EOF'
; entries that are wrong in various ways
[COLOR]
GRIDCOLOR 40 40 40
AXESCOLOR = 300 0 0
TITLETEXTCOLOR = -1 0 0
LABELTEXTCOLOR = 10 20
COURSECOLOR = red green blue
LEADERCOLOR = 255 180 80 99
NOSUCHCOLOR = 1 2 3
LOCUSCOLOR = +255 0 0x10
=
LEGENDCOLOR = 1000000000000 0 0
AXESTEXTCOLOR = 200 200 200
EOF

cat > "$stage/section.ini" <<'EOF'
; a section line without its closing bracket, then other sections
[COLOR
GRIDCOLOR = 255 0 0
[OTHER]
AXESCOLOR = 255 0 0
[color]
TITLETEXTCOLOR = 255 0 0
LOCUSCOLOR = 255 255 0
[COLOR
COURSECOLOR = 0 255 0
EOF

# Comments, blank lines, lower case, no spaces, CRLF line ends; the first
# colour is not the background one.
sed 's/$/\r/' > "$stage/crlf.ini" <<'EOF'
; comment line
; another = 1 2 3

[COLOR]   ; section comment
gridcolor = 200 200 0 ; lower-case key
   LOCUSCOLOR=255 0 0
LeaderColor = 0 200 255;no space before the comment
; COURSECOLOR = 255 0 0
TITLETEXTCOLOR = 255 128 128
EOF

# A line longer than the reader's line piece: its rest reads as a new line.
{
    echo '[COLOR]'
    printf '; %s GRIDCOLOR = 255 0 0\n' "$(printf 'x%.0s' $(seq 1 260))"
    printf 'AXESCOLOR = 0 0 255%s\n' "$(printf ' %.0s' $(seq 1 300))"
    echo 'LOCUSCOLOR = 255 255 0'
} > "$stage/long.ini"

cat > "$stage/crowd.ini" <<'EOF'
[COLOR]
BACKGROUNDCOLOR = 0 0 0
LABELTEXTCOLOR  = 230 230 230
COURSECOLOR     = 255 255 96
GRIDCOLOR       = 90 120 150
LEADERCOLOR     = 255 180 80
LOCUSCOLOR      = 255 60 60
EOF

# ---------------------------------------------------------------- scenarios

scenario base <<'EOF'
Option test map
sea.gif
1
0 0 60 40
10
ship ship.gif 1.0 1
submarine submarine.gif 1.5 1
buoy buoy.gif 1.0 0
*
Alpha
ship 10 10 0 0 3 0
Bravo
ship 20 30 3 3 5 1
Charlie
submarine 40 15 6 7 4 -2
Delta
submarine 50 32 9 9 6 3
Echo buoy
buoy 30 20 0 0 0 0
Foxtrot
ship 55 5 11 10 2 -1
*
EOF

sed '2s/.*/-/' "$in/base.scn" > "$in/base_nobg.scn"
sed '2s/.*/nothere.gif/' "$in/base.scn" > "$in/base_missingbg.scn"
sed '2s/.*/notgif.gif/' "$in/base.scn" > "$in/base_textbg.scn"
sed '3s/.*/0/' "$in/base.scn" > "$in/base_notracks.scn"

# A map larger than sea.gif (320 x 200), so tiling shows.
scenario bigbg <<'EOF'
Wide waters
sea.gif
1
-20 -10 100 60
8
ship ship.gif 1 1
buoy buoy.gif 2 1
*
North
ship 0 50 2 2 6 1
South
ship 80 0 8 8 6 -1
Mark
buoy 40 25 0 0 0 0
*
EOF

scenario scales <<'EOF'
Icon scales
-
1
0 0 60 40
10
small ship.gif 0.5 1
plain ship.gif 1 1
large ship.gif 2.3 0
sub submarine.gif 2.3 1
tiny buoy.gif 0.5 0
mark buoy.gif 1 1
*
Small one
small 8 8 1 1 3 0
Plain one
plain 20 8 2 2 3 0
Large one
large 36 12 4 4 3 0
Sub one
sub 50 28 5 5 4 1
Tiny one
tiny 10 30 0 0 0 0
Mark one
mark 25 30 0 0 0 0
Large two
large 45 32 7 7 2 -1
*
EOF

scenario unknown <<'EOF'
Unknown type
-
1
0 0 40 30
10
ship ship.gif 1 1
*
Known
ship 10 10 2 2 3 0
Unknown
tank 20 20 2 2 3 0
Known again
ship 30 20 5 5 3 0
*
EOF

scenario turns <<'EOF'
Negative and odd turns
sea.gif
1
0 0 60 40
10
ship ship.gif 1 1
submarine submarine.gif 1 1
*
Minus one
ship 8 8 -1 -1 4 0
Minus thirteen
ship 20 8 -13 -13 4 5
Twelve
ship 32 8 12 12 4 -7
Big facing
ship 44 8 25 37 4 13
Turn minus twenty
submarine 8 28 3 -4 5 -20
Turn eleven
submarine 20 28 -6 6 5 11
Zero speed
submarine 32 28 4 4 0 3
Negative speed
submarine 44 28 2 2 -3 1
Fractional
ship 54 30 7 7 2.75 1
*
EOF

scenario thrust <<'EOF'
Thrust lines
-
1
0 0 60 40
10
ship ship.gif 1 1
submarine submarine.gif 1 1
*
North
ship 10 10 0 0 4 0
Forty-five
ship 20 10 45 2 4 0
East
ship 30 10 90 3 4 0
Almost north
ship 40 10 359 0 4 0
Minus thirty
submarine 10 30 -30 11 5 1
Seven twenty
submarine 20 30 720 0 5 -1
Two hundred
submarine 30 30 200 7 3 2
Long
submarine 45 25 135 4 12.5 0
*
EOF

scenario types <<'EOF'
Many types
sea.gif
1
0 0 70 40
10
frigate ship.gif 1 1
destroyer ship.gif 1.2 1
cruiser ship.gif 1.6 1
submarine submarine.gif 1 1
u-boat submarine.gif 0.8 0
buoy buoy.gif 1 1
wreck buoy.gif 1.5 1
*
F1
frigate 8 8 1 1 3 0
D1
destroyer 20 8 2 2 3 1
C1
cruiser 32 10 3 3 3 -1
S1
submarine 44 8 4 4 3 2
U1
u-boat 56 8 5 5 3 0
B1
buoy 10 30 0 0 0 0
W1
wreck 25 30 0 0 0 0
F2
frigate 40 30 10 10 4 0
*
EOF

scenario slash <<'EOF'
Diagnostics with odd type names
sea.gif
1
0 0 40 30
10
sub/marine submarine.gif 1 1
mark\buoy buoy.gif 1 1
*
Odd sub
sub/marine 10 10 3 3 4 1
Odd buoy
mark\buoy 30 20 0 0 0 0
*
EOF

# Crowded maps: clusters of labelled objects with tracks. awk uses its own
# generator (Park-Miller) so that every awk prints the same numbers.
crowded() {  # crowded BACKGROUND
    awk -v bg="$1" 'function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
    BEGIN {
        seed = 20240607
        print "Crowded waters: three hundred units in clusters"
        print bg; print 1; print "0 0 200 150"; print 5
        print "ship ship.gif 1.0 1"; print "submarine submarine.gif 0.8 1"; print "buoy buoy.gif 1.0 0"; print "*"
        split("ship submarine buoy", types, " ")
        for (c = 0; c < 8; c++) { cx[c] = 15 + rnd() * 170; cy[c] = 15 + rnd() * 120 }
        for (i = 0; i < 300; i++) {
            c = int(rnd() * 8)
            x = cx[c] + (rnd() + rnd() + rnd() - 1.5) * 16
            y = cy[c] + (rnd() + rnd() + rnd() - 1.5) * 12
            if (i % 7 == 0) printf "Unit %d of group %d with a longer label\n", i, c
            else printf "U%d\n", i
            printf "%s %.2f %.2f %d %d %.1f %d\n", types[1 + int(rnd() * 3)], x, y,
                   int(rnd() * 12), int(rnd() * 12), rnd() * 8, int(rnd() * 7) - 3
        }
        print "*"
    }'
}
crowded sea.gif | scenario crowded
crowded - | scenario crowded_nobg

# Bad scenarios.
: | scenario empty
printf 'Only a title\n' | scenario title_only

scenario bad_extent <<'EOF'
Reversed extent
-
1
80 50 0 0
10
*
*
EOF

scenario scale_zero <<'EOF'
Scale zero
-
1
0 0 80 50
0
*
*
EOF

scenario huge_extent <<'EOF'
Huge extent
-
1
0 0 10000000 10000000
1
*
*
EOF

scenario bad_number <<'EOF'
Bad number
-
1
0 0 40 30
10
ship ship.gif 1 1
*
Good
ship 10 10 0 0 3 0
Bad
ship 12x 10 0 0 3 0
*
EOF

scenario missing_icon <<'EOF'
Missing icon
-
1
0 0 40 30
10
ship ship.gif 1 1
ghost nothere.gif 1 1
*
*
EOF

scenario text_icon <<'EOF'
Text icon
-
1
0 0 40 30
10
ship notgif.gif 1 1
*
*
EOF

scenario ends_in_types <<'EOF'
Ends in the object types
sea.gif
1
0 0 40 30
10
ship ship.gif 1 1
EOF

scenario ends_in_objects <<'EOF'
Ends in the objects
sea.gif
1
0 0 40 30
10
ship ship.gif 1 1
*
Lonely
ship 20 15 3 3 4 0
EOF

scenario icon_too_big <<'EOF'
Icon scale too big
-
1
0 0 40 30
10
ship ship.gif 100 1
*
*
EOF

{
    printf 'A title that is much longer than seventy-nine characters, so the renderer must cut it short somewhere\n'
    printf -- '-\n1\n0 0 60 40\n10\nship ship.gif 1 1\n*\n'
    printf '%s\nship 10 10 2 2 3 0\n' "$(printf 'L%.0s' $(seq 1 77))"
    printf '%s\nship 10 20 2 2 3 0\n' "$(printf 'M%.0s' $(seq 1 78))"
    printf '%s\nship 10 30 2 2 3 0\n' "$(printf 'N%.0s' $(seq 1 79))"
    printf 'A label well over seventy-eight characters long, which has to be shortened before it is drawn on the map\nship 40 20 5 5 3 0\n'
    printf '*\n'
} | scenario long_text

scenario utf8_text <<'EOF'
Bataille de la baie — « Øresund » ½
-
1
0 0 40 30
10
ship ship.gif 1 1
*
Navire « Été »
ship 20 15 3 3 4 0
*
EOF

scenario reversed_extent <<'EOF'
Reversed extent
-
1
100 0 -100 100
1
*
*
EOF

scenario too_many_pixels <<'EOF'
Too many pixels
-
1
0 0 120000 80000
1
*
*
EOF

scenario unknown_then_bad <<'EOF'
An unknown type, then a bad item
-
1
0 0 40 30
10
ship ship.gif 1 1
*
Lost
boat 5 5 0 0 0 0
Found
ship 10 10 0 0 x 0
*
EOF

# A GIF whose first image is 4 pixels wide and 0 high, which gd refuses
# with a warning of its own.
printf 'GIF89a\4\0\4\0\200\0\0\0\0\0\377\377\377,\0\0\0\0\4\0\0\0\0\2\2\114\1\0;' > "$stage/flat.gif"
sed '2s/.*/flat.gif/' "$in/base.scn" > "$in/base_flatbg.scn"
sed 's/^buoy buoy.gif/buoy flat.gif/' "$in/base.scn" > "$in/base_flaticon.scn"

cp "$examples/bay.scn" "$in/bay.scn"
crlf base base_crlf

# ------------------------------------------------------------------- cases

# The bundled example, as make demo renders it.
run example_bay bay "sea.gif:examples/sea.gif ship.gif:examples/ship.gif submarine.gif:examples/submarine.gif buoy.gif:examples/buoy.gif colors.ini:examples/colors.ini" \
    -v -g -l -i examples -r examples/colors.ini

# Each option alone.
run plain base "$PICTURES"
run opt_a base "$PICTURES" -a
run opt_b base "$PICTURES" -b
run opt_d base "$PICTURES" -d
run opt_g base "$PICTURES" -g
run opt_l base "$PICTURES" -l
run opt_t base "$PICTURES" -t
run opt_v base "$PICTURES" -v
run opt_w bigbg "$PICTURES" -w
run opt_f base "$PICTURES" -f named.gif
run opt_f_subdir base "$PICTURES mkdir:maps" -f maps/named.gif
run opt_f_nodir base "$PICTURES" -f nodir/named.gif
run opt_f_dash_value base "$PICTURES" -f -g.gif
run opt_f_stdout base "$PICTURES" -f /dev/stdout
run opt_i base "sea.gif:pics/sea.gif ship.gif:pics/ship.gif submarine.gif:pics/submarine.gif buoy.gif:pics/buoy.gif" -v -i pics

# Options together.
run combo_agl base "$PICTURES" -a -g -l
run combo_bgltv base "$PICTURES" -b -g -l -t -v
run combo_all bigbg "sea.gif:pics/sea.gif ship.gif:pics/ship.gif buoy.gif:pics/buoy.gif all.ini" \
    -a -d -g -l -t -v -w -f all.gif -i pics -r all.ini
run combo_words base "$PICTURES" -verbose -Grid -LEGEND - -Antialias

# Resource files.
run res_all_roles base "$PICTURES all.ini" -v -g -l -r all.ini
run res_bad_entries base "$PICTURES bad.ini" -v -g -l -r bad.ini
run res_bad_section base "$PICTURES section.ini" -g -l -r section.ini
run res_comments_crlf base "$PICTURES crlf.ini" -g -l -r crlf.ini
run res_long_line base "$PICTURES long.ini" -g -r long.ini
run res_missing base "$PICTURES" -v -g -r nothere.ini

# Background pictures.
run bg_scaled bigbg "$PICTURES" -v
run bg_tiled_grid bigbg "$PICTURES" -w -g -l
run bg_none base_nobg "$PICTURES" -v -g
run bg_missing base_missingbg "$PICTURES" -v -g
run bg_text_file base_textbg "$PICTURES notgif.gif" -v
run no_tracks base_notracks "$PICTURES" -v -g -l

# Icons, turns and tracks.
run icon_scales scales "$PICTURES" -v -l
run icon_scales_a scales "$PICTURES" -a -l
run icon_unknown_type unknown "$PICTURES"
run icon_types types "$PICTURES" -l -g
run turns_negative turns "$PICTURES" -g
run thrust_degrees thrust "$PICTURES" -t -v -g

# Crowded maps.
run crowded_bg crowded "$PICTURES crowd.ini" -g -l -r crowd.ini
run crowded_nobg crowded_nobg "$PICTURES crowd.ini" -g -l -r crowd.ini
run crowded_thrust crowded "$PICTURES crowd.ini" -t -w -a -r crowd.ini

# Diagnostics: octree listing, turned icons as files, obstacle outlines.
run debug_bg base "$PICTURES" -d -v -g -l
run debug_tiled bigbg "$PICTURES" -d -w
run debug_nobg base_nobg "$PICTURES" -d
run debug_odd_names slash "$PICTURES" -d -v

# Bad inputs and usage errors.
run bad_empty empty "$PICTURES" -v
run bad_title_only title_only "$PICTURES"
run bad_extent bad_extent "$PICTURES"
run bad_scale_zero scale_zero "$PICTURES"
run bad_huge_extent huge_extent "$PICTURES"
run bad_number bad_number "$PICTURES" -v
run bad_missing_icon missing_icon "$PICTURES" -v
run bad_text_icon text_icon "$PICTURES notgif.gif" -v
run bad_ends_in_types ends_in_types "$PICTURES" -v
run bad_ends_in_objects ends_in_objects "$PICTURES"
run bad_icon_too_big icon_too_big "$PICTURES"
run usage_unknown_option base "$PICTURES" -g -x
run usage_f_without_value base "$PICTURES" -v -f
run long_title_and_labels long_text "$PICTURES" -v -l
run utf8_text utf8_text "$PICTURES" -v
run crlf_scenario base_crlf "$PICTURES" -v -g -l
run bad_reversed_extent reversed_extent "$PICTURES"
run bad_too_many_pixels too_many_pixels "$PICTURES"
run bad_after_unknown_type unknown_then_bad "$PICTURES" -v

# Maps that would replace an input of their run, and gd's own messages.
run out_is_icon base "$PICTURES" -f ship.gif
run out_is_background base "sea.gif:pics/sea.gif ship.gif:pics/ship.gif submarine.gif:pics/submarine.gif buoy.gif:pics/buoy.gif" -i pics -f pics/sea.gif
run out_is_resource base "$PICTURES colors.ini" -v -r colors.ini -f colors.ini
run gd_flat_background base_flatbg "$PICTURES flat.gif" -d
run gd_flat_icon base_flaticon "$PICTURES flat.gif" -d

echo "$cases cases recorded in $out"

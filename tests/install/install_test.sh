#!/bin/sh
# An install into a fresh prefix holds exactly tests/install/expected_files.txt,
# its orvex-replay draws an animated GIF;
# the embed example, built from the installed copy against that prefix both
# through pkg-config (its Makefile) and through find_package (its
# CMakeLists.txt), draws maps byte for byte equal to the installed program's,
# several in one process, and reports a failed run with its exit status; its
# image_map writes a page whose image map has an area over each label.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR BUILD_TYPE VERSION
set -eu
[ $# -eq 4 ] || { echo "usage: $0 BUILD_DIR SOURCE_DIR BUILD_TYPE VERSION" >&2; exit 2; }
build=$1
source=$2
config=$(printf '%s' "$3" | tr '[:upper:]' '[:lower:]')
version=$4
export LC_ALL=C

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() {
    echo "FAIL: $*"
    exit 1
}

# The files.
cmake --install "$build" --prefix "$prefix" > "$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort) > "$work/installed"
grep -v '^#' "$source/tests/install/expected_files.txt" | sed "s/@CONFIG@/$config/" | sort > "$work/expected"
diff -u "$work/expected" "$work/installed" || fail "the installed files are not those of tests/install/expected_files.txt"
for program in orvex orvex-replay; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
    zcat -f "$prefix/share/man/man1/$program.1" | cmp - "$source/docs/$program.1" ||
        fail "the manual page $program.1 is not docs/$program.1"
done
cmp "$source/src/app/orvex.h" "$prefix/include/orvex/orvex.h" || fail "include/orvex/orvex.h is not src/app/orvex.h"

# The library through pkg-config.
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
found=$(pkg-config --modversion orvex) || fail "pkg-config does not find orvex.pc"
[ "$found" = "$version" ] || fail "orvex.pc has version $found, not $version"
cp -R "$prefix/share/doc/orvex/examples/embed" "$work/embed-make"
make -s -C "$work/embed-make" CXXFLAGS="-O1 -Wall -Wextra -Werror" > "$work/make.log" 2>&1 ||
    { cat "$work/make.log"; fail "the embed example does not build through pkg-config"; }

# The library through CMake's find_package.
cmake -S "$prefix/share/doc/orvex/examples/embed" -B "$work/embed-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
    > "$work/cmake.log" 2>&1 && cmake --build "$work/embed-cmake" >> "$work/cmake.log" 2>&1 ||
    { cat "$work/cmake.log"; fail "the embed example does not build through find_package(orvex)"; }

# The same maps from the program and from the library, two maps in one process.
maps=$work/maps
mkdir "$maps"
cp "$prefix/share/doc/orvex/examples/"*.scn "$prefix/share/doc/orvex/examples/"*.gif \
   "$prefix/share/doc/orvex/examples/"*.ini "$maps/"
for name in bay harbour; do
    (cd "$maps" && "$prefix/bin/orvex" -g -l -i . -r colors.ini -f "cli-$name.gif" < "$name.scn" > /dev/null) ||
        fail "orvex does not draw $name.scn"
done
# The installed orvex-replay: two turns, one looping animated GIF.
(cd "$maps" && "$prefix/bin/orvex-replay" -g -l -i . -r colors.ini -o replay.gif bay.scn bay.scn) ||
    fail "orvex-replay does not draw a replay"
[ "$(head -c 6 "$maps/replay.gif")" = GIF89a ] && grep -q NETSCAPE2.0 "$maps/replay.gif" ||
    fail "orvex-replay did not write an animated GIF"

# The Makefile's build runs in the scenarios' folder, the CMake one from
# above it: the pictures come from the scenario's folder, the colour file
# from where -r names it.
for way in make cmake; do
    case $way in make) dir=$maps from="" ;; cmake) dir=$work from=maps/ ;; esac
    (cd "$dir" && "$work/embed-$way/render_maps" -r "${from}colors.ini" "${from}bay.scn" "${from}harbour.scn" \
        > "$work/out" 2> "$work/err") || { cat "$work/err"; fail "render_maps ($way) failed"; }
    [ ! -s "$work/err" ] || { cat "$work/err"; fail "render_maps ($way) warned"; }
    printf '%sbay.scn -> %sbay.gif\n%sharbour.scn -> %sharbour.gif\n' "$from" "$from" "$from" "$from" |
        cmp - "$work/out" || fail "render_maps ($way) reported otherwise"
    for name in bay harbour; do
        cmp "$maps/cli-$name.gif" "$maps/$name.gif" || fail "render_maps ($way) drew $name.gif otherwise than orvex"
        rm "$maps/$name.gif"
    done
done

# A failed run: its message after the scenario's name, exit status 1, and
# the next scenario still drawn.
printf 'Broken\n-\n1\n0 0 10 10\n10\nghost nothere.gif 1 1\n*\n*\n' > "$maps/broken.scn"
status=0
(cd "$maps" && "$work/embed-make/render_maps" broken.scn bay.scn > "$work/out" 2> "$work/err") || status=$?
[ $status -eq 1 ] || fail "render_maps exited with $status after a failed run, not 1"
printf 'broken.scn: **** Error unable to load source image nothere.gif\nbroken.scn: **** Aborting\n' |
    cmp - "$work/err" || { cat "$work/err"; fail "render_maps showed the failed run's messages otherwise"; }
[ -f "$maps/bay.gif" ] || fail "render_maps did not go on after a failed run"

# image_map: the map as orvex draws it, and a page with one area per drawn
# label, its rectangle the label's text and its title and alt the label,
# escaped. The object of an unknown type is left out, so it has no area.
printf '%s\n' 'Marks & <signs>' - 0 '0 0 40 20' 10 'ship ship.gif 1 1' '*' 'Tom & "Jerry" <1>' 'ship 10 10 0 0 0 0' \
    Plain 'ship 30 10 0 0 0 0' Lost 'ghost 20 5 0 0 0 0' '*' > "$maps/page.scn"
(cd "$maps" && "$prefix/bin/orvex" -g -l -i . -f cli-page.gif < page.scn > /dev/null 2>&1) || fail "orvex does not draw page.scn"
for way in make cmake; do
    (cd "$maps" && "$work/embed-$way/image_map" page.scn > "$work/out" 2> "$work/err") ||
        { cat "$work/err"; fail "image_map ($way) failed"; }
    echo 'page.scn -> page.gif, page.html' | cmp - "$work/out" || fail "image_map ($way) reported otherwise"
    grep -q '^page.scn: \*\*\*\* Warning unknown object type ghost' "$work/err" ||
        { cat "$work/err"; fail "image_map ($way) did not show the map's warning"; }
    cmp "$maps/cli-page.gif" "$maps/page.gif" || fail "image_map ($way) drew page.gif otherwise than orvex"
    page=$maps/page.html
    grep -q '<img src="page.gif" [^>]*usemap="#labels"' "$page" || fail "image_map ($way): page.html does not show page.gif"
    [ "$(grep -c '<area ' "$page")" -eq 2 ] || fail "image_map ($way): page.html has not one area per drawn label"
    escaped='Tom &amp; &quot;Jerry&quot; &lt;1&gt;'
    grep -qF "title=\"$escaped\" alt=\"$escaped\"" "$page" ||
        fail "image_map ($way): page.html has no area titled with the escaped label"
    coords=$(sed -n 's/.*<area shape="rect" coords="\([0-9]*,[0-9]*,[0-9]*,[0-9]*\)".*title="Plain".*/\1/p' "$page")
    [ -n "$coords" ] || fail "image_map ($way): page.html has no rectangle titled Plain"
    set -- $(echo "$coords" | tr , ' ')
    [ $(($3 - $1)) -eq 30 ] && [ $(($4 - $2)) -eq 13 ] ||
        fail "image_map ($way): the area of Plain is $coords, not the 30 x 13 pixels of its text"
    rm "$maps/page.gif" "$page"
done

echo "install: $(wc -l < "$work/installed") files as expected; the embed example matches orvex through pkg-config and CMake"

#!/bin/sh
# The manual pages of orvex and orvex-replay render without a warning from
# man or groff, and they and the README stay true to the programs: their
# version, every option of the usage messages, every colour role, and
# (README) every example map's command line as recorded in
# examples/golden.sha256.
# Usage: docs_test.sh SOURCE_DIR VERSION
set -eu
[ $# -eq 2 ] || { echo "usage: $0 SOURCE_DIR VERSION" >&2; exit 2; }
source=$1
version=$2
page=$source/docs/orvex.1
replay_page=$source/docs/orvex-replay.1
readme=$source/README.md
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for manual in "$page" "$replay_page"; do
    name=docs/$(basename "$manual")
    warnings=$(man --warnings -l "$manual" 2>&1 > /dev/null) || fail "man cannot format $name"
    [ -z "$warnings" ] || fail "man --warnings $name: $warnings"
    warnings=$(groff -man -ww -z "$manual" 2>&1) || fail "groff cannot format $name"
    [ -z "$warnings" ] || fail "groff -man -ww $name: $warnings"
done

grep -q "^\.TH ORVEX 1 .*\"orvex $version\"" "$page" || fail "the manual page's .TH line does not name orvex $version"
grep -q "^\.TH ORVEX-REPLAY 1 .*\"orvex $version\"" "$replay_page" ||
    fail "orvex-replay's manual page's .TH line does not name orvex $version"

# orvex-replay's own options, from its usage message, each with an entry
# (a .TP paragraph whose tag is the option).
usage=$(sed -n 's/^.*"usage: orvex-replay \(.*\)\\n";$/\1/p' "$source/src/replay/main.cpp")
[ -n "$usage" ] || fail "no usage message found in src/replay/main.cpp"
set -f  # its brackets are not patterns
options=$(printf '%s\n' $usage | tr -d '[]' | grep '^-')
set +f
for option in $options; do
    tag=$(printf '%s' "$option" | sed 's/-/\\-/g')
    TAG=$tag awk 'previous == ".TP" && ($0 == ".B " ENVIRON["TAG"] || index($0, ".BI " ENVIRON["TAG"] " ") == 1) { found = 1 }
                  { previous = $0 } END { exit !found }' "$replay_page" ||
        fail "orvex-replay's manual page has no entry for $option"
done

# The usage message: "usage: orvex -a -b -d -f filename.gif ...".
usage=$(sed -n 's/^.*"usage: orvex \(.*\)\\n";$/\1/p' "$source/src/app/command_line.cpp")
[ -n "$usage" ] || fail "no usage message found in src/app/command_line.cpp"
for word in $usage; do
    case $word in -?) ;; *) continue ;; esac
    letter=${word#-}
    grep -q "^\.BI\{0,1\} \\\\-$letter\( \|$\)" "$page" || fail "the manual page has no entry for -$letter"
    grep -q "^| \`-$letter[\` ]" "$readme" || fail "the README's option table has no -$letter"
done

roles=$(sed -n '/COLOR_ROLE_KEYS = {/,/};/p' "$source/src/base/color_roles.cpp" | grep -o '"[A-Z]*COLOR"' | tr -d '"')
[ -n "$roles" ] || fail "no colour roles found in src/base/color_roles.cpp"
for role in $roles; do
    grep -q "^\.B \(\\\\%\)\{0,1\}$role$" "$page" || fail "the manual page does not describe $role"
    grep -q "$role" "$readme" || fail "the README does not name $role"
done

missing=$(grep -v '^#' "$source/examples/golden.sha256" | while IFS= read -r line; do
    command=${line#*  }
    grep -qF "    $command" "$readme" || echo "$command"
done)
[ -z "$missing" ] || fail "the README does not show these example maps' commands:
$missing"

[ $failures -eq 0 ] || exit 1
echo "docs: the manual pages render cleanly and name every option and colour role; the README shows every example map"

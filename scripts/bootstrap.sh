#!/bin/sh
# Installs the Debian packages that building and testing orvex need, and
# those named as arguments (make package asks for its tools this way).
# Packages already present are skipped; apt-get runs only when something is missing.
# Usage: scripts/bootstrap.sh [PACKAGE...]
set -eu

# groff-base and man-db: make test checks that the manual page renders
# without warnings. libgif-dev: the replay's tests read its animated GIFs
# back with giflib's decoder, which is not gd's.
# clang, libclang-rt-14-dev (libFuzzer and the sanitizer runtimes) and llvm
# (llvm-symbolizer for readable reports): make test builds and replays the
# fuzz targets. clang-tidy, cppcheck and jq (which picks their files from
# the compile commands): make lint.
packages="g++ cmake make pkg-config libgd-dev libgtest-dev libgif-dev groff-base man-db $*"
packages="$packages clang libclang-rt-14-dev llvm clang-tidy cppcheck jq"

missing=""
for p in $packages; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi

echo "bootstrap: installing$missing"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing

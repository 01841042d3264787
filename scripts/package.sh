#!/bin/sh
# make package: builds the Debian package build/package/orvex_VERSION_ARCH.deb
# with CPack and checks it with lintian (no error and no warning allowed).
#
# The build is configured for /usr with the Debian layout (gzipped manual
# page and changelog) and Debian's hardening flags from dpkg-buildflags;
# before packing, the program is checked against the recorded example maps
# (examples/golden.sha256), so the package draws what the tests drew.
set -eu
cd "$(dirname "$0")/.."

# dpkg-dev: dpkg-buildflags and dpkg-shlibdeps (the package's Depends);
# file: CPack finds the ELF files for dpkg-shlibdeps with it.
sh scripts/bootstrap.sh dpkg-dev file lintian

build=build/package
jobs=${JOBS:-2}
# -g is left out: the program is stripped anyway, and liborvex.a is better
# shipped without the build's debug information.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
export DEB_CXXFLAGS_MAINT_STRIP="-g"
# -fno-ident: no compiler version .comment section in the objects, as
# Debian's strip tools would remove it.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -fno-ident"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DORVEX_DEBIAN_LAYOUT=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j "$jobs"
sh scripts/examples.sh check "$build/orvex"

rm -f "$build"/orvex_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/orvex_*.deb)
lintian --fail-on error,warning "$deb"
echo "package: $deb (lintian: no errors, no warnings)"

# make demo: install what is missing, build, render the bundled example to orvex.gif
# make test: install what is missing, build with sanitizers, run every test
# make install [PREFIX=/usr/local] [DESTDIR=]: build and install (see cmake/install.cmake)
# make package: the Debian package build/package/orvex_*.deb, checked with lintian
# make gallery: redraw the README's example maps (docs/*.png, examples/bay.png)
# make golden: record the example maps' checksums after a meant change of output
# make bench: time generated crowded, spread, piled and big-picture maps against gd's own floor (scripts/bench.sh)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local

.PHONY: demo test bootstrap release clean install package gallery golden bench

bootstrap:
	sh scripts/bootstrap.sh

release: bootstrap
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
	cmake --build build/release -j $(JOBS)

demo: release
	./build/release/orvex -v -g -l -i examples -r examples/colors.ini < examples/bay.scn

test: bootstrap
	cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_SANITIZE=ON -DORVEX_TESTS=ON
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest --output-on-failure -j $(JOBS)

install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

package:
	JOBS=$(JOBS) sh scripts/package.sh

gallery: release
	sh scripts/examples.sh gallery build/release/orvex build/release/tools/giftopng

golden: release
	sh scripts/examples.sh record build/release/orvex

bench: bootstrap
	sh scripts/bootstrap.sh hyperfine libbenchmark-dev time
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DORVEX_BENCH=ON
	cmake --build build/release -j $(JOBS)
	bash scripts/bench.sh


clean:
	rm -rf build

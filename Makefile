# make demo: install what is missing, build, render the bundled example to orvex.gif
# make test: install what is missing, build with sanitizers, run every test
#   (and the two-thread label layout's tests under ThreadSanitizer)
# make install [PREFIX=/usr/local] [DESTDIR=]: build and install (see cmake/install.cmake)
# make package: the Debian package build/package/orvex_*.deb, checked with lintian
# make gallery: redraw the README's example maps (docs/*.png, examples/bay.png) and replays (docs/replay*.gif)
# make golden: record the example maps' checksums after a meant change of output
# make fuzz [FUZZ_SECONDS=300] [SLOW_FUZZ_SECONDS=1800]: run each fuzz target that long on all cores,
#   then the search for slow inputs (scripts/fuzz.sh)
# make lint: clang-tidy and cppcheck over src/ and fuzz/ (scripts/lint.sh)
# make bench: time generated crowded, spread, piled and big-picture maps against gd's own floor (scripts/bench.sh)
# make mutation [MUTATION_COUNT=200] [MUTATION_SEED=1] [MUTATION_FIXED=no]: a seeded sample of faults made
#   by rule over src/, one by one against the tests (scripts/mutation_sample.py), then the fixed set
# make mutation-fixed: the fixed set only: the faults of scripts/mutations.txt one by one against the tests
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 300
SLOW_FUZZ_SECONDS ?= 1800

.PHONY: demo test bootstrap release clean install package gallery golden fuzz-build fuzz lint mutation mutation-fixed bench

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
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	cd build/fuzz && ctest --output-on-failure -j $(JOBS)
	cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_THREAD_SANITIZE=ON
	cmake --build build/tsan -j $(JOBS) --target orvex_thread_tests
	cd build/tsan && ctest --output-on-failure -j $(JOBS)

install: release
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"

package:
	JOBS=$(JOBS) sh scripts/package.sh

gallery: release
	sh scripts/examples.sh gallery build/release/orvex build/release/tools/giftopng

golden: release
	sh scripts/examples.sh record build/release/orvex

# The fuzz targets: the whole project built by clang with the sanitizers and
# libFuzzer's instrumentation (fuzz/CMakeLists.txt); and again without the
# sanitizers, for the search for slow inputs.
fuzz-build: bootstrap
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEX_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	CC=clang CXX=clang++ cmake -S . -B build/fuzz-slow -DCMAKE_BUILD_TYPE=Release -DORVEX_FUZZ=ON -DORVEX_FUZZ_SANITIZE=OFF
	cmake --build build/fuzz-slow -j $(JOBS) --target fuzz_slow

fuzz: fuzz-build
	FUZZ_SECONDS=$(FUZZ_SECONDS) SLOW_FUZZ_SECONDS=$(SLOW_FUZZ_SECONDS) FUZZ_JOBS=$(JOBS) sh scripts/fuzz.sh

bench: bootstrap
	sh scripts/bootstrap.sh hyperfine libbenchmark-dev time
	cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DORVEX_BENCH=ON
	cmake --build build/release -j $(JOBS)
	bash scripts/bench.sh

lint: bootstrap
	JOBS=$(JOBS) sh scripts/lint.sh

# The sampler is Python, and so is the fixed set's helper.
mutation: bootstrap
	sh scripts/bootstrap.sh python3
	JOBS=$(JOBS) python3 scripts/mutation_sample.py
	if [ "$(MUTATION_FIXED)" != no ]; then JOBS=$(JOBS) sh scripts/mutation_check.sh; fi

mutation-fixed: bootstrap
	sh scripts/bootstrap.sh python3
	JOBS=$(JOBS) sh scripts/mutation_check.sh

clean:
	rm -rf build

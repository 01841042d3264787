# make demo: install what is missing, build, render the bundled example to orvex.gif
# make test: install what is missing, build with sanitizers, run every test
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test bootstrap release clean

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

clean:
	rm -rf build

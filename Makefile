# make test: install what is missing, build everything, run every test.
# make run:  build and run the saver.
# make package: the Debian package, build/native/vyla_VERSION_ARCH.deb.
SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
ASAN := build/asan
FUZZ := build/fuzz
FUZZ_SECONDS ?= 10
WIN32 := build/win32
WIN64 := build/win64
# The native tree whose helper computes what the module must show under Wine.
WINTEST_NATIVE ?= $(NATIVE)

.PHONY: all deps native asan fuzz test run bench clean win32 win64 wine-helper wintest package

all: native

deps:
	@tools/deps.sh

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo

native: deps $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

$(ASAN)/CMakeCache.txt:
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DVYLA_SANITIZE=ON -DVYLA_UNIT_TESTS_ONLY=ON

asan: deps $(ASAN)/CMakeCache.txt
	cmake --build $(ASAN) -j $(JOBS)

$(FUZZ)/CMakeCache.txt:
	cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVYLA_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

fuzz: deps $(FUZZ)/CMakeCache.txt
	cmake --build $(FUZZ) -j $(JOBS)
	@for f in dib_fuzz ini_fuzz; do \
	  mkdir -p $(FUZZ)/corpus/$$f; \
	  echo "fuzzing $$f for $(FUZZ_SECONDS) s"; \
	  $(FUZZ)/tests/fuzz/$$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=2048 -print_final_stats=0 \
	    $(FUZZ)/corpus/$$f tests/fuzz/corpus/$$f 2>$(FUZZ)/$$f.log || { tail -40 $(FUZZ)/$$f.log; exit 1; }; \
	done

# The Windows module, cross-built 32-bit and 64-bit, each tree with its test programs.
$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

# (A 32-bit tree configured before its tests ran under Wine is switched on once.)
win32: deps $(WIN32)/CMakeCache.txt
	@! grep -q '^VYLA_WINDOWS_TESTS:BOOL=OFF' $(WIN32)/CMakeCache.txt || cmake -S . -B $(WIN32) -DVYLA_WINDOWS_TESTS=ON
	cmake --build $(WIN32) -j $(JOBS)

$(WIN64)/CMakeCache.txt:
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

win64: deps $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

wine-helper: deps
	@test -f $(WINTEST_NATIVE)/CMakeCache.txt || cmake -S . -B $(WINTEST_NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(WINTEST_NATIVE) -j $(JOBS) --target vyla_wine_expect

# Both modules' PE headers, imports and resources; then each module under Wine with
# its own tree's test programs (one display and monitor, two monitors, the own desktop,
# another locale, the entry points; the 32-bit one under WoW64, where the kernel runs it).
# Last, Vyla's settings reader and writer held to the system's profile calls of both
# modules' Wine over a corpus of files: any difference not listed as known fails.
wintest: win32 win64 wine-helper
	python3 tests/win/pe_check.py $(WIN32)/vyla.scr i386 .
	python3 tests/win/pe_check.py $(WIN64)/vyla.scr amd64 .
	python3 tests/win/wine_suite.py --build $(WIN64) --expect $(WINTEST_NATIVE)/tests/win/vyla_wine_expect
	python3 tests/win/wine_suite.py --build $(WIN32) --expect $(WINTEST_NATIVE)/tests/win/vyla_wine_expect
	python3 tests/win/profile_diff.py --summary --expect $(WINTEST_NATIVE)/tests/win/vyla_wine_expect \
	  --build $(WIN64) --build $(WIN32)

test: native asan fuzz
	cd $(ASAN) && ctest --output-on-failure
	cd $(NATIVE) && ctest --output-on-failure
	$(MAKE) wintest

package: native
	cmake --build $(NATIVE) --target package

run: native
	@tools/run.sh

# The raster benchmarks, then the running saver beside its peers on Xvfb.
bench: native
	@tools/deps.sh bench
	$(NATIVE)/bench/vyla_raster_bench
	bench/x11_idle.sh $(NATIVE)
	bench/idle_watch.sh $(NATIVE)

clean:
	rm -rf build out

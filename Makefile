# make test: install what is missing, build everything, run every test.
# make run:  build and run the saver.
SHELL := /bin/bash
JOBS ?= 2
NATIVE := build/native
ASAN := build/asan
FUZZ := build/fuzz
FUZZ_SECONDS ?= 10

.PHONY: all deps native asan fuzz test run bench clean

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

test: native asan fuzz
	cd $(ASAN) && ctest --output-on-failure
	cd $(NATIVE) && ctest --output-on-failure

run: native
	@tools/run.sh

bench: native
	$(NATIVE)/bench/vyla_raster_bench

clean:
	rm -rf build out

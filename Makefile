# Brimvale: the two commands that matter are `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_JOBS  ?= 2
FUZZ_TARGETS ?=
# Reaches the makes CMake runs too: no "Entering/Leaving directory" lines.
MAKEFLAGS += --no-print-directory

.PHONY: all deps build run test unit-asan bench golden install package fuzz clean

all: build

deps:
	@bash scripts/deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/game && ./brimvale

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory unit-asan

# The unit tests once more, under AddressSanitizer and UndefinedBehaviorSanitizer.
unit-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRIMVALE_SANITIZE=ON -DBRIMVALE_UNIT_ONLY=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers.supp \
	    UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) -L unit

# Rewrites tests/golden after an intended change of the art or the drawing;
# look at the pictures before committing them.
golden: build
	@sh scripts/update-golden.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done

# Into CMake's prefix (/usr/local), or PREFIX=DIR; DESTDIR is honoured.
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# The Debian package build/brimvale_VERSION_ARCH.deb (apt install ./build/brimvale_*.deb).
package: build
	cd $(BUILD) && cpack -G DEB

# libFuzzer targets of the file readers, built with clang in their own tree and
# run FUZZ_SECONDS each, FUZZ_JOBS at a time (FUZZ_TARGETS picks some by name).
# The level target loads its days over the generated data set of $(BUILD).
fuzz:
	@bash scripts/deps.sh fuzz
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target brimvale_gamedata
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMVALE_FUZZ=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@BRIMVALE_FUZZ_DATA=$(abspath $(BUILD))/game/data bash scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

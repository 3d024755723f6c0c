# Entry points for players and developers; see README.md.
BUILD      ?= build
BUILD_TYPE ?= Release
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE_FLAGS ?=
# make install: where the game goes (the programs look for their data under PREFIX/share/morphella);
# DESTDIR, when set, is put in front of every installed path.
PREFIX     ?= /usr/local

.PHONY: all deps configure build play test install package asan tsan bench fuzz fuzz-build fuzz-long clean debug

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

debug:
	@$(MAKE) --no-print-directory build BUILD=build-debug BUILD_TYPE=Debug

play: build
	@scripts/play $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 300

# An existing build is only brought up to date (sudo make install leaves the configuration alone).
install:
	@[ -f $(BUILD)/CMakeCache.txt ] || $(MAKE) --no-print-directory configure
	@cmake --build $(BUILD) -j $(JOBS)
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)

package: build
	@cd $(BUILD) && cpack --config CPackConfig.cmake

asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMPH_SANITIZE=address -DMPH_BENCH=OFF >/dev/null
	@ASAN_OPTIONS=detect_leaks=0 cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j $(JOBS) --timeout 600

tsan: deps
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMPH_SANITIZE=thread -DMPH_BENCH=OFF >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/tests/tsan.supp \
		ctest --output-on-failure -j $(JOBS) --timeout 600

bench: build
	@scripts/bench $(BUILD)

fuzz-build: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMPH_FUZZ=ON >/dev/null
	@ASAN_OPTIONS=detect_leaks=0 cmake --build build-fuzz -j $(JOBS)

fuzz: fuzz-build
	@scripts/fuzz build-fuzz $(FUZZ_SECONDS)

# Every target until a million executions (an hour each at most); the minimised corpus goes back into fuzz/corpus.
fuzz-long: fuzz-build
	@scripts/fuzz-long build-fuzz

clean:
	rm -rf build build-debug build-asan build-tsan build-fuzz

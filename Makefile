# The commands of the README:
#   make test   install what is missing, build everything, run every test
#   make run    install what is missing, build, start ColorTintvane.exe under Wine
#   make dist   install what is missing, build, make the release zips in dist/
# Two Windows builds of the one program: build/win (32-bit, the product as
# specified) and build/win64 (64-bit). Tests, run and bench use every build
# this machine can run (scripts/windows-builds.sh); TINTVANE_HOST_64_ONLY=1
# makes them act as a host that runs 64-bit programs only would.
BUILD := build
JOBS ?= $(shell nproc)
CMAKE_TYPE ?= RelWithDebInfo

.PHONY: all setup build build-native build-asan build-fuzz build-win build-win64 test run dist bench fuzz clean

all: build

setup:
	@bash scripts/setup.sh

build: build-native build-asan build-fuzz build-win build-win64

build-native: setup
	@cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=$(CMAKE_TYPE) >/dev/null
	@cmake --build $(BUILD)/native -j$(JOBS)

build-asan: setup
	@cmake -S . -B $(BUILD)/asan -DCMAKE_BUILD_TYPE=Debug -DTINTVANE_SANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/asan -j$(JOBS)

# libFuzzer targets, built with clang; ctest runs each for a bounded number of inputs.
build-fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINTVANE_FUZZ=ON >/dev/null
	@cmake --build $(BUILD)/fuzz -j$(JOBS) --target fuzz_targets

# Whether this machine runs the 32-bit build's programs: ON or OFF.
RUNS_WIN32 = $$(bash scripts/windows-builds.sh | grep -qx win32 && echo ON || echo OFF)

build-win: setup
	@cmake -S . -B $(BUILD)/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=$(CMAKE_TYPE) \
	  -DTINTVANE_WINE_RUNS=$(RUNS_WIN32) >/dev/null
	@cmake --build $(BUILD)/win -j$(JOBS)

build-win64: setup
	@cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=$(CMAKE_TYPE) >/dev/null
	@cmake --build $(BUILD)/win64 -j$(JOBS)

# One ctest run over every build tree, so its summary covers everything.
test: build
	@bash scripts/test.sh $(BUILD) $(JOBS)

run: build-win build-win64
	@bash scripts/run.sh $(BUILD)

# The release: dist/ColorTintvane-VERSION-win32.zip and -win64.zip (the
# program, README.txt, LICENSE.txt), their folders and SHA256SUMS.
dist: build-win build-win64
	@rm -rf dist
	@python3 scripts/dist.py $(BUILD) dist

# The Windows benchmarks run with the build this machine runs: the 32-bit
# one where it can, else the 64-bit one (scripts/windows-builds.sh says which).
bench: build-native build-win build-win64
	@$(BUILD)/native/settings_bench
	@$(BUILD)/native/names_bench
	@$(BUILD)/native/raster_bench
	@bash scripts/bench.sh $(BUILD)

# The long fuzz run: every target to 10 million executions (at most two hours
# each), one after the other at the lowest priority; the figures go into
# docs/reliability.md. FUZZ_ARGS passes options on, e.g. FUZZ_ARGS="--runs 100000".
fuzz: build-fuzz
	@python3 scripts/fuzz_campaign.py $(BUILD)/fuzz $(FUZZ_ARGS)

clean:
	rm -rf $(BUILD) dist

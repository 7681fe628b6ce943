# The two commands of the README:
#   make test   install what is missing, build everything, run every test
#   make run    install what is missing, build, start ColorTintvane.exe under Wine
BUILD := build
JOBS ?= $(shell nproc)
CMAKE_TYPE ?= RelWithDebInfo

.PHONY: all setup build build-native build-asan build-fuzz build-win test run bench fuzz clean

all: build

setup:
	@bash scripts/setup.sh

build: build-native build-asan build-fuzz build-win

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

build-win: setup
	@cmake -S . -B $(BUILD)/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=$(CMAKE_TYPE) >/dev/null
	@cmake --build $(BUILD)/win -j$(JOBS)

# One ctest run over the four build trees, so its summary covers everything.
test: build
	@printf 'subdirs("native")\nsubdirs("asan")\nsubdirs("fuzz")\nsubdirs("win")\n' > $(BUILD)/CTestTestfile.cmake
	@bash scripts/wine-session.sh $(BUILD) ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

run: build-win
	@bash scripts/run.sh $(BUILD)

bench: build-native build-win
	@$(BUILD)/native/settings_bench
	@$(BUILD)/native/names_bench
	@$(BUILD)/native/raster_bench
	@bash scripts/wine-session.sh $(BUILD) wine $(BUILD)/win/picker_tick_bench.exe
	@bash scripts/wine-session.sh $(BUILD) wine $(BUILD)/win/startup_bench.exe $(BUILD)/win/ColorTintvane.exe $(BUILD)/win/bare_window.exe $(BUILD)/win/controls_window.exe

# The long fuzz run: every target to 10 million executions (at most two hours
# each), one after the other at the lowest priority; the figures go into
# docs/reliability.md. FUZZ_ARGS passes options on, e.g. FUZZ_ARGS="--runs 100000".
fuzz: build-fuzz
	@python3 scripts/fuzz_campaign.py $(BUILD)/fuzz $(FUZZ_ARGS)

clean:
	rm -rf $(BUILD)

# The front door: `make` builds, `make test` runs every test on both processors,
MAKEFLAGS += --no-print-directory
# `make demo` runs the stand-in host against the simulated drive.
JOBS      ?= 2
BUILD     ?= build
BUILD_ARM ?= build-arm
BUILD_SAN ?= build-sanitize
DEPS      := scripts/install-deps.sh
CTEST     := ctest --output-on-failure -j$(JOBS)

.PHONY: bench all build arm test test-native test-arm test-sanitize transcript demo screenshots clean

all: build

build:
	@$(DEPS) build gui
	@test -f $(BUILD)/Makefile || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(BUILD) -j$(JOBS)

arm:
	@$(DEPS) build arm
	@test -f $(BUILD_ARM)/Makefile || cmake -S . -B $(BUILD_ARM) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(BUILD_ARM) -j$(JOBS)

test-native: build
	@cd $(BUILD) && $(CTEST)

test-arm: arm
	@cd $(BUILD_ARM) && $(CTEST)

# Both builds play the same scripted host session; their transcripts must be identical.
transcript: build arm
	@scripts/compare-transcripts.sh $(BUILD) $(BUILD_ARM)

test: test-native test-arm transcript

test-sanitize:
	@$(DEPS) build gui
	@test -f $(BUILD_SAN)/Makefile || cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DKORVAN_SANITIZE=ON
	@cmake --build $(BUILD_SAN) -j$(JOBS)
	@cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(CTEST)

# Pictures of both dialogs, taken on Xvfb: docs/channel-dialog.png, docs/add-channel-dialog.png.
screenshots: build
	@mkdir -p docs
	@NO_AT_BRIDGE=1 GDK_BACKEND=x11 timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" \
	  $(BUILD)/korvan-screenshots $(BUILD)/Korvan.drv docs

demo: build
	@$(BUILD)/korvan-host demo --driver $(BUILD)/Korvan.drv

# Figures, not assertions: collection calls against the paced simulated drive at 9600
# 8E1 and 115200 8N1 (waking on input beside a plain 10 ms sleep), and micro-benchmarks.
bench: build
	@$(DEPS) bench
	@cmake --build $(BUILD) -j$(JOBS) --target wire_bench micro_bench korvan_drv_sleepwait
	@$(BUILD)/wire_bench $(BUILD)/Korvan.drv $(BUILD)/Korvan-sleepwait.drv 300
	@echo
	@$(BUILD)/micro_bench --benchmark_min_time=0.2

clean:
	rm -rf $(BUILD) $(BUILD_ARM) $(BUILD_SAN)

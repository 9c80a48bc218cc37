# The front door: `make` builds, `make test` runs every test on x86-64, ARM and Windows,
MAKEFLAGS += --no-print-directory
# `make demo` runs the stand-in host against the simulated drive.
JOBS      ?= 2
BUILD     ?= build
BUILD_ARM ?= build-arm
BUILD_WIN ?= build-win32
BUILD_SAN ?= build-sanitize
BUILD_TSAN ?= build-tsan
BUILD_FUZZ ?= build-fuzz
BUILD_SOAK ?= build-soak
BUILD_SOAK_LEAKS ?= build-soak-leaks
BUILD_PACKAGE ?= build-package
BUILD_REPRO ?= build-reproducible
DIST      ?= dist
FUZZ_SECONDS ?= 60
SOAK_CALLS ?= 20000
SOAK_COMMANDS ?= 2000
DEPS      := scripts/install-deps.sh
CTEST     := ctest --output-on-failure -j$(JOBS)

.PHONY: bench bench-windows all build arm windows test-windows test test-native test-arm test-sanitize test-tsan transcript demo screenshots fuzz soak soak-short package test-package check-reproducible clean

all: build

# Configured each time (a second or two): a build folder that `make demo` made before
# the test packages were there finds them now.
build:
	@$(DEPS) build gui
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_TESTS=ON > /dev/null
	@cmake --build $(BUILD) -j$(JOBS)

arm:
	@$(DEPS) build arm
	@test -f $(BUILD_ARM)/Makefile || cmake -S . -B $(BUILD_ARM) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabi.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(BUILD_ARM) -j$(JOBS)

# The 32-bit Windows DLL, its tests and the Windows transcript program, with
# Debian's mingw-w64 compiler; programs that run at build time run under Wine.
windows:
	@$(DEPS) build windows
	@test -f $(BUILD_WIN)/Makefile || cmake -S . -B $(BUILD_WIN) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DKORVAN_LINUX_BUILD=$(abspath $(BUILD))
	@scripts/wine-session.sh $(BUILD_WIN) cmake --build $(BUILD_WIN) -j$(JOBS)

# Under Wine, in a 32-bit prefix under $(BUILD_WIN); the COM-port tests and the
# transcript reach the Linux build's simulated drive.
test-windows: windows build
	@scripts/wine-session.sh $(BUILD_WIN) sh -c 'cd $(BUILD_WIN) && $(CTEST)'

# Figures, not assertions: the Windows DLL under Wine on a COM port against the paced
# simulated drive at 9600 8E1, beside the Linux driver's figures of the same run.
bench-windows: windows
	@cmake --build $(BUILD) -j$(JOBS) --target wire_bench korvan_drv korvan_drv_sleepwait
	@scripts/wine-session.sh $(BUILD_WIN) cmake --build $(BUILD_WIN) -j$(JOBS) --target wire_bench_win korvan_drv_sleepwait
	@scripts/wine-session.sh $(BUILD_WIN) scripts/bench-windows.sh $(abspath $(BUILD)) $(abspath $(BUILD_WIN)) 300

test-native: build
	@cd $(BUILD) && $(CTEST)

test-arm: arm
	@cd $(BUILD_ARM) && $(CTEST)

# Both builds play the same scripted host session; their transcripts must be identical.
transcript: build arm
	@scripts/compare-transcripts.sh $(BUILD) $(BUILD_ARM)

test: test-native test-arm transcript test-windows

test-sanitize:
	@$(DEPS) build gui
	@test -f $(BUILD_SAN)/Makefile || cmake -S . -B $(BUILD_SAN) -DCMAKE_BUILD_TYPE=Debug -DKORVAN_SANITIZE=ON
	@cmake --build $(BUILD_SAN) -j$(JOBS)
	@cd $(BUILD_SAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(CTEST)

# Under ThreadSanitizer, building only what it runs: four devices on four threads at
# once through one loaded driver, and the tests of the entry points and the built driver.
TSAN_TESTS := devices_on_threads_test abi_test drive_life_test driver_test dialog_driver_test
test-tsan:
	@$(DEPS) build
	@test -f $(BUILD_TSAN)/Makefile || cmake -S . -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_TSAN=ON \
	  -DKORVAN_GUI=OFF
	@cmake --build $(BUILD_TSAN) -j$(JOBS) --target $(TSAN_TESTS)
	@cd $(BUILD_TSAN) && TSAN_OPTIONS=halt_on_error=1 $(CTEST) -R '^($(subst $() ,|,$(TSAN_TESTS)))$$'

# Pictures of both dialogs, taken on Xvfb: docs/channel-dialog.png, docs/add-channel-dialog.png
# with GTK, and docs/windows-*.png as the Windows DLL shows them under Wine.
screenshots: build windows
	@mkdir -p docs
	@NO_AT_BRIDGE=1 GDK_BACKEND=x11 timeout 60 xvfb-run -a -s "-screen 0 1280x1024x24" \
	  $(BUILD)/korvan-screenshots $(BUILD)/Korvan.drv docs
	@scripts/wine-session.sh $(BUILD_WIN) timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24" \
	  wine $(BUILD_WIN)/korvan-screenshots.exe $(BUILD_WIN)/Korvan.drv docs

# Only what the demo runs: the driver, its dialog module, korvan-host and korvan-sim.
DEMO_TARGETS := korvan_drv korvan_gtk_dialogs korvan-host korvan-sim
demo:
	@$(DEPS) demo
	@test -f $(BUILD)/Makefile || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_TESTS=OFF > /dev/null
	@cmake --build $(BUILD) -j$(JOBS) --target $(DEMO_TARGETS)
	@$(BUILD)/korvan-host demo --driver $(BUILD)/Korvan.drv

# Figures, not assertions: collection calls against the paced simulated drive at 9600
# 8E1 and 115200 8N1 (waking on input beside a plain 10 ms sleep), and micro-benchmarks.
bench:
	@$(DEPS) build gui bench
	@test -f $(BUILD)/Makefile || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	@cmake --build $(BUILD) -j$(JOBS) --target wire_bench micro_bench korvan_drv korvan_drv_sleepwait
	@$(BUILD)/wire_bench $(BUILD)/Korvan.drv $(BUILD)/Korvan-sleepwait.drv 300
	@echo
	@$(BUILD)/micro_bench --benchmark_min_time=0.2

# Every fuzz target for FUZZ_SECONDS (clang, libFuzzer, ASan and UBSan): executions,
# coverage and crashes per target; crash inputs go to fuzz/regressions/, which
# `make test` replays.
fuzz:
	@$(DEPS) build fuzz
	@test -f $(BUILD_FUZZ)/Makefile || CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_FUZZ=ON -DKORVAN_TESTS=OFF -DKORVAN_GUI=OFF
	@cmake --build $(BUILD_FUZZ) -j$(JOBS) --target fuzz-targets
	@scripts/run-fuzz.sh $(BUILD_FUZZ) $(FUZZ_SECONDS)

# The built driver against the simulated drive with faults on the line, every value
# checked: SOAK_CALLS collection calls and SOAK_COMMANDS commands (about 100 s once built).
soak:
	@$(DEPS) build
	@test -f $(BUILD_SOAK)/Makefile || cmake -S . -B $(BUILD_SOAK) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_GUI=OFF
	@cmake --build $(BUILD_SOAK) -j$(JOBS) --target korvan-soak
	@$(BUILD_SOAK)/korvan-soak --calls $(SOAK_CALLS) --commands $(SOAK_COMMANDS)

# CI's soak: a few thousand calls, driver and soak built with ASan, UBSan and LeakSanitizer.
soak-short:
	@$(DEPS) build
	@test -f $(BUILD_SOAK_LEAKS)/Makefile || cmake -S . -B $(BUILD_SOAK_LEAKS) -DCMAKE_BUILD_TYPE=Debug \
	  -DKORVAN_SANITIZE=ON -DKORVAN_GUI=OFF
	@cmake --build $(BUILD_SOAK_LEAKS) -j$(JOBS) --target korvan-soak
	@ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  $(BUILD_SOAK_LEAKS)/korvan-soak --calls 3000 --commands 300 --quiet

# The Debian packages of both Linux builds into $(DIST)/, each built for installing in
# $(BUILD_PACKAGE)/ and checked by lintian (scripts/make-deb.sh), and the Windows zip
# made from the Windows build (scripts/make-zip.sh).
package: windows
	@$(DEPS) build gui arm package
	@scripts/make-deb.sh amd64 $(BUILD_PACKAGE) $(DIST)
	@scripts/make-deb.sh armel $(BUILD_PACKAGE) $(DIST)
	@scripts/make-zip.sh $(BUILD_WIN) $(BUILD_PACKAGE)/win32 $(DIST)

# The amd64 package installed, run and purged in a clean Debian 12 root (made once,
# kept as $(BUILD_PACKAGE)/debian12-root.tar), the armel one by its contents; as root.
# The Windows zip unpacked and run under a fresh Wine prefix against the simulated drive.
test-package: package build
	@scripts/test-package.sh $(BUILD_PACKAGE) $(DIST)
	@scripts/test-zip.sh $(DIST)/korvan-$$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' $(BUILD_WIN)/CMakeCache.txt)-win32.zip $(BUILD)

# The Windows zip built twice from this commit, in two folders, compared byte for byte.
check-reproducible:
	@$(DEPS) build windows package
	@mkdir -p $(BUILD_REPRO)
	@scripts/wine-session.sh $(BUILD_REPRO) scripts/check-reproducible.sh $(BUILD_REPRO)

clean:
	rm -rf $(BUILD_REPRO) $(BUILD_PACKAGE) $(DIST) $(BUILD) $(BUILD_ARM) $(BUILD_WIN) $(BUILD_SAN) $(BUILD_TSAN) $(BUILD_FUZZ) $(BUILD_SOAK) $(BUILD_SOAK_LEAKS)

# Quick start: `make demo` and `make test` (as root on Debian 12).
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: deps deps-win deps-fuzz build build-runtime build-asan demo test test-main test-asan clean build-win build-win32 build-win64 test-win dist test-dist fuzz test-fuzz

# deps: the Linux build, its tests and the demo; deps-win adds MinGW-w64,
# Wine, Xvfb and fonts for the Windows builds.
deps:
	@bash scripts/install-deps.sh

deps-win:
	@bash scripts/install-deps.sh --windows

deps-fuzz:
	@bash scripts/install-deps.sh --fuzz

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build $(BUILD) -j$(JOBS)

# Only what the demo runs: the module, vxhost and the libraries they load.
build-runtime: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build $(BUILD) -j$(JOBS) --target vx-runtime

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON > /dev/null
	cmake --build $(ASAN_BUILD) -j$(JOBS)

demo: build-runtime
	bash scripts/demo.sh $(BUILD)

# The sanitizer run comes first, then the Windows builds and their Wine run;
# the plain run comes last, so make test ends with CTest's summary.
# libarchive copes with a malloc that fails; an absurd size it asks for on
# damaged input must fail as it does outside the sanitizer (C++ new still
# reports).
test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) -j$(JOBS) --output-on-failure

test-main: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

# The Windows product: the release VxArc.dll (i686) checked with objdump,
# and the x86_64 build's tests run under Wine and Xvfb (screenshots in
# build-win64/screenshots).
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
build-win32: deps-win
	cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=OFF > /dev/null
	cmake --build $(WIN32_BUILD) -j$(JOBS)

build-win64: deps-win
	cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build $(WIN64_BUILD) -j$(JOBS)

build-win: build-win32 build-win64

# The release package for Windows users: the release VxArc.dll and
# readme.txt (code page 932, CR LF) in $(WIN32_BUILD)/dist/VxArc-$(VERSION).zip.
VERSION := $(shell sed -n 's/.*kVersion\[\] = "\(.*\)";/\1/p' src/plugin/VxArc.cpp)
DIST_ZIP = $(WIN32_BUILD)/dist/VxArc-$(VERSION).zip
dist: build-win32
	bash scripts/dist.sh $(WIN32_BUILD) $(VERSION)

test-dist: dist
	python3 scripts/check-dist.py $(DIST_ZIP) $(WIN32_BUILD)/bin/VxArc.dll .

test-win: build-win
	bash scripts/check-dll.sh $(WIN32_BUILD)/bin/VxArc.dll
	bash scripts/wine-test.sh $(WIN64_BUILD)

# libFuzzer targets (clang, tree build-fuzz/): make fuzz runs each for
# FUZZ_SECONDS (default 60); make test runs each a fixed number of times
# over its seeds. Findings land in build-fuzz/findings/.
FUZZ_SECONDS ?= 60
fuzz: deps-fuzz
	FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) bash scripts/fuzz.sh campaign

test-fuzz: deps-fuzz
	JOBS=$(JOBS) bash scripts/fuzz.sh smoke

test: test-asan test-win test-dist test-fuzz test-main

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(WIN32_BUILD) $(WIN64_BUILD) build-fuzz build-fuzz-*.log

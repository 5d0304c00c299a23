# Quick start: `make demo` and `make test` (as root on Debian 12).
JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan

.PHONY: deps build build-asan demo test test-main test-asan clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
	cmake --build $(BUILD) -j$(JOBS)

build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON > /dev/null
	cmake --build $(ASAN_BUILD) -j$(JOBS)

demo: build
	bash scripts/demo.sh $(BUILD)

# The sanitizer run comes first; the plain run ends with CTest's summary.
test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_BUILD) -j$(JOBS) --output-on-failure

test-main: build
	ctest --test-dir $(BUILD) -j$(JOBS) --output-on-failure

test: test-asan test-main

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)

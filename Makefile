# Two entry points: `make run` and `make test`. Both install what is missing,
# configure and build first. `make test-sanitize` builds the tests again in
# a folder of their own under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs them there.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-asan
JOBS ?= $(shell nproc)

# UBSan stops the program at its first report, so a report fails its test.
# LeakSanitizer stays on; the picture libraries' own leaks are suppressed.
# An allocation that cannot be met fails as it does in the program (the
# out-of-memory tests rely on it) instead of stopping the run.
# A report exits with 86, not the default 1, which the end-to-end driver
# uses for a failed step that its tests expect.
SANITIZER_ENV = \
  ASAN_OPTIONS=detect_leaks=1:exitcode=86:allocator_may_return_null=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=86 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan-suppressions.txt:print_suppressions=0

.PHONY: all deps configure build run test test-sanitize bench clean

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release; \
	fi

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/talvex-quarlend

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	@if [ ! -f $(SANITIZE_DIR)/build.ninja ]; then \
	  cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DTQ_SANITIZE=ON -DTQ_BUILD_BENCHMARKS=OFF; \
	fi
	cmake --build $(SANITIZE_DIR) -j $(JOBS)
	cd $(SANITIZE_DIR) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD_DIR)/bench/*; do [ -x $$b ] && [ -f $$b ] && $$b; done

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)

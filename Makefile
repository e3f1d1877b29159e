# Quick start: `make run` builds and starts ZEPA2, `make test` builds and runs every test.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# Extra CMake settings, e.g. CMAKE_FLAGS=-DZEPA2_WERROR=ON (continuous integration).
CMAKE_FLAGS ?=

.PHONY: deps configure build run test sanitize-test fuzz clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	  echo "zepa2: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session." >&2; \
	  exit 1; \
	fi
	@./$(BUILD_DIR)/zepa2

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The core's tests again, with everything built under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-test: deps
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEPA2_SANITIZE=ON \
	  -DZEPA2_BUILD_UI=OFF -DZEPA2_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-sanitize -j $(JOBS) --target zepa2_core_tests
	@cd build-sanitize && ctest --output-on-failure -j $(JOBS) -L core

# Every fuzzer on its corpus for FUZZ_SECONDS each.
FUZZ_SECONDS ?= 60
fuzz: deps
	@bash fuzz/run.sh $(FUZZ_SECONDS)

clean:
	@rm -rf $(BUILD_DIR) build-sanitize build-fuzz

# Quick start: `make run` builds and starts ZEPA2, `make test` builds and runs every test.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

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

clean:
	@rm -rf $(BUILD_DIR)

# Glimmora32: make run | make test | make dist
MAKEFLAGS += --no-print-directory
BUILD   := build
JOBS    ?= 2
PICTURE ?=

CMAKE_CONFIG = cmake -S . -B $(BUILD)/$(1) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-$(firstword $(subst -, ,$(1))).cmake $(2) -Wno-dev >/dev/null

.PHONY: all setup build build-win64 build-win32 build-native build-win32-tests dist test test-win32 run install clean format

all: dist

setup:
	@scripts/setup.sh

build-win64: setup
	@$(call CMAKE_CONFIG,win64)
	@cmake --build $(BUILD)/win64 -j $(JOBS)

build-win32: setup
	@$(call CMAKE_CONFIG,win32,-DGLIMMORA_TESTS=OFF)
	@cmake --build $(BUILD)/win32 -j $(JOBS)

build-native: setup
	@CXX=clang++ CC=clang cmake -S . -B $(BUILD)/native -DGLIMMORA_NATIVE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev >/dev/null
	@cmake --build $(BUILD)/native -j $(JOBS)

build: build-win64 build-win32

dist: build
	@scripts/dist.sh $(BUILD)

test: dist build-native build-win32-tests
	@scripts/test.sh $(BUILD)

# The tests of the shipped 32-bit build (dist/win32), which run emulated
# (wine32 through qemu) in a build folder and Wine prefix of their own.
build-win32-tests: dist
	@scripts/setup.sh --win32
	@$(call CMAKE_CONFIG,win32-tests,-DGLIMMORA_SHIPPED_TESTS=ON -DSKY_REFERENCE_DIR=$(CURDIR)/$(BUILD)/win64/imagelib-references)
	@cmake --build $(BUILD)/win32-tests -j $(JOBS) --target imagelib_tests e2e_walk_tests

# That stage alone.
test-win32: build-win32-tests
	@scripts/test-win32.sh $(BUILD)

run: dist
	@scripts/run.sh $(BUILD) "$(PICTURE)"

install: dist
	@scripts/wine-session.sh $(BUILD)/win64 scripts/install.sh dist/win64

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) dist

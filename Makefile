# Every target does its own set-up on a fresh machine (see scripts/deps.sh).
JOBS ?= 2
HOST := build/host
ASAN := build/asan
WIN32 := build/win32
FUZZ := build/fuzz
# make fuzz runs each target this long.
FUZZ_SECONDS ?= 60
# CI builds the shipped code with warnings as errors.
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -G Ninja -DOMNI_WERROR=$(WERROR)

.PHONY: all deps build check test demo bench fuzz fuzz-build clean

all: build

deps:
	@scripts/deps.sh

$(HOST)/build.ninja: | deps
	cmake -S . -B $(HOST) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release

$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DOMNI_SANITIZE=ON

# The libFuzzer targets: clang, native only, the core and fuzz/ alone.
$(FUZZ)/build.ninja: | deps
	cmake -S . -B $(FUZZ) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMNI_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake

build: deps $(HOST)/build.ninja $(WIN32)/build.ninja
	cmake --build $(HOST) -j$(JOBS)
	cmake --build $(WIN32) -j$(JOBS)
	@scripts/stage-dist.sh $(HOST) $(WIN32)

# The layer order of the includes and the formatting, before anything is built.
check: deps
	@scripts/check-layers.sh
	@scripts/format-check.sh

test: check build $(ASAN)/build.ninja fuzz-build
	cmake --build $(ASAN) -j$(JOBS)
	ctest --test-dir $(HOST) --output-on-failure
	ctest --test-dir $(ASAN) --output-on-failure
	FUZZ_BUILD=$(CURDIR)/$(FUZZ) scripts/fuzz.sh replay
	ctest --test-dir $(WIN32) --output-on-failure
	tests/e2e/run.sh

fuzz-build: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j$(JOBS)

# Each target for FUZZ_SECONDS on a copy of its corpus (build/fuzz/work); what it finds is not
# committed by itself.
fuzz: fuzz-build
	FUZZ_BUILD=$(CURDIR)/$(FUZZ) FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh run

demo: build
	@scripts/demo.sh

bench: build
	@bench/run.sh
	@bench/installer_start.sh
	@bench/many_entries.sh
	@bench/registry.sh
	@bench/processes.sh
	@bench/wizard_start.sh

clean:
	rm -rf build/host build/asan build/win32 build/fuzz dist

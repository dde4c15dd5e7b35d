# Every target does its own set-up on a fresh machine (scripts/deps.sh). make build needs no Wine;
# test, demo and bench run the Windows tree that the machine can run (scripts/windows-tree.sh).
JOBS ?= 2
export JOBS
HOST := build/host
ASAN := build/asan
WIN32 := build/win32
FUZZ := build/fuzz
# make fuzz runs each target this long.
FUZZ_SECONDS ?= 60
# CI builds the shipped code with warnings as errors.
# scripts/build-windows.sh configures the Windows test tree the same way.
export OMNI_WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -G Ninja -DOMNI_WERROR=$(OMNI_WERROR)

.PHONY: all deps-build deps-test build check test demo bench fuzz fuzz-build clean

all: build

deps-build:
	@scripts/deps.sh build

deps-test:
	@scripts/deps.sh test

$(HOST)/build.ninja: | deps-build
	cmake -S . -B $(HOST) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release

$(ASAN)/build.ninja: | deps-test
	cmake -S . -B $(ASAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DOMNI_SANITIZE=ON

# The libFuzzer targets: clang, native only, the core and fuzz/ alone.
$(FUZZ)/build.ninja: | deps-test
	cmake -S . -B $(FUZZ) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMNI_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

$(WIN32)/build.ninja: | deps-build
	cmake -S . -B $(WIN32) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake

# What users get, staged in dist/: omnipack, the installer (always the i686 build) and the
# language libraries. Tests, benchmarks and their helpers are built by the jobs that run them.
build: deps-build $(HOST)/build.ninja $(WIN32)/build.ninja
	cmake --build $(HOST) -j$(JOBS) --target omnipack
	cmake --build $(WIN32) -j$(JOBS) --target installer OPStbRes OPStbResDEU
	@scripts/stage-dist.sh $(HOST) $(WIN32)

# The layer order of the includes and the formatting, before anything is built.
check: deps-test
	@scripts/check-layers.sh
	@scripts/format-check.sh

test: check build $(ASAN)/build.ninja fuzz-build
	cmake --build $(HOST) -j$(JOBS)
	cmake --build $(ASAN) -j$(JOBS)
	@scripts/build-windows.sh
	@scripts/test.sh

fuzz-build: deps-test $(FUZZ)/build.ninja
	cmake --build $(FUZZ) -j$(JOBS)

# Each target for FUZZ_SECONDS on a copy of its corpus (build/fuzz/work); what it finds is not
# committed by itself.
fuzz: fuzz-build
	FUZZ_BUILD=$(CURDIR)/$(FUZZ) FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/fuzz.sh run

demo: build deps-test
	@scripts/build-windows.sh sample_product wizard_driver
	@scripts/demo.sh

bench: build deps-test
	cmake --build $(HOST) -j$(JOBS)
	@scripts/build-windows.sh
	@bench/run.sh
	@bench/installer_start.sh
	@bench/many_entries.sh
	@bench/registry.sh
	@bench/processes.sh
	@bench/wizard_start.sh

clean:
	rm -rf build/host build/asan build/win32 build/win64 build/fuzz dist

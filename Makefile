# Every target does its own set-up on a fresh machine (see scripts/deps.sh).
JOBS ?= 2
HOST := build/host
ASAN := build/asan
WIN32 := build/win32
# CI builds the shipped code with warnings as errors.
WERROR := $(if $(CI),ON,OFF)
CMAKE_FLAGS := -G Ninja -DOMNI_WERROR=$(WERROR)

.PHONY: all deps build check test demo bench clean

all: build

deps:
	@scripts/deps.sh

$(HOST)/build.ninja: | deps
	cmake -S . -B $(HOST) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release

$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DOMNI_SANITIZE=ON

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

test: check build $(ASAN)/build.ninja
	cmake --build $(ASAN) -j$(JOBS)
	ctest --test-dir $(HOST) --output-on-failure
	ctest --test-dir $(ASAN) --output-on-failure
	ctest --test-dir $(WIN32) --output-on-failure
	tests/e2e/run.sh

demo: build
	@scripts/demo.sh

bench: build
	@bench/run.sh
	@bench/installer_start.sh
	@bench/many_entries.sh

clean:
	rm -rf build/host build/asan build/win32 dist

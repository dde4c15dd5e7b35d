# Which Windows tree the tests, the demo and the benchmarks run, sourced by the scripts that run
# Windows programs. scripts/deps.sh chooses it by what the machine can run and writes the choice to
# build/windows-arch; WINDOWS_ARCH=i686 or x86_64 in the environment takes its place.
#
#   i686    the shipped 32-bit build (build/win32) under 32-bit Wine, prefix build/wine
#   x86_64  the same sources built for 64-bit Windows (build/win64) under 64-bit Wine, prefix
#           build/wine64, for machines whose kernel runs no 32-bit program
#
# The shipped installer is the i686 build on every machine (dist/). The tests build their
# installers with test_dist/bin/omnipack, a copy of the tool beside the tree's own installer and
# language libraries, so that omnipack's default stub is the one the tests run. Each tree has a
# Wine prefix of its own, unless WINEPREFIX names another: wine_prefix is the one in use.
# Expects root to be set.
windows_arch=${WINDOWS_ARCH:-$(cat "$root/build/windows-arch" 2>/dev/null || echo i686)}
case "$windows_arch" in
  i686)
    windows_build="$root/build/win32"
    windows_toolchain="$root/cmake/mingw-i686.cmake"
    test_dist="$root/dist"
    wine_prefix="${WINEPREFIX:-$root/build/wine}"
    ;;
  x86_64)
    windows_build="$root/build/win64"
    windows_toolchain="$root/cmake/mingw-x86_64.cmake"
    test_dist="$root/build/win64/dist"
    wine_prefix="${WINEPREFIX:-$root/build/wine64}"
    ;;
  *)
    echo "WINDOWS_ARCH must be i686 or x86_64, not '$windows_arch'" >&2
    exit 2
    ;;
esac

# build_windows_tree [TARGET...]: configures the chosen tree once and builds the targets (all when
# none are named); the x86_64 tree is staged as its test dist.
build_windows_tree() {
  if [ ! -f "$windows_build/build.ninja" ]; then
    # Warnings as errors where the Makefile says so (in CI), as in its own trees.
    cmake -S "$root" -B "$windows_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DOMNI_WERROR="${OMNI_WERROR:-OFF}" -DCMAKE_TOOLCHAIN_FILE="$windows_toolchain" >/dev/null
  fi
  cmake --build "$windows_build" -j"${JOBS:-2}" ${1:+--target "$@"}
  if [ "$windows_arch" = x86_64 ]; then
    "$root/scripts/stage-dist.sh" "$root/build/host" "$windows_build" "$test_dist"
  fi
}

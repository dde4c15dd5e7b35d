#!/usr/bin/env bash
# Installs what a job needs on a fresh Debian machine. Quick when everything is already present.
#
#   scripts/deps.sh build   the compilers and libraries that make build needs; no Wine
#   scripts/deps.sh test    those and Wine, Xvfb and the test tools; then chooses the Windows
#                           tree the tests run by starting a Windows program, and makes its prefix
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
job=${1:-test}

build_commands=(cmake ninja g++ i686-w64-mingw32-g++-posix i686-w64-mingw32-windres)
build_packages=(cmake ninja-build g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 googletest
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev)
test_commands=(wine Xvfb xdotool clang-format valgrind clang++-14 openssl osslsigncode makensis
  python3)
test_packages=(wine wine32:i386 wine64 xvfb xdotool clang-format valgrind clang-14
  libclang-rt-14-dev openssl osslsigncode nsis python3)

# install_missing COMMANDS_VAR PACKAGES_VAR [FILE...]: installs the packages unless every command
# and file is there already.
install_missing() {
  local -n commands=$1 packages=$2
  shift 2
  local missing=0 c f
  for c in "${commands[@]}"; do command -v "$c" >/dev/null 2>&1 || missing=1; done
  for f in "$@"; do compgen -G "$f" >/dev/null || missing=1; done
  [ "$missing" = 1 ] || return 0
  local sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  echo "deps: installing ${packages[*]} (a minute or two)"
  [[ "${packages[*]}" != *:i386* ]] || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${packages[@]}" >/dev/null
}

install_missing build_commands build_packages /usr/src/googletest \
  /usr/include/benchmark/benchmark.h /usr/include/zlib.h
[ "$job" = test ] || exit 0

# libFuzzer's runtime, for the fuzz tree; Wine's 32- and 64-bit Windows libraries.
install_missing test_commands test_packages \
  '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' \
  /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows

# try_wine ARCH: makes the tree's prefix once and starts a Windows program in it; on failure,
# what Wine said is in $wine_said.
try_wine() {
  local said
  said=$(
    export WINDOWS_ARCH=$1
    source "$root/scripts/windows-tree.sh"
    mkdir -p "$root/build"
    if [ ! -f "$wine_prefix/system.reg" ]; then
      echo "deps: creating the Wine prefix ${wine_prefix#"$root"/}" >&2
      # A prefix that could not be made is not left half made.
      "$root/tools/wine-run" wineboot -i 2>&1 || { rm -rf "$wine_prefix" && exit 1; }
      "$root/tools/wine-run" wineserver -w
    fi
    "$root/tools/wine-run" cmd /c exit 0 2>&1
  ) && return 0
  wine_said=$(grep -v "^deps:" <<<"$said" | sed "s/^.*wine-run: line [0-9]*: //" |
    grep -m 3 . || echo "no message")
  return 1
}

# The 32-bit tree where 32-bit Windows programs run, as the installer ships; the 64-bit tree where
# they cannot (a kernel that runs no 32-bit Linux program cannot start 32-bit Wine).
started=""
if [ -n "${WINDOWS_ARCH:-}" ]; then
  arch=$WINDOWS_ARCH reason="WINDOWS_ARCH=$WINDOWS_ARCH"
elif try_wine i686; then
  arch=i686 reason="32-bit Windows programs run here" started=1
else
  arch=x86_64 reason="32-bit Wine cannot start here ($(head -n 1 <<<"$wine_said"))"
fi
if [ "$arch" = x86_64 ]; then
  x86_64_commands=(x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres
    x86_64-w64-mingw32-objdump)
  x86_64_packages=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
  install_missing x86_64_commands x86_64_packages
fi
if [ -z "$started" ] && ! try_wine "$arch"; then
  echo "deps: Wine cannot run a Windows program for the $arch tree here:" >&2
  sed 's/^/  /' <<<"$wine_said" >&2
  if [ "$arch" = i686 ]; then
    echo "deps: hint: WINDOWS_ARCH=x86_64 tests with the 64-bit tree under 64-bit Wine" >&2
  else
    echo "deps: hint: 64-bit Wine needs an x86_64 Linux kernel and Debian's wine64 package" >&2
  fi
  exit 1
fi
echo "$arch" >"$root/build/windows-arch"
echo "deps: testing the $arch Windows tree: $reason"

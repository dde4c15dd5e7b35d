#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine, and creates the project's own
# Wine prefix. Quick when everything is already present.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

commands=(cmake ninja g++ i686-w64-mingw32-g++-posix i686-w64-mingw32-windres wine Xvfb xdotool
  clang-format valgrind clang++-14 openssl osslsigncode makensis)
packages=(cmake ninja-build g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 wine64
  xvfb xdotool clang-format valgrind googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev clang-14 libclang-rt-14-dev openssl osslsigncode nsis)

missing=0
for c in "${commands[@]}"; do command -v "$c" >/dev/null 2>&1 || missing=1; done
[ -d /usr/src/googletest ] || missing=1
[ -f /usr/include/benchmark/benchmark.h ] || missing=1
[ -f /usr/include/zlib.h ] || missing=1
[ -d /usr/lib/i386-linux-gnu/wine/i386-windows ] || missing=1
# libFuzzer's runtime, for the fuzz tree.
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || missing=1

if [ "$missing" = 1 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  echo "deps: installing packages (this takes a minute or two)"
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${packages[@]}" >/dev/null
fi

# The prefix is per build tree; it is made once and reused.
if [ ! -f "$root/build/wine/system.reg" ]; then
  echo "deps: creating the Wine prefix build/wine"
  mkdir -p "$root/build"
  "$root/tools/wine-run" wineboot -i >/dev/null 2>&1
  "$root/tools/wine-run" wineserver -w
fi

#!/usr/bin/env bash
# Copies what users need into a dist folder (default dist/): the tool, the installer without a
# package, language libraries.
#
#   scripts/stage-dist.sh HOST_BUILD WINDOWS_BUILD [DIST]
set -euo pipefail
host=$1 windows=$2 dist=${3:-dist}
mkdir -p "$dist/bin" "$dist/win32/lang"
cp "$host/tools/omnipack/omnipack" "$dist/bin/omnipack"
cp "$windows/src/installer.exe" "$dist/win32/installer.exe"
cp "$windows"/lang/*.dll "$dist/win32/lang/"

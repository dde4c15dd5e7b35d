#!/usr/bin/env bash
# Copies what users need into dist/: the tool, the installer without a package, language libraries.
set -euo pipefail
host=$1 win32=$2
mkdir -p dist/bin dist/win32/lang
cp "$host/tools/omnipack/omnipack" dist/bin/omnipack
cp "$win32/src/installer.exe" dist/win32/installer.exe
cp "$win32"/lang/*.dll dist/win32/lang/

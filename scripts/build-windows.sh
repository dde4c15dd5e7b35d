#!/usr/bin/env bash
# Builds the Windows tree that the tests run (scripts/windows-tree.sh): the named targets, or all.
#
#   scripts/build-windows.sh [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/windows-tree.sh"
build_windows_tree "$@"

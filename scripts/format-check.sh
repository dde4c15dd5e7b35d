#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
git ls-files -co --exclude-standard -- src tools tests bench fuzz | grep -E '\.(cpp|h)$' |
  xargs clang-format --dry-run --Werror
echo "format-check: every file is formatted"

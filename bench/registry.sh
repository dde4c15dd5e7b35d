#!/usr/bin/env bash
# The registry commands under Wine (bench/registry_bench.cpp): 10,000 GETREGVALUE commands against
# bare registry calls, and CONFIGURESETTINGS on 1,000 and 2,000 tasks. It sets the prefix's
# HKLM\SOFTWARE\Velkor aside while it runs and puts it back.
#
#   bench/registry.sh [ROUNDS]     (default 5)
#   WIN32_BUILD  the Win32 build tree holding bench/registry_bench.exe (default build/win32)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/windows-tree.sh"
win32=${WIN32_BUILD:-$windows_build}
program="$win32/bench/registry_bench.exe"
[ -f "$program" ] || { echo "bench: $program is missing; build first (make build)" >&2; exit 1; }
"$root/tools/wine-run" wineboot >/dev/null 2>&1  # the wine server is up before the first round
"$root/tools/wine-run" "$program" "${1:-5}"

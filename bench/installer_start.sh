#!/usr/bin/env bash
# What a silent run of an installer with an empty Main costs beyond starting a process under Wine:
# the installer (three language libraries in its package) against a Win32 program that only exits,
# and against one that only initialises COM as the installer must on the NT family (under Wine
# that alone loads the window system), run alternately in one session. Prints the medians and the
# ratios.
#
#   bench/installer_start.sh [WIN32_BUILD] [RUNS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/windows-tree.sh"
win32=${1:-$windows_build}
runs=${2:-15}
work="$root/build/bench/installer-start"
rm -rf "$work" && mkdir -p "$work/lang"
cp "$test_dist"/win32/lang/*.dll "$work/lang/"
cp "$work/lang/OPStbRes.dll" "$work/lang/OPStbResFRA.dll"  # a third library of the same size
"$test_dist/bin/omnipack" build --main "$root/bench/fixtures/empty-main" --lang "$work/lang" \
  -o "$work/empty.exe"
cp "$win32/tests/helpers/exit_only.exe" "$win32/tests/helpers/com_only.exe" "$work/"
wine_run="$root/tools/wine-run"
"$wine_run" wineboot >/dev/null 2>&1  # the wine server is up before the first measurement

elapsed_ms() {
  local start end
  start=$(date +%s%N)
  "$wine_run" "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$work/installer.ms"
: >"$work/exit_only.ms"
: >"$work/com_only.ms"
for _ in $(seq 1 "$runs"); do
  elapsed_ms "$work/exit_only.exe" >>"$work/exit_only.ms"
  elapsed_ms "$work/com_only.exe" >>"$work/com_only.ms"
  elapsed_ms "$work/empty.exe" /SILENT /LOGFILE 'C:\windows\temp\bench.log' >>"$work/installer.ms"
done
installer=$(median <"$work/installer.ms")
ratio() { awk "BEGIN { printf \"%.2f\", $1 / $2 }"; }
for reference in exit_only com_only; do
  ms=$(median <"$work/$reference.ms")
  printf '%-56s %8s %16s %8s\n' "installer start, ms (vs a program: $reference)" "$installer" \
    "$ms" "$(ratio "$installer" "$ms")"
done

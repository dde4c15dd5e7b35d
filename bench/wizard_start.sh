#!/usr/bin/env bash
# How soon the wizard shows its start page: an installer started without switches against
# minimal_wizard.exe, which does nothing but show the same three pages of the same language
# library, alternately under Wine (with a display of its own when there is none). A driver that
# already runs and looks for the wizard every 20 ms says when the page is there; the time is from
# the program's start to then. Prints the medians and the ratio.
#
#   bench/wizard_start.sh [WIN32_BUILD] [RUNS]     (default build/win32, 9)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
source "$root/scripts/windows-tree.sh"
win32=${1:-$windows_build}
runs=${2:-9}
work="$root/build/bench/wizard-start"
rm -rf "$work" && mkdir -p "$work"
wine_run="$root/tools/wine-run"
driver="$win32/tests/helpers/wizard_driver.exe"
caption="Velkor Sentrel Enterprise Module v8.7 Installer"
"$test_dist/bin/omnipack" build --main "$root/bench/fixtures/empty-main" -o "$work/empty.exe" \
  >/dev/null
library="Z:${test_dist//\//\\}\\win32\\lang\\OPStbRes.dll"
# The session of an earlier run in the prefix, which has another display or none, ends first: a
# window made in it would not show on this one.
"$wine_run" wineserver -w
"$wine_run" wineboot >/dev/null 2>&1  # the wine server is up before the first measurement

# shown_ms PROGRAM [ARGUMENTS...]: from the program's start until its wizard shows; then closed.
shown_ms() {
  "$wine_run" "$driver" wait "$caption" 60 >/dev/null 2>&1 &
  local looking=$!
  sleep 1  # the driver is looking before the program starts
  local start end
  start=$(date +%s%N)
  "$wine_run" "$@" >/dev/null 2>&1 &
  local program=$!
  wait "$looking" || { echo "bench: no wizard from $1" >&2; exit 1; }
  end=$(date +%s%N)
  "$wine_run" "$driver" press "$caption" cancel >/dev/null 2>&1
  wait "$program" || true
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for _ in $(seq "$runs"); do
  shown_ms "$win32/bench/minimal_wizard.exe" "$library" >>"$work/minimal.ms"
  shown_ms "$work/empty.exe" /LOGFILE 'C:\windows\temp\bench.log' >>"$work/installer.ms"
done
installer=$(median <"$work/installer.ms")
minimal=$(median <"$work/minimal.ms")
printf '%-56s %8s %16s %8s\n' "wizard's start page shown, ms (vs minimal_wizard)" "$installer" \
  "$minimal" "$(awk "BEGIN { printf \"%.2f\", $installer / $minimal }")"

#!/usr/bin/env bash
# What TERMINATEDAVRIX and CLOSEORQAPPS cost on a busy machine: a silent installer that ends the
# one running DAVRIX.EXE among 20 and among 200 other processes, and one that closes the one
# application window among 20 and among 200 other top-level windows, under Wine (with a display of
# its own when there is none), alternating 20 and 200. The commands' fixed waits (3 s before the
# console search and 1 s after each console ended; 1 s after the close message, then the 1 s
# polls) are in both; the ratio shows what the crowd adds, and a second row what is left beyond
# those waits (with the installer's own start). Fails only when a command missed its target.
#
#   bench/processes.sh [WIN32_BUILD] [RUNS]     (default build/win32, 5)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
source "$root/scripts/windows-tree.sh"
win32=${1:-$windows_build}
runs=${2:-5}
helpers="$win32/tests/helpers"
work="$root/build/bench/processes"
rm -rf "$work" && mkdir -p "$work"
wine_run="$root/tools/wine-run"
winpath() { echo "Z:${1//\//\\}"; }
for fixture in terminate-console close-application; do
  "$test_dist/bin/omnipack" build --main "$root/bench/fixtures/$fixture" -o "$work/$fixture.exe" \
    >/dev/null
done
# The session of an earlier run in the prefix, which has another display or none, ends first: a
# window made in it would not show on this one.
"$wine_run" wineserver -w
"$wine_run" wineboot >/dev/null 2>&1  # the wine server is up before the first measurement

crowd_pid=
stop_crowd() {
  touch "$work/stop"
  [ -z "$crowd_pid" ] || wait "$crowd_pid" 2>/dev/null || true
  crowd_pid=
}
target_pid=
stop_target() {  # a target that a command missed
  [ -z "$target_pid" ] || kill "$target_pid" 2>/dev/null || true
  target_pid=
}
trap 'stop_target; stop_crowd' EXIT
# start_crowd KIND COUNT: the other programs, until stop_crowd.
start_crowd() {
  rm -f "$work/stop" "$work/crowd.out"
  "$wine_run" "$helpers/crowd.exe" "$1" "$2" "$(winpath "$work/stop")" >"$work/crowd.out" 2>&1 &
  crowd_pid=$!
  for _ in $(seq 600); do
    grep -qs ready "$work/crowd.out" && return 0
    sleep 0.1
  done
  echo "bench: the crowd of $2 $1 did not start" >&2
  exit 1
}
# measure INSTALLER TARGET_PID: the installer's wall time in ms; fails when the target survived.
measure() {
  local start end
  start=$(date +%s%N)
  "$wine_run" "$work/$1.exe" /S /LOGFILE "$(winpath "$work/$1.log")" >/dev/null 2>&1
  end=$(date +%s%N)
  if ! timeout 10 tail --pid="$2" -f /dev/null; then
    echo "bench: $1 left its target running" >&2
    exit 1
  fi
  echo $(((end - start) / 1000000))
}

for count in $(for _ in $(seq "$runs"); do echo 20 200; done); do
  start_crowd processes "$count"
  "$wine_run" "$helpers/DAVRIX.EXE" >/dev/null 2>&1 &
  target_pid=$!
  sleep 0.5
  measure terminate-console "$target_pid" >>"$work/console-$count.ms"
  stop_crowd
  start_crowd windows "$count"
  "$wine_run" "$helpers/app_window.exe" BenchTargetWindow "Bench target" >/dev/null 2>&1 &
  target_pid=$!
  sleep 0.5
  measure close-application "$target_pid" >>"$work/window-$count.ms"
  stop_crowd
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
row() {
  printf '%-56s %8s %16s %8s\n' "$1" "$2" "$3" "$(awk "BEGIN { printf \"%.2f\", $2 / $3 }")"
}
# file:command:fixed waits in ms (the console's 3 s and 1 s; the window's 1 s and one 1 s poll)
for command in console:TERMINATEDAVRIX:4000 window:CLOSEORQAPPS:2000; do
  IFS=: read -r file name waits <<<"$command"
  few=$(median <"$work/$file-20.ms")
  many=$(median <"$work/$file-200.ms")
  row "$name, ms: 200 others (vs 20)" "$many" "$few"
  row "$name beyond its fixed waits, ms: 200 (vs 20)" "$((many - waits))" "$((few - waits))"
done

#!/usr/bin/env bash
# Runs every suite of make test on the built trees, each to its end whatever the others gave, and
# closes with one line over all of them: "N passed, N failed, N skipped". A test case counts once:
# a GoogleTest case, a fuzz target's replay of its corpus, an end-to-end scenario.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/windows-tree.sh"
results="$root/build/test-results"
rm -rf "$results" && mkdir -p "$results"
passed=0 failed=0 skipped=0

# run_suite NAME COUNTER COMMAND...: runs the suite with its output as it comes, and a line each
# minute it has been running; then COUNTER reads "PASSED FAILED SKIPPED" from $results/NAME
# (the suite's output and whatever the suite wrote there) and the suite's exit code.
run_suite() {
  local name=$1 counter=$2
  shift 2
  local out="$results/$name"
  mkdir -p "$out"
  echo "== $name"
  (
    # Ended with its sleep, which it waits for in the background so that the signal is taken.
    trap 'kill "$nap" 2>/dev/null; exit 0' TERM
    minutes=0
    while true; do
      sleep 60 &
      nap=$!
      wait "$nap"
      minutes=$((minutes + 1))
      echo "-- $name: running for $minutes min"
    done
  ) &
  local ticker=$!
  "$@" 2>&1 | tee "$out/output.txt"
  local code=${PIPESTATUS[0]}
  kill "$ticker" 2>/dev/null
  wait "$ticker" 2>/dev/null
  local counts p f s
  counts=$("$counter" "$out" "$code")
  read -r p f s <<<"$counts"
  echo "== $name: $p passed, $f failed, $s skipped"
  passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
}

# GoogleTest's XML reports, one per program; a case that a program skips and a copy of it runs
# (as the 9x family's service tests do) counts as that copy's result. A program that ended before
# writing its report, or a suite that failed without a failing case, counts as one failure. Each
# skipped case is listed with its reason.
gtest_counts() {
  python3 - "$1" "$2" <<'PY'
import glob, sys
import xml.etree.ElementTree as ET
folder, code = sys.argv[1], int(sys.argv[2])
rank = {'skipped': 0, 'passed': 1, 'failed': 2}
results = {}
for report in sorted(glob.glob(folder + '/*.xml')):
    for case in ET.parse(report).iter('testcase'):
        skip = case.find('skipped')
        if case.find('failure') is not None:
            result = ('failed', '')
        elif skip is not None or case.get('result') == 'skipped':
            result = ('skipped', skip.get('message', '') if skip is not None else '')
        else:
            result = ('passed', '')
        key = case.get('classname') + '.' + case.get('name')
        if key not in results or rank[result[0]] > rank[results[key][0]]:
            results[key] = result
counts = {'passed': 0, 'failed': 0, 'skipped': 0}
for key, (result, why) in sorted(results.items()):
    counts[result] += 1
    if result == 'skipped':
        why = why.strip().splitlines()[-1] if why.strip() else 'no reason given'
        print(f'skip {key}: {why}', file=sys.stderr)
if code != 0 and counts['failed'] == 0:
    counts['failed'] = 1
print(counts['passed'], counts['failed'], counts['skipped'])
PY
}
fuzz_counts() {
  local p f
  p=$(grep -c 'corpus files replayed$' "$1/output.txt")
  f=$(grep -c 'replay failed' "$1/output.txt")
  [ "$2" = 0 ] || [ "$f" -gt 0 ] || f=1
  echo "$p $f 0"
}
# The end-to-end suite closes with its own counts.
e2e_counts() {
  local line
  line=$(grep -E '^end-to-end scenarios: [0-9]+ ok, [0-9]+ failed$' "$1/output.txt" | tail -n 1)
  if [ -z "$line" ]; then
    echo "0 1 0"
  else
    sed -E 's/^[^0-9]*([0-9]+) ok, ([0-9]+) failed$/\1 \2 0/' <<<"$line"
  fi
}

# ctest_with_reports BUILD NAME [windows]: the tree's tests, each GoogleTest program writing its
# XML report into the suite's folder, named by its Z: path to Windows programs.
ctest_with_reports() {
  local reports="$results/$2/"
  [ "${3:-}" != windows ] || reports="Z:${reports//\//\\}"
  GTEST_OUTPUT="xml:$reports" ctest --test-dir "$1" --output-on-failure
}

run_suite native gtest_counts ctest_with_reports "$root/build/host" native
run_suite sanitizers gtest_counts ctest_with_reports "$root/build/asan" sanitizers
run_suite fuzz-replays fuzz_counts env FUZZ_BUILD="$root/build/fuzz" "$root/scripts/fuzz.sh" replay
run_suite "windows-$windows_arch" gtest_counts ctest_with_reports "$windows_build" \
  "windows-$windows_arch" windows
run_suite end-to-end e2e_counts "$root/tests/e2e/run.sh"

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]

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
    minutes=0
    while sleep 60; do
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

# GoogleTest's XML reports, one per program; a program that ended before writing its report, or a
# suite that failed without a failing case, counts as one failure.
gtest_counts() {
  python3 - "$1" "$2" <<'PY'
import glob, sys
import xml.etree.ElementTree as ET
folder, code = sys.argv[1], int(sys.argv[2])
passed = failed = skipped = 0
for report in glob.glob(folder + '/*.xml'):
    for case in ET.parse(report).iter('testcase'):
        if case.find('failure') is not None:
            failed += 1
        elif case.get('result') == 'skipped' or case.find('skipped') is not None:
            skipped += 1
        else:
            passed += 1
if code != 0 and failed == 0:
    failed = 1
print(passed, failed, skipped)
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
  line=$(grep -E '^end-to-end scenarios: [0-9]+ ok, [0-9]+ failed, [0-9]+ skipped$' \
    "$1/output.txt" | tail -n 1)
  if [ -z "$line" ]; then
    echo "0 1 0"
  else
    sed -E 's/^[^0-9]*([0-9]+) ok, ([0-9]+) failed, ([0-9]+) skipped$/\1 \2 \3/' <<<"$line"
  fi
}

# ctest_with_reports BUILD NAME: the tree's tests, each GoogleTest program writing its XML report
# into the suite's folder (a path that Wine resolves on the Z: drive too).
ctest_with_reports() {
  GTEST_OUTPUT="xml:$results/$2/" ctest --test-dir "$1" --output-on-failure
}

run_suite native gtest_counts ctest_with_reports "$root/build/host" native
run_suite sanitizers gtest_counts ctest_with_reports "$root/build/asan" sanitizers
run_suite fuzz-replays fuzz_counts env FUZZ_BUILD="$root/build/fuzz" "$root/scripts/fuzz.sh" replay
run_suite "windows-$windows_arch" gtest_counts ctest_with_reports "$windows_build" \
  "windows-$windows_arch"
run_suite end-to-end e2e_counts "$root/tests/e2e/run.sh"

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]

#!/usr/bin/env bash
# Kills an update under Wine at many moments and reruns it, checking after every kill that each
# product file is whole (old or new) and no backup is cut, and after every rerun that every file is
# new and the backups hold the versions from before (bench/kill_runs.py says how).
#
#   bench/kill_runs.sh [KILLS]          (default 60)
#   SMALL_FILES, LARGE_FILES, LARGE_SIZE, SEED   the update's files (200, 8, 6 MiB, fixed)
#   DIST     staged tools: bin/omnipack (default: the test dist of the chosen Windows tree)
# Installers in one Wine prefix exclude each other: run it when no other installer runs there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/windows-tree.sh"
dist=${DIST:-$test_dist}
[ -x "$dist/bin/omnipack" ] || { echo "bench: $dist/bin/omnipack is missing; build first" >&2; exit 1; }
KILLS=${1:-${KILLS:-60}} exec python3 "$root/bench/kill_runs.py" "$root/tools/wine-run" \
  "$dist/bin/omnipack" "${WORK:-$root/build/bench/kill-runs}"

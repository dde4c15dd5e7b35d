#!/usr/bin/env bash
# omnipack list --json and verify on packages of many small entries, at two sizes: the time per
# entry must not grow with the package (a lookup that walks all entries for each one would make
# it grow with the count).
#
#   OMNIPACK  the tool (default dist/bin/omnipack)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
omnipack=${OMNIPACK:-dist/bin/omnipack}
[ -x "$omnipack" ] || { echo "bench: $omnipack is missing; build first (make build)" >&2; exit 1; }
work=build/bench/many-entries
sizes=(10000 40000)

seconds() {  # the wall-clock seconds of a command, its output dropped
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk "BEGIN { printf \"%.2f\", $end - $start }"
}

echo "== omnipack on many entries (time per entry at two sizes)"
printf '%-8s %-14s %10s %16s\n' entries command seconds "us per entry"
for count in "${sizes[@]}"; do
  main="$work/main-$count"
  if [ ! -f "$work/pkg-$count.exe" ]; then
    rm -rf "$main" && mkdir -p "$main/files"
    printf '[Main]\r\n' >"$main/ORQSCRIP.OSC"
    for ((i = 0; i < count; i++)); do printf '%d' "$i" >"$main/files/f$i.txt"; done
    # No command uses the files, on purpose: the check's warning for each goes to a log.
    "$omnipack" build --main "$main" -o "$work/pkg-$count.exe" >/dev/null \
      2>"$work/build-$count.log" || { cat "$work/build-$count.log" >&2; exit 1; }
  fi
  for command in "list --json" verify; do
    # shellcheck disable=SC2086
    s=$(seconds "$omnipack" $command "$work/pkg-$count.exe")
    printf '%-8s %-14s %10s %16s\n' "$count" "$command" "$s" "$(awk "BEGIN { printf \"%.0f\", $s * 1e6 / $count }")"
  done
done

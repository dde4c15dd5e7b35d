#!/usr/bin/env bash
# Runs the benchmarks of an existing host build (make bench builds first) and prints the figures
# with their ratio to the reference: the published LZHUF program measured on this kind of machine
# (figures below), zlib's crc32 and other yardsticks measured in the same run; then, under Wine,
# bench/install_files.sh.
#
#   BUILD     host build tree (default build/host)
#   OMNIPACK  the tool to run whole (default dist/bin/omnipack, else the one in BUILD)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${BUILD:-build/host}
omnipack=${OMNIPACK:-dist/bin/omnipack}
[ -x "$omnipack" ] || omnipack=$build/tools/omnipack/omnipack
measure=$build/bench/process_measure
for program in "$omnipack" "$measure" "$build/bench/lzhuf_bench" "$build/bench/crc32_bench" \
  "$build/bench/script_bench" "$build/bench/fetch_bench" "$build/bench/check_bench"; do
  [ -x "$program" ] || { echo "bench: $program is missing; build first (make build)" >&2; exit 1; }
done

# The reference: published LZHUF.C, gcc -O2, whole process, 2 vCPU AMD EPYC.
ref_decode_ir=230801479
ref_decode_mbs=54.2
ref_encode_ir=2243839239
ref_encode_mbs=6.14
ref_encoded_size=586463

sample=bench/data/bench-sample-2mb
sample_size=$(stat -c %s "$sample.bin")
work=build/bench
mkdir -p "$work"

field() {  # field NAME "name=value ..." -> value
  tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"
}
calc() {
  awk "BEGIN { printf $1 }"
}
callgrind_ir() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

echo "== Google Benchmark (in process)"
"$build/bench/lzhuf_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
"$build/bench/crc32_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/crc32.csv" --benchmark_out_format=csv
crc_rate() {  # bytes per second of a benchmark's median
  awk -F, -v name="\"$1_median\"" '$1 == name { print $6 }' "$work/crc32.csv"
}
crc_ours=$(crc_rate BM_Crc32Update)
crc_zlib=$(crc_rate BM_ZlibCrc32)
# The CSV report takes benchmarks of one set of counters: the calls among sections (per call) are
# shown apart from the commands (per command).
"$build/bench/script_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_filter='-BM_CallSections' \
  --benchmark_out="$work/script.csv" --benchmark_out_format=csv
"$build/bench/script_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_filter='BM_CallSections'
per_command_ns() {  # nanoseconds per command of a benchmark's median (its last column)
  awk -F, -v name="\"$1_median\"" '$1 == name { printf "%.0f", $NF * 1e9 }' "$work/script.csv"
}
parse_ns=$(per_command_ns BM_ParseScript)
split_ns=$(per_command_ns BM_SplitLinesReference)
sets_ns=$(per_command_ns BM_RunMainSets)
map_ns=$(per_command_ns BM_MapAssignReference)
"$build/bench/fetch_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/fetch.csv" --benchmark_out_format=csv
per_fetch_us() {  # microseconds per fetched file of a benchmark's median (its last column)
  awk -F, -v name="\"BM_FetchFiles/$1_median\"" '$1 == name { printf "%.0f", $NF * 1e6 }' \
    "$work/fetch.csv"
}
"$build/bench/check_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/check.csv" --benchmark_out_format=csv
check_ms() {  # CPU milliseconds of a benchmark's median
  awk -F, -v name="\"$1_median\"" '$1 == name { printf "%.1f", $4 }' "$work/check.csv"
}
check_ms_ours=$(check_ms BM_CheckScript)
load_ms=$(check_ms BM_LoadScript)
fetch_100_us=$(per_fetch_us 100)
fetch_2000_us=$(per_fetch_us 2000)

echo
echo "== Whole process ($omnipack, median of 5)"
decode=$("$measure" 5 "$omnipack" decode "$sample.lzh" /dev/null)
encode=$("$measure" 5 "$omnipack" encode "$sample.bin" "$work/sample.lzh")
encoded_size=$(stat -c %s "$work/sample.lzh")
decode_mbs=$(calc "\"%.1f\", $sample_size / $(field seconds "$decode") / 1e6")
encode_mbs=$(calc "\"%.2f\", $sample_size / $(field seconds "$encode") / 1e6")

decode_ir="" encode_ir=""
if command -v valgrind >/dev/null; then
  decode_ir=$(callgrind_ir "$omnipack" decode "$sample.lzh" /dev/null)
  encode_ir=$(callgrind_ir "$omnipack" encode "$sample.bin" "$work/sample-callgrind.lzh")
fi

# 256 MiB of output from one stream: the sample 128 times, encoded once and kept.
big=$work/big-256mb.lzh
if [ ! -f "$big" ]; then
  echo "(encoding the 256 MiB stream once into $big)"
  for _ in $(seq 128); do cat "$sample.bin"; done >"$work/big-256mb.bin"
  "$omnipack" encode "$work/big-256mb.bin" "$big"
  rm -f "$work/big-256mb.bin"
fi
big_decode=$("$measure" 1 "$omnipack" decode "$big" /dev/null)
big_peak_kib=$(field peak_kib "$big_decode")

printf '%-44s %16s %16s %8s\n' measurement ours reference ratio
row() { printf '%-44s %16s %16s %8s\n' "$@"; }
row "decode, output MB/s (higher is better)" "$decode_mbs" "$ref_decode_mbs" \
  "$(calc "\"%.2f\", $decode_mbs / $ref_decode_mbs")"
if [ -n "$decode_ir" ]; then
  row "decode, instructions (lower is better)" "$decode_ir" "$ref_decode_ir" \
    "$(calc "\"%.3f\", $decode_ir / $ref_decode_ir")"
fi
row "encode, input MB/s (higher is better)" "$encode_mbs" "$ref_encode_mbs" \
  "$(calc "\"%.2f\", $encode_mbs / $ref_encode_mbs")"
if [ -n "$encode_ir" ]; then
  row "encode, instructions (lower is better)" "$encode_ir" "$ref_encode_ir" \
    "$(calc "\"%.3f\", $encode_ir / $ref_encode_ir")"
fi
row "encoded size, bytes (lower is better)" "$encoded_size" "$ref_encoded_size" \
  "$(calc "\"%.4f\", $encoded_size / $ref_encoded_size")"
row "CRC-32 over 16 MiB, MB/s (vs zlib, same run)" "$(calc "\"%.0f\", $crc_ours / 1e6")" \
  "$(calc "\"%.0f\", $crc_zlib / 1e6")" "$(calc "\"%.2f\", $crc_ours / $crc_zlib")"
row "script parse, ns/command (vs line split)" "$parse_ns" "$split_ns" \
  "$(calc "\"%.1f\", $parse_ns / $split_ns")"
row "script Main of SETs, ns/command (vs map)" "$sets_ns" "$map_ns" \
  "$(calc "\"%.1f\", $sets_ns / $map_ns")"
row "check of 1 MB script, 2,000 files, ms (vs load)" "$check_ms_ours" "$load_ms" \
  "$(calc "\"%.2f\", $check_ms_ours / $load_ms")"
row "fetch 2,000 of 2,000 entries, us/file (vs 100)" "$fetch_2000_us" "$fetch_100_us" \
  "$(calc "\"%.2f\", $fetch_2000_us / $fetch_100_us")"
row "decode 256 MiB stream, peak memory KiB" "$big_peak_kib" "" ""
[ -n "$decode_ir" ] || echo "(valgrind is not installed: no instruction counts)"

echo
BUILD=$build "$root/bench/install_files.sh"

echo
echo "== An update killed at 30 moments and rerun (bench/kill_runs.sh)"
"$root/bench/kill_runs.sh" 30

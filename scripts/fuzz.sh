#!/usr/bin/env bash
# Runs the libFuzzer targets of the fuzz tree (build/fuzz by default).
#   scripts/fuzz.sh replay   every committed input of fuzz/corpus/<target>/ once through its target
#   scripts/fuzz.sh run      each target for FUZZ_SECONDS (60) on a copy of its corpus; new inputs
#                            stay in build/fuzz/work/<target>/corpus, crashes in .../findings
# FUZZ_TARGETS chooses the targets (all by default), FUZZ_BUILD the tree.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
mode=${1:-replay}
build=${FUZZ_BUILD:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-package_reader lzhuf_decoder set_signature script_interpreter command_line ini_profile}

# The targets write every input to a file, which on a disk file system costs more than the input's
# run (ext4 writes back a file truncated and rewritten when it is closed): the files go into a
# folder of this run's own in memory where there is one, removed at the end, also after a crash.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=$(mktemp -d /dev/shm/omni-fuzz.XXXXXX)
  trap 'rm -rf "$TMPDIR"' EXIT
else
  TMPDIR="$build/tmp"
  mkdir -p "$TMPDIR"
fi
export TMPDIR
# A sanitizer report ends the target at once, with its stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
for target in $targets; do
  binary="$build/fuzz/fuzz_$target"
  corpus="$root/fuzz/corpus/$target"
  [ -x "$binary" ] || { echo "fuzz: $binary is not built" >&2; exit 1; }
  case "$mode" in
    replay)
      # Files as arguments: each runs once and nothing is written to the corpus.
      if "$binary" -rss_limit_mb=2048 "$corpus"/* >"$build/replay-$target.log" 2>&1; then
        echo "fuzz: $target: $(find "$corpus" -type f | wc -l) corpus files replayed"
      else
        echo "fuzz: $target: replay failed, see $build/replay-$target.log" >&2
        tail -n 30 "$build/replay-$target.log" >&2
        failed=1
      fi
      ;;
    run)
      work="$build/work/$target"
      mkdir -p "$work/corpus" "$work/findings"
      cp -n "$corpus"/* "$work/corpus/"
      # The target's dictionary: the keywords and markers its input is made of.
      dict=()
      [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
      echo "fuzz: $target for ${seconds}s"
      if ! (cd "$work/findings" && "$binary" -max_total_time="$seconds" -rss_limit_mb=2048 \
          -print_final_stats=1 "${dict[@]}" "$work/corpus" 2>"$work/fuzz.log"); then
        echo "fuzz: $target found a fault, see $work/fuzz.log and $work/findings" >&2
        failed=1
      fi
      grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::new_units_added' \
        "$work/fuzz.log" | sed "s/^/  /"
      ;;
    *)
      echo "usage: scripts/fuzz.sh replay|run" >&2
      exit 2
      ;;
  esac
done
exit "$failed"

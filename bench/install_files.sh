#!/usr/bin/env bash
# What installing files costs under Wine, measured on whole installer processes:
#  1. 2,000 files of 20 KB installed by one INSTALLFILES section (silent run) against the same
#     installer's extract-only run (/E), which unpacks the same files and runs nothing; the two are
#     run alternately, ROUNDS times each, and their medians and ratio are printed.
#  2. One 200 MB file installed by one FILE command, against its extract-only run, and the peak
#     resident set of the installing process (its VmHWM, as wait4 reports it for the process and
#     its waited-for children) beside that of an installer whose Main installs nothing, which is
#     what Wine itself takes to run the installer.
# The files are generated into build/bench/install-files on the first run and kept.
#
#   bench/install_files.sh [ROUNDS]     (default 5)
#   DIST     staged tools: bin/omnipack, win32/installer.exe, win32/lang (default dist)
#   BUILD    host build tree holding bench/process_measure (default build/host)
# Installers in one Wine prefix exclude each other: run it when no other installer runs there, or
# give it a prefix of its own with WINEPREFIX.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-5}
dist=${DIST:-$root/dist}
build=${BUILD:-$root/build/host}
omnipack="$dist/bin/omnipack"
measure="$build/bench/process_measure"
wine_run="$root/tools/wine-run"
work="$root/build/bench/install-files"
drive_c="${WINEPREFIX:-$root/build/wine}/drive_c"
for program in "$omnipack" "$measure"; do
  [ -x "$program" ] || { echo "bench: $program is missing; build first (make build)" >&2; exit 1; }
done
mkdir -p "$work"

# Text made of a few thousand random words: it compresses to about half, as documents and
# configuration files do, and every file is different. The same seed gives the same files.
generate() {  # generate MANY_FOLDER BIG_FOLDER
  python3 - "$1" "$2" <<'PY'
import os, random, sys
many, big = sys.argv[1:]
rng = random.Random(20261210)
letters = 'abcdefghijklmnopqrstuvwxyz'
words = [''.join(rng.choice(letters) for _ in range(rng.randint(2, 10))) for _ in range(4000)]
lines, size = [], 0
while size < 4 << 20:
    line = ' '.join(rng.choice(words) for _ in range(rng.randint(3, 14))) + '\r\n'
    lines.append(line)
    size += len(line)
pool = ''.join(lines).encode()
def piece(length):
    start = rng.randrange(len(pool) - length)
    return pool[start:start + length]
os.makedirs(many, exist_ok=True)
for i in range(2000):
    head = b'file %04d\r\n' % i
    with open(os.path.join(many, 'f%04d.dat' % i), 'wb') as out:
        out.write(head + piece(20480 - len(head)))
os.makedirs(big, exist_ok=True)
with open(os.path.join(big, 'big.bin'), 'wb') as out:
    for _ in range(200 * 16):
        out.write(piece(65536))
PY
}

# The install scripts: the files go into C:\bench\..., backups into its Backup folder.
write_scripts() {
  {
    printf '[Main]\r\nSet dir="C:\\bench\\many"\r\nSetWorkDir dir,CREATE\r\n'
    printf 'SetBackupDir bk=Backup\r\nInstallFiles Files\r\n\r\n[Files]\r\n'
    for i in $(seq -f '%04g' 0 1999); do printf 'File f%s.dat\r\n' "$i"; done
  } >"$work/many/ORQSCRIP.OSC"
  printf '[Main]\r\nSet dir="C:\\bench\\big"\r\nSetWorkDir dir,CREATE\r\n%s\r\n%s\r\n' \
    'SetBackupDir bk=Backup' 'File big.bin' >"$work/big/ORQSCRIP.OSC"
  mkdir -p "$work/empty"  # ends with success: a run that installs nothing reports status 43
  printf '[Main]\r\nSetFinalStatusFlag fs=0\r\n' >"$work/empty/ORQSCRIP.OSC"
}

if [ ! -f "$work/generated" ]; then
  echo "(generating 2,000 files of 20 KB and one of 200 MB into $work)"
  rm -rf "$work/many" "$work/big"
  generate "$work/many" "$work/big"
  touch "$work/generated"
fi
write_scripts
for name in many big empty; do
  "$omnipack" build --main "$work/$name" -o "$work/$name.exe"
done

mkdir -p "$drive_c/bench"
"$wine_run" wineboot >/dev/null 2>&1  # the wine server is up before the first measurement
field() {  # field NAME "name=value ..." -> value
  tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# measure_run TARGET_FOLDER INSTALLER ARGUMENTS...: one run into an empty target; "seconds=...
# peak_kib=...". The run must exit with 0.
measure_run() {
  local target=$1
  shift
  rm -rf "${drive_c:?}/bench/$target" "$drive_c/bench/$target.log"
  "$measure" 1 "$wine_run" "$@" /LOGFILE "C:\\bench\\$target.log" || {
    echo "bench: $* failed; its log:" >&2
    tail -n 5 "$drive_c/bench/$target.log" >&2 || true
    exit 1
  }
}
# same_files FROM TO: TO holds the same bytes as FROM for every file of FROM but the script.
same_files() {
  diff -rq -x ORQSCRIP.OSC -x Backup "$1" "$2" >/dev/null ||
    { echo "bench: $2 does not hold the files of $1" >&2; exit 1; }
}

: >"$work/install.s"
: >"$work/extract.s"
for round in $(seq 1 "$rounds"); do
  run=$(measure_run many "$work/many.exe" /SILENT)
  field seconds "$run" >>"$work/install.s"
  run=$(measure_run many-extract "$work/many.exe" /E 'C:\bench\many-extract')
  field seconds "$run" >>"$work/extract.s"
  if [ "$round" = 1 ]; then
    same_files "$work/many" "$drive_c/bench/many"
    same_files "$work/many" "$drive_c/bench/many-extract"
  fi
done
install_s=$(median <"$work/install.s")
extract_s=$(median <"$work/extract.s")

big=$(measure_run big "$work/big.exe" /SILENT)
same_files "$work/big" "$drive_c/bench/big"
big_extract=$(measure_run big-extract "$work/big.exe" /E 'C:\bench\big-extract')
empty=$(measure_run empty "$work/empty.exe" /SILENT)
big_s=$(field seconds "$big")
big_extract_s=$(field seconds "$big_extract")
big_kib=$(field peak_kib "$big")
empty_kib=$(field peak_kib "$empty")
rm -rf "${drive_c:?}/bench"

calc() { awk "BEGIN { printf $1 }"; }
seconds() { calc "\"%.2f\", $1"; }
row() { printf '%-56s %12s %12s %8s\n' "$@"; }
echo "== Installing files under Wine (median of $rounds alternating runs)"
row measurement ours reference ratio
row "2,000 files of 20 KB, install s (vs extract-only /E)" "$(seconds "$install_s")" \
  "$(seconds "$extract_s")" \
  "$(calc "\"%.2f\", $install_s / $extract_s")"
row "one 200 MB file, install s (vs extract-only /E, 1 run)" "$(seconds "$big_s")" \
  "$(seconds "$big_extract_s")" \
  "$(calc "\"%.2f\", $big_s / $big_extract_s")"
row "one 200 MB file, peak memory KiB (vs installing nothing)" "$big_kib" "$empty_kib" \
  "$(printf '%+d' $((big_kib - empty_kib)))"

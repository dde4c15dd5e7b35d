#!/usr/bin/env bash
# What installing files costs under Wine, side by side with NSIS (zlib, the installer people would
# pick instead), measured on whole installer processes, alternating ours and NSIS, ROUNDS each:
#  1. 2,000 files of 20 KB (half text, half random bytes) into an empty folder.
#  2. The same files over an older copy: ours backs up every file into the folder's Backup folder
#     as it replaces it, NSIS copies the old files into a Backup folder first.
#  3. The cost per file (beyond the start of an installer with nothing to do) among 2,000 files
#     against among 200 of the same kind, for both: what grows with the folder beyond what the file
#     system charges NSIS shows here.
#  4. One 200 MB file, and the peak resident set of its installing process (VmHWM, as wait4
#     reports it for the process and its waited-for children); also against the floor of putting
#     those bytes there, a plain program that copies the file in 64 KiB blocks (write_floor).
#  5. An installer with nothing to do: its start to its exit, and its size.
# The files are generated into build/bench/install-files on the first run and kept.
#
#   bench/install_files.sh [ROUNDS]     (default 5)
#   DIST     staged tools: bin/omnipack, win32/installer.exe, win32/lang (default: the test dist of
#            the Windows tree that scripts/windows-tree.sh chooses, dist/ for the i686 tree)
#   BUILD    host build tree holding bench/process_measure (default build/host)
# Installers in one Wine prefix exclude each other: run it when no other installer runs there, or
# give it a prefix of its own with WINEPREFIX.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-5}
source "$root/scripts/windows-tree.sh"
dist=${DIST:-$test_dist}
build=${BUILD:-$root/build/host}
omnipack="$dist/bin/omnipack"
measure="$build/bench/process_measure"
write_floor="$windows_build/bench/write_floor.exe"
wine_run="$root/tools/wine-run"
work="$root/build/bench/install-files"
drive_c="$wine_prefix/drive_c"
# NSIS's installers for the same kind of Windows program as ours.
nsis_target=$([ "$windows_arch" = x86_64 ] && echo amd64-unicode || echo x86-unicode)
for program in "$omnipack" "$measure" "$write_floor"; do
  [ -x "$program" ] || { echo "bench: $program is missing; build first (make build)" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "bench: makensis is missing (make deps)" >&2; exit 1; }
mkdir -p "$work"

# Even files: text made of a few thousand random words, which compresses to about half, as
# documents and configuration files do; odd files: random bytes, as compressed or signed binaries.
# Every file is different; the same seed gives the same files.
generate() {  # generate MANY_FOLDER FEW_FOLDER BIG_FOLDER
  python3 - "$1" "$2" "$3" <<'PY'
import os, random, sys
many, few, big = sys.argv[1:]
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
for folder in (many, few, big):
    os.makedirs(folder, exist_ok=True)
for i in range(2000):
    head = b'file %04d\r\n' % i
    body = piece(20480 - len(head)) if i % 2 == 0 else rng.randbytes(20480 - len(head))
    for folder in (many, few) if i < 200 else (many,):
        with open(os.path.join(folder, 'f%04d.dat' % i), 'wb') as out:
            out.write(head + body)
with open(os.path.join(big, 'big.bin'), 'wb') as out:
    for _ in range(200 * 16):
        out.write(piece(65536))
PY
}

# Our scripts: the files go into C:\bench\NAME, backups into its Backup folder.
write_scripts() {
  local name count
  for name in many:1999 few:199; do
    count=${name#*:}
    name=${name%%:*}
    {
      printf '[Main]\r\nSet dir="C:\\bench\\%s"\r\nSetWorkDir dir,CREATE\r\n' "$name"
      printf 'SetBackupDir bk=Backup\r\nInstallFiles Files\r\n\r\n[Files]\r\n'
      for i in $(seq -f '%04g' 0 "$count"); do printf 'File f%s.dat\r\n' "$i"; done
    } >"$work/$name/ORQSCRIP.OSC"
  done
  printf '[Main]\r\nSet dir="C:\\bench\\big"\r\nSetWorkDir dir,CREATE\r\n%s\r\n%s\r\n' \
    'SetBackupDir bk=Backup' 'File big.bin' >"$work/big/ORQSCRIP.OSC"
  mkdir -p "$work/empty"  # ends with success: a run that installs nothing reports status 43
  printf '[Main]\r\nSetFinalStatusFlag fs=0\r\n' >"$work/empty/ORQSCRIP.OSC"
}

# The NSIS installers of the same work, silent, into the folder that /D= names.
write_nsis() {  # write_nsis NAME SECTION_BODY
  cat >"$work/$1.nsi" <<NSI
Unicode true
Target $nsis_target
SetCompressor zlib
Name "$1"
OutFile "$work/$1-nsis.exe"
RequestExecutionLevel user
SilentInstall silent
InstallDir "C:\\bench\\$1-nsis"
Section
$2
SectionEnd
NSI
  makensis -V1 "$work/$1.nsi" >/dev/null
}

if [ ! -f "$work/generated-2" ]; then
  echo "(generating 2,000 files of 20 KB and one of 200 MB into $work)"
  rm -rf "$work/many" "$work/few" "$work/big"
  generate "$work/many" "$work/few" "$work/big"
  touch "$work/generated-2"
fi
write_scripts
for name in many few big empty; do
  "$omnipack" build --main "$work/$name" -o "$work/$name.exe" >/dev/null
done
for name in many few; do
  write_nsis "$name" "  SetOutPath \$INSTDIR
  File \"$work/$name/*.dat\""
done
write_nsis update "  CreateDirectory \$INSTDIR\\Backup
  CopyFiles /SILENT \"\$INSTDIR\\*.dat\" \"\$INSTDIR\\Backup\"
  SetOutPath \$INSTDIR
  File \"$work/many/*.dat\""
write_nsis big "  SetOutPath \$INSTDIR
  File \"$work/big/big.bin\""
write_nsis empty ""

mkdir -p "$drive_c/bench"
"$wine_run" wineboot >/dev/null 2>&1  # the wine server is up before the first measurement
field() {  # field NAME "name=value ..." -> value
  tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"
}
winpath() { echo "Z:${1//\//\\}"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# ours TARGET INSTALLER: one silent run of our installer, which installs into C:\bench\TARGET;
# "seconds=... peak_kib=...". The run must exit with 0.
ours() {
  "$measure" 1 "$wine_run" "$2" /SILENT /LOGFILE "C:\\bench\\$1.log" || {
    echo "bench: $2 failed; its log:" >&2
    tail -n 5 "$drive_c/bench/$1.log" >&2 || true
    exit 1
  }
}
# nsis TARGET INSTALLER: one silent run of an NSIS installer into C:\bench\TARGET.
nsis() {
  "$measure" 1 "$wine_run" "$2" /S "/D=C:\\bench\\$1" ||
    { echo "bench: $2 failed" >&2; exit 1; }
}
# fresh TARGET [OLD_FILES]: an empty target, or one holding a copy of OLD_FILES.
fresh() {
  rm -rf "${drive_c:?}/bench/$1" "$drive_c/bench/$1.log"
  if [ -n "${2:-}" ]; then
    mkdir -p "$drive_c/bench/$1"
    cp "$2"/*.dat "$drive_c/bench/$1/"
  fi
}
# same_files FROM TO: TO holds the same bytes as FROM for every file of FROM but the script.
same_files() {
  diff -rq -x ORQSCRIP.OSC -x Backup "$1" "$2" >/dev/null ||
    { echo "bench: $2 does not hold the files of $1" >&2; exit 1; }
}
# record FILE RUN: appends the run's seconds to FILE.
record() { field seconds "$2" >>"$work/$1.s"; }

for figure in many many-nsis update update-nsis few few-nsis big big-nsis big-floor empty \
  empty-nsis; do
  : >"$work/$figure.s"
done
for round in $(seq 1 "$rounds"); do
  fresh many
  record many "$(ours many "$work/many.exe")"
  fresh many-nsis
  record many-nsis "$(nsis many-nsis "$work/many-nsis.exe")"
  [ "$round" != 1 ] || same_files "$work/many" "$drive_c/bench/many"
  [ "$round" != 1 ] || same_files "$work/many" "$drive_c/bench/many-nsis"
  fresh many "$work/many"
  record update "$(ours many "$work/many.exe")"
  fresh update-nsis "$work/many"
  record update-nsis "$(nsis update-nsis "$work/update-nsis.exe")"
  [ "$round" != 1 ] || same_files "$work/many" "$drive_c/bench/many/Backup"
  fresh few
  record few "$(ours few "$work/few.exe")"
  fresh few-nsis
  record few-nsis "$(nsis few-nsis "$work/few-nsis.exe")"
  fresh empty
  record empty "$(ours empty "$work/empty.exe")"
  fresh empty-nsis
  record empty-nsis "$(nsis empty-nsis "$work/empty-nsis.exe")"
done
big_runs=$(((rounds + 1) / 2))
for _ in $(seq "$big_runs"); do
  fresh big
  big=$(ours big "$work/big.exe")
  record big "$big"
  fresh big-nsis
  big_nsis=$(nsis big-nsis "$work/big-nsis.exe")
  record big-nsis "$big_nsis"
  fresh big-floor
  mkdir -p "$drive_c/bench/big-floor"
  record big-floor "$("$measure" 1 "$wine_run" "$write_floor" "$(winpath "$work/big/big.bin")" \
    'C:\bench\big-floor\big.bin')"
done
same_files "$work/big" "$drive_c/bench/big"
big_kib=$(field peak_kib "$big")
big_nsis_kib=$(field peak_kib "$big_nsis")
rm -rf "${drive_c:?}/bench"

calc() { awk "BEGIN { printf $1 }"; }
m() { median <"$work/$1.s"; }
row() { printf '%-60s %10s %10s %8s\n' "$@"; }
# time_row TEXT OURS REFERENCE [SCALE]: seconds, or milliseconds with SCALE 1000.
time_row() {
  local scale=${4:-1} ours reference
  ours=$(m "$2")
  reference=$(m "$3")
  row "$1" "$(calc "\"%.${5:-2}f\", $ours * $scale")" "$(calc "\"%.${5:-2}f\", $reference * $scale")" \
    "$(calc "\"%.2f\", $ours / $reference")"
}
echo "== Installing files under Wine, ours against NSIS 3 with zlib (median of $rounds alternating runs)"
row measurement ours NSIS ratio
time_row "2,000 files of 20 KB into an empty folder, s" many many-nsis
time_row "the same over an older copy, with backups, s" update update-nsis
time_row "one 200 MB file, s (median of $big_runs)" big big-nsis
time_row "one 200 MB file, s, against a plain copy of it (write floor)" big big-floor
row "one 200 MB file, peak memory KiB" "$big_kib" "$big_nsis_kib" \
  "$(calc "\"%.2f\", $big_kib / $big_nsis_kib")"
time_row "an installer with nothing to do, start to exit, ms" empty empty-nsis 1000 0
ours_size=$(stat -c %s "$work/empty.exe")
nsis_size=$(stat -c %s "$work/empty-nsis.exe")
row "an installer with nothing to do, bytes" "$ours_size" "$nsis_size" \
  "$(calc "\"%.2f\", $ours_size / $nsis_size")"
# per_file TARGETS EMPTY: ms per file among 2,000 (vs among 200), beyond the empty installer's run.
per_file() {
  local few many empty
  few=$(m "few$1")
  many=$(m "many$1")
  empty=$(m "empty$1")
  row "$2: ms per file among 2,000 files (vs among 200)" \
    "$(calc "\"%.2f\", ($many - $empty) / 2")" "$(calc "\"%.2f\", ($few - $empty) * 5")" \
    "$(calc "\"%.2f\", ($many - $empty) / 2 / (($few - $empty) * 5)")"
}
per_file "" ours
per_file -nsis NSIS

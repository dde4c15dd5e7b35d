# File installation: installs, updates with backups, files in use replaced at restart on both
# platform families, folder removal, and a copy that runs out of disk space. Sourced by run.sh.

install_fixtures="$fixtures/install"
prefix="$wine_prefix"
products="$prefix/drive_c/omni-e2e"  # C:\omni-e2e
rm -rf "$products"

# package NAME SCRIPT PRODUCT [EXTRA_FOLDER]: builds work/NAME.exe from the package files (and the
# extra folder's), with the script's @ROOT@ replaced by the product's Windows path.
package() {
  local name=$1 script=$2 product=$3 extra=${4:-}
  local folder="$work/package-$name"
  rm -rf "$folder" && mkdir -p "$folder"
  cp -rp "$install_fixtures/files/." "$folder/"
  [ -z "$extra" ] || cp -rp "$extra/." "$folder/"
  python3 - "$install_fixtures/$script" "$product" "$folder/ORQSCRIP.OSC" <<'PY'
import sys
script, product, out = sys.argv[1:]
open(out, 'wb').write(open(script, 'rb').read().replace(b'@ROOT@', product.encode()))
PY
  "$omnipack" build --main "$folder" ${no_check:+--no-check} -o "$work/$name.exe" >/dev/null
}

# The files of the update before this one, dated 2020.
old_product() {
  mkdir -p "$1/bin"
  printf 'Sample product 8.7, update 1, with a longer readme than the new one.\r\n' >"$1/readme.txt"
  printf 'old engine\n' >"$1/bin/engine.dll"
  printf '[Scan]\r\nHeuristics=1\r\n' >"$1/bin/scan.cfg"
  touch -d '2020-01-02 03:04:05' "$1/readme.txt" "$1/bin/engine.dll" "$1/bin/scan.cfg"
}
new_files=(readme.txt bin/engine.dll bin/scan.cfg)
same() { cmp -s "$1" "$2" || fail "${1#"$root"/} differs from ${2#"$root"/}"; }
same_time() {
  [ "$(stat -c %Y "$1")" = "$(stat -c %Y "$2")" ] || fail "${1#"$root"/} has another time stamp"
}
# expect_in_order FIRST SECOND: both are pending, FIRST before SECOND.
expect_in_order() {
  local operations first second
  operations=$(pending_operations)
  first=$(grep -nxF -- "$1" <<<"$operations" | head -n 1 | cut -d: -f1)
  second=$(grep -nxF -- "$2" <<<"$operations" | head -n 1 | cut -d: -f1)
  [ -n "$first" ] && [ -n "$second" ] && [ "$first" -lt "$second" ] ||
    fail "not pending in this order: '$1', '$2'"
}
# What a restart does to the pending operations; Wine's wineboot carries them out.
restart_wine() { "$wine_run" wineboot -r >/dev/null 2>&1; }

package install-clean install.osc 'C:\omni-e2e\install-clean'
product="$products/install-clean"
run install-clean ok 0 /S /LOGFILE "$(winpath "$work/install-clean.log")"
for file in "${new_files[@]}"; do
  same "$product/$file" "$install_fixtures/files/$file"
  same_time "$product/$file" "$work/package-install-clean/$file"
done
expect_log 'Replacing file...C:\omni-e2e\install-clean\bin\engine.dll'
[ -z "$(ls -A "$product/Backup")" ] || fail "backups of files that did not exist"
expect_record 0 0
done_scenario

package install-update install.osc 'C:\omni-e2e\install-update'
product="$products/install-update"
old_product "$product"
cp -rp "$product" "$work/install-update-old"
run install-update ok 0 /S /LOGFILE "$(winpath "$work/install-update.log")"
for file in "${new_files[@]}"; do
  same "$product/$file" "$install_fixtures/files/$file"
  same "$product/Backup/${file##*/}" "$work/install-update-old/$file"
  same_time "$product/Backup/${file##*/}" "$work/install-update-old/$file"
done
expect_log 'Backing up file into C:\omni-e2e\install-update\Backup\readme.txt'
expect_log 'Replacing file...C:\omni-e2e\install-update\readme.txt'
expect_record 0 0
done_scenario

# A running program holds the engine with read sharing: it cannot be written, so it and every
# later file wait for the restart; the restart puts them in place.
package held-read install.osc 'C:\omni-e2e\held-read'
product="$products/held-read"
old_product "$product"
cp -rp "$product" "$work/held-read-old"
clear_pending_operations
hold 'C:\omni-e2e\held-read\bin\engine.dll' read
run held-read ok 0 /S /LOGFILE "$(winpath "$work/held-read.log")"
release
same "$product/readme.txt" "$install_fixtures/files/readme.txt"
same "$product/bin/engine.dll" "$work/held-read-old/bin/engine.dll"
same "$product/bin/engine.1" "$install_fixtures/files/bin/engine.dll"
same "$product/bin/scan.1" "$install_fixtures/files/bin/scan.cfg"
expect_log 'File C:\omni-e2e\held-read\bin\engine.dll will be replaced on reboot.'
expect_log 'File C:\omni-e2e\held-read\bin\scan.cfg will be replaced on reboot.'
expect_no_log 'Replacing file...C:\omni-e2e\held-read\bin\scan.cfg'
expect_in_order 'delete \??\C:\omni-e2e\held-read\bin\engine.dll' \
  'move \??\C:\omni-e2e\held-read\bin\engine.1 -> \??\C:\omni-e2e\held-read\bin\engine.dll'
expect_in_order 'delete \??\C:\omni-e2e\held-read\bin\scan.cfg' \
  'move \??\C:\omni-e2e\held-read\bin\scan.1 -> \??\C:\omni-e2e\held-read\bin\scan.cfg'
expect_record 0 1
restart_wine
for file in "${new_files[@]}"; do same "$product/$file" "$install_fixtures/files/$file"; done
[ ! -e "$product/bin/engine.1" ] && [ ! -e "$product/bin/scan.1" ] || fail "staging copies left"
clear_pending_operations
done_scenario

# The system refuses the move at restart (its list is made unusable): 107 is logged, the staging
# copy removed, the old file kept, and no restart recorded for a file that does not wait for one.
# A refused replacement (45) after a successful install counts as success, as Main's rules say.
package refused-restart install.osc 'C:\omni-e2e\refused-restart'
product="$products/refused-restart"
old_product "$product"
cp -rp "$product" "$work/refused-restart-old"
"$wine_run" reg add 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations /t REG_BINARY /d 78 /f >/dev/null 2>&1
hold 'C:\omni-e2e\refused-restart\bin\engine.dll' read
run refused-restart ok 0 /S /LOGFILE "$(winpath "$work/refused-restart.log")"
release
clear_pending_operations
same "$product/bin/engine.dll" "$work/refused-restart-old/bin/engine.dll"
[ ! -e "$product/bin/engine.1" ] || fail "the staging copy was left"
expect_log 'Not enough rights to update file : C:\omni-e2e\refused-restart\bin\engine.dll'
expect_record 0 0
done_scenario

package delete-files delete-files.osc 'C:\omni-e2e\delete-files'
product="$products/delete-files"
mkdir -p "$product/sub" "$work/sub" && echo here >"$product/here.txt"
echo victim >"$product/sub/victim.txt" && echo victim >"$work/sub/victim.txt"
run delete-files ok 0 /S /LOGFILE "$(winpath "$work/delete-files.log")"
[ ! -e "$product/here.txt" ] || fail "here.txt was not deleted"
[ ! -e "$product/sub/victim.txt" ] || fail "sub\\victim.txt was not deleted"
[ -e "$work/sub/victim.txt" ] || fail "sub\\victim.txt of the current folder was deleted"
expect_log 'Deleting...C:\omni-e2e\delete-files\gone.txt'
expect_log 'Unable to delete file.'
expect_log 'Deleting...C:\omni-e2e\delete-files\here.txt'
done_scenario

# Held without sharing: the backup cannot read it, and nothing of it is touched.
package held-none install.osc 'C:\omni-e2e\held-none'
product="$products/held-none"
old_product "$product"
cp -rp "$product" "$work/held-none-old"
hold 'C:\omni-e2e\held-none\bin\engine.dll' none
run held-none ok 35 /S /LOGFILE "$(winpath "$work/held-none.log")"
release
same "$product/readme.txt" "$install_fixtures/files/readme.txt"
same "$product/bin/engine.dll" "$work/held-none-old/bin/engine.dll"
same "$product/bin/scan.cfg" "$work/held-none-old/bin/scan.cfg"
[ ! -e "$product/bin/engine.1" ] || fail "a staging copy was made"
expect_log 'Unable to backup existing file. Not enough rights.'
expect_log 'Script command failed: [Files] line 12: FILE returned 35'
expect_log 'Script command failed: [Main] line 8: INSTALLFILES returned 35'
expect_record 35 0
done_scenario

# The 9x family replaces files in use through WININIT.INI: the new lines go into its [Rename]
# section, the other sections stay as they were.
as_win98 wininit-9x.exe
package wininit-9x install.osc 'C:\omni-e2e\wininit-9x'
product="$products/wininit-9x"
old_product "$product"
find "$prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini -delete
wininit="$prefix/drive_c/windows/WININIT.INI"
printf '[Rename]\r\nA=B\r\n[Other]\r\nX=Y\r\n' >"$wininit"
hold 'C:\omni-e2e\wininit-9x\bin\engine.dll' read
run wininit-9x ok 0 /S /LOGFILE "$(winpath "$work/wininit-9x.log")"
release
python3 - "$wininit" <<'PY' || fail "WININIT.INI: $(tr '\r\n' '|' <"$wininit")"
import re, sys
lines = open(sys.argv[1], 'rb').read().decode('latin-1').split('\r\n')
patterns = [r'\[Rename\]', 'A=B',
            r'NUL=C:\\.*\\ENGINE\.DLL', r'C:\\.*\\ENGINE\.DLL=C:\\.*\\ENGINE\.1',
            r'NUL=C:\\.*\\SCAN\.CFG', r'C:\\.*\\SCAN\.CFG=C:\\.*\\SCAN\.1',
            r'\[Other\]', 'X=Y', '']
sys.exit(len(lines) != len(patterns) or not all(
    re.fullmatch(p, l, re.IGNORECASE) for p, l in zip(patterns, lines)))
PY
same "$product/bin/engine.1" "$install_fixtures/files/bin/engine.dll"
expect_log 'File C:\omni-e2e\wininit-9x\bin\engine.dll will be replaced on reboot.'
expect_record 0 1
rm -f "$wininit"
done_scenario

# A tree with a file in use: the rest goes at once, the file and the folders above it at restart.
package delete-tree delete-tree.osc 'C:\omni-e2e\delete-tree'
product="$products/delete-tree"
mkdir -p "$product/sub/deeper" "$product/empty"
echo a >"$product/a.txt"
echo b >"$product/sub/b.txt"
echo c >"$product/sub/deeper/c.txt"
"$wine_run" attrib +r 'C:\omni-e2e\delete-tree\sub\b.txt' >/dev/null 2>&1
clear_pending_operations
hold 'C:\omni-e2e\delete-tree\sub\deeper\c.txt' read
run delete-tree ok 0 /S /LOGFILE "$(winpath "$work/delete-tree.log")"
release
[ ! -e "$product/a.txt" ] && [ ! -e "$product/sub/b.txt" ] && [ ! -e "$product/empty" ] ||
  fail "files or empty folders left: $(cd "$product" && find . | tr '\n' ' ')"
[ -e "$product/sub/deeper/c.txt" ] || fail "the file in use is gone already"
expect_in_order 'delete \??\C:\omni-e2e\delete-tree\sub\deeper\c.txt' \
  'delete \??\C:\omni-e2e\delete-tree\sub\deeper'
expect_in_order 'delete \??\C:\omni-e2e\delete-tree\sub\deeper' \
  'delete \??\C:\omni-e2e\delete-tree\sub'
expect_in_order 'delete \??\C:\omni-e2e\delete-tree\sub' 'delete \??\C:\omni-e2e\delete-tree'
expect_no_log 'Error deleting directory.'
restart_wine
[ ! -e "$product" ] || fail "the tree is still there after the restart"
clear_pending_operations
done_scenario

# The 9x family queues what it cannot delete now as "NUL=" lines in WININIT.INI.
as_win98 delete-tree-9x.exe
package delete-tree-9x delete-tree.osc 'C:\omni-e2e\delete-tree-9x'
product="$products/delete-tree-9x"
mkdir -p "$product/sub/deeper"
echo a >"$product/a.txt"
echo c >"$product/sub/deeper/c.txt"
find "$prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini -delete
hold 'C:\omni-e2e\delete-tree-9x\sub\deeper\c.txt' read
run delete-tree-9x ok 0 /S /LOGFILE "$(winpath "$work/delete-tree-9x.log")"
release
[ ! -e "$product/a.txt" ] || fail "a.txt is still there"
python3 - "$wininit" <<'PY' || fail "WININIT.INI: $(tr '\r\n' '|' <"$wininit")"
import re, sys
lines = open(sys.argv[1], 'rb').read().decode('latin-1').split('\r\n')
patterns = [r'\[rename\]', r'NUL=C:\\.*\\C\.TXT', r'NUL=C:\\.*\\DEEPER', r'NUL=C:\\.*\\SUB',
            r'NUL=C:\\OMNI-E2E\\[^\\]+', '']
sys.exit(len(lines) != len(patterns) or not all(
    re.fullmatch(p, l, re.IGNORECASE) for p, l in zip(patterns, lines)))
PY
expect_no_log 'Error deleting directory.'
# Wine's restart deletes the files named by "NUL=" lines, not folders.
restart_wine
[ ! -e "$product/sub/deeper/c.txt" ] || fail "the file in use is still there after the restart"
find "$prefix/drive_c/windows" -maxdepth 1 -iname 'wininit.*' -delete
done_scenario

# DELETEDIRECTORY of the Windows folder is refused and deletes nothing, as omnipack check
# predicts (so the installer is built without the check). The prefix is only put at risk once the
# Win32 tests of the refusal have passed.
name=delete-windows
ok=1
if ! "$wine_run" "$windows_build/tests/unit_tests.exe" --gtest_filter='ProtectedFolders.*' >/dev/null 2>&1; then
  fail "the refusal's own tests fail: the Windows folder is not offered to it"
else
  no_check=1 package delete-windows delete-windows.osc 'C:\windows'
  findings=$("$omnipack" check "$work/package-delete-windows")
  predicted="ORQSCRIP.OSC:4: error: DELETEDIRECTORY of 'C:\\windows', the Windows folder of a"
  predicted+=" system installed in its default place: the installer refuses it (status 10)"
  grep -qF "$predicted" <<<"$findings" || fail "the check does not predict 10 at line 4: $findings"
  windows_before=$(find "$prefix/drive_c/windows" | sort)
  run delete-windows ok 10 /S /LOGFILE "$(winpath "$work/delete-windows.log")"
  gone=$(comm -23 <(echo "$windows_before") <(find "$prefix/drive_c/windows" | sort) | wc -l)
  [ "$gone" = 0 ] || fail "$gone entries of the Windows folder were deleted"
  expect_log 'C:\windows is a folder of the system: it is not removed.'
  expect_log 'Unable to delete file.'
  expect_no_log 'Error deleting directory.'
  expect_no_box
  expect_record 10 0
fi
done_scenario

# REPLACEFILE lets the version decide: an older installed DLL is replaced, a newer one kept.
mkdir -p "$work/versions"
cp "$windows_build/tests/helpers/versioned_v2.dll" "$work/versions/engine.dll"
cp "$windows_build/tests/helpers/versioned_v1.dll" "$work/versions/core.dll"
package replace-versions replace.osc 'C:\omni-e2e\replace-versions' "$work/versions"
product="$products/replace-versions"
mkdir -p "$product"
cp "$windows_build/tests/helpers/versioned_v1.dll" "$product/engine.dll"
cp "$windows_build/tests/helpers/versioned_v2.dll" "$product/core.dll"
run replace-versions ok 0 /S /LOGFILE "$(winpath "$work/replace-versions.log")"
same "$product/engine.dll" "$windows_build/tests/helpers/versioned_v2.dll"
same "$product/core.dll" "$windows_build/tests/helpers/versioned_v2.dll"
expect_record 0 0
done_scenario

# REPLACEFILE forces the new version over an older DLL in use: the old one is moved aside to
# engine.1 and deleted at the restart, through the system's pending operations on the NT family
# and through WININIT.INI on the 9x family, which has no MoveFileExA.
for family in nt 9x; do
  name=replace-in-use-$family
  [ "$family" = nt ] || as_win98 "$name.exe"
  package "$name" replace.osc "C:\\omni-e2e\\$name" "$work/versions"
  product="$products/$name"
  mkdir -p "$product"
  cp "$windows_build/tests/helpers/versioned_v1.dll" "$product/engine.dll"
  cp "$windows_build/tests/helpers/versioned_v2.dll" "$product/core.dll"
  find "$prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini -delete
  clear_pending_operations
  # A loaded program file: it cannot be written, but it can be renamed.
  hold "C:\\omni-e2e\\$name\\engine.dll" readdelete
  run "$name" ok 0 /S /LOGFILE "$(winpath "$work/$name.log")"
  release
  same "$product/engine.dll" "$windows_build/tests/helpers/versioned_v2.dll"
  same "$product/engine.1" "$windows_build/tests/helpers/versioned_v1.dll"
  same "$product/core.dll" "$windows_build/tests/helpers/versioned_v2.dll"
  if [ "$family" = nt ]; then
    expect_pending "delete \\??\\C:\\omni-e2e\\$name\\engine.1"
    [ ! -e "$wininit" ] || fail "WININIT.INI written: $(tr '\r\n' '|' <"$wininit")"
  else
    [ -z "$(pending_operations)" ] || fail "pending operations: $(pending_operations | tr '\n' '|')"
    python3 - "$wininit" <<'PY' || fail "WININIT.INI: $(tr '\r\n' '|' <"$wininit" 2>&1)"
import re, sys
text = open(sys.argv[1], 'rb').read().decode('latin-1')
sys.exit(not re.fullmatch(r'\[rename\]\r\nNUL=C:\\OMNI-E2E\\[^\\]+\\ENGINE\.1\r\n', text, re.I))
PY
  fi
  expect_record 0 0
  find "$prefix/drive_c/windows" -maxdepth 1 -iname wininit.ini -delete
  clear_pending_operations
  done_scenario
done

# A destination that names a device (CON): the command fails at once with 12 and names it, rather
# than write to the device or look for a free "con.N" beside it for ever.
package device-name device-name.osc 'C:\omni-e2e\device-name'
product="$products/device-name"
run_timeout=30 run device-name ok 12 /S /LOGFILE "$(winpath "$work/device-name.log")"
expect_log 'C:\omni-e2e\device-name\con.txt names a device, not a file.'
[ -z "$(ls -A "$product")" ] || fail "left in the product: $(ls -A "$product" | tr '\n' ' ')"
expect_record 12 0
done_scenario

# A drive too small for the new file: the copy fails part-way, and the old file comes back from
# its backup. The drive is a small tmpfs that Wine sees as R:.
full="$work/full-drive"
mkdir -p "$full" "$work/big"
name=full-disk
if mount -t tmpfs -o size=512k omni-e2e-full "$full"; then
  at_exit "umount '$full'"
  ln -sfn "$full" "$prefix/dosdevices/r:"
  at_exit "rm -f '$prefix/dosdevices/r:'"
  mkdir -p "$full/product"
  python3 - "$full/product/big.bin" "$work/big/big.bin" <<'PY'
import random, sys
old, new = sys.argv[1:]
r = random.Random(11)
open(old, 'wb').write(bytes(r.randrange(256) for _ in range(100 * 1024)))
open(new, 'wb').write(bytes(r.randrange(256) for _ in range(600 * 1024)))
PY
  cp -p "$full/product/big.bin" "$work/big-old.bin"
  package full-disk one-file.osc 'R:\product' "$work/big"
  run full-disk ok 12 /S /LOGFILE "$(winpath "$work/full-disk.log")"
  same "$full/product/big.bin" "$work/big-old.bin"
  expect_log 'Unable to write to the file.'
  done_scenario
else
  ok=1
  fail "cannot mount a small tmpfs for the full drive (the tests run as root)"
fi

# An update killed at several moments, each time rerun to its end: after every kill each product
# file is whole, old or new, and no backup is cut; after every rerun the files are new and the
# backups hold the versions from before (bench/kill_runs.py; make bench runs many more kills).
name=killed-update
ok=1
code=-
if ! KILLS=4 SMALL_FILES=30 LARGE_FILES=1 python3 "$root/bench/kill_runs.py" "$wine_run" \
  "$test_dist/bin/omnipack" "$work/killed-update" >"$work/killed-update.out" 2>&1; then
  fail "$(tr '\n' '|' <"$work/killed-update.out")"
fi
done_scenario

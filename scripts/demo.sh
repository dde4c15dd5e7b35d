#!/usr/bin/env bash
# The main job: builds the sample update in examples/ into an installer, inspects it, sets up a
# sample installed product in the Wine prefix (its folder, registry key and INI file) and runs the
# update silently against it while the product holds one of its files open; then shows the log,
# the backups, the product's settings, the pending operations, the completion record, and the
# product after a (simulated) restart.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
omnipack="$root/dist/bin/omnipack"
wine_run="$root/tools/wine-run"
out="$root/build/demo"
rm -rf "$out" && mkdir -p "$out"
winpath() { echo "Z:${1//\//\\}"; }

echo "== omnipack build --main examples/update -o build/demo/update.exe"
"$omnipack" build --main "$root/examples/update" -o "$out/update.exe"
echo
echo "== omnipack list build/demo/update.exe"
"$omnipack" list "$out/update.exe"
echo
echo "== omnipack verify build/demo/update.exe"
"$omnipack" verify "$out/update.exe" && echo "verify: every rule holds (exit 0)"
echo

echo "== the sample product in the Wine prefix: update 2.0, dated 2025"
prefix="${WINEPREFIX:-$root/build/wine}"
product='C:\Program Files\Velkor\DesktopProtection'
product_dir="$prefix/drive_c/Program Files/Velkor/DesktopProtection"
rm -rf "$product_dir" && mkdir -p "$product_dir/bin" "$product_dir/defs"
printf 'Sample product update 2.0\r\n' >"$product_dir/readme.txt"
printf '[Engine]\r\nVersion=2.0.0\r\nHeuristics=1\r\n' >"$product_dir/bin/engine.cfg"
printf 'SAMPLE DEFINITIONS 2025-06-01' >"$product_dir/defs/DETECT.DAT"
touch -d '2025-06-01 12:00:00' "$product_dir"/readme.txt "$product_dir"/bin/* "$product_dir"/defs/*
printf '[Product]\r\nVersion=2.0\r\n' >"$product_dir/product.ini"
key='HKLM\SOFTWARE\Velkor\DesktopProtection'
"$wine_run" reg delete "$key" /f >/dev/null 2>&1 || true
"$wine_run" reg add "$key" /v szInstallDir /d "$product" /f >/dev/null
"$wine_run" reg add "$key" /v szVersion /d 2.0 /f >/dev/null
"$wine_run" reg add 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' /f >/dev/null
"$wine_run" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations /f >/dev/null 2>&1 || true
(cd "$product_dir" && find . -type f -printf '%TY-%Tm-%Td %TH:%TM  %6s  %P\n' | sort -k4)
settings() {
  echo "registry $key:"
  "$wine_run" reg query "$key" | tr -d '\r' | grep REG_
  echo "product.ini:"
  tr -d '\r' <"$product_dir/product.ini" | sed 's/^/    /'
}
settings
echo

echo "== the running product holds bin\\engine.cfg open (read sharing only)"
control=$(mktemp -d "$out/running.XXXX")
"$wine_run" "$root/build/win32/tests/helpers/file_holder.exe" "$product\\bin\\engine.cfg" read \
  "$(winpath "$control")" 300 >/dev/null 2>&1 &
running=$!
for _ in $(seq 1 200); do [ -f "$control/held" ] && break; sleep 0.05; done
echo

echo "== update.exe /S /LOGFILE build/demo/install.log"
set +e
"$wine_run" "$out/update.exe" /S /LOGFILE "$(winpath "$out/install.log")"
code=$?
set -e
echo "exit code: $code"
echo
echo "== install log"
tr -d '\r' <"$out/install.log"
echo
echo "== the product folder after the update (bin\\engine.1 waits for the restart)"
(cd "$product_dir" && find . -type f -printf '%TY-%Tm-%Td %TH:%TM  %6s  %P\n' | sort -k4)
echo
echo "== the product's settings after the update"
settings
echo
echo "== pending operations of the next restart"
"$wine_run" regedit /E "$(winpath "$out/session.reg")" \
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager' >/dev/null 2>&1
python3 "$root/tests/e2e/pending_operations.py" "$out/session.reg"
echo
echo "== completion record"
"$wine_run" reg query 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' | tr -d '\r' |
  grep -E 'CompletionSuccess|RebootRequired'
echo

echo "== the product ends, Windows restarts (Wine: wineboot -r carries out the pending operations)"
touch "$control/release"
wait "$running" || true
"$wine_run" wineboot -r >/dev/null 2>&1
echo "bin\\engine.cfg now:"
tr -d '\r' <"$product_dir/bin/engine.cfg"

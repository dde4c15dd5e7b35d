#!/usr/bin/env bash
# The main job: builds the sample update in examples/ (with the sample product's programs of
# version 2.1) into an installer and inspects it; sets up the sample product 2.0 in the Wine
# prefix (its folder, registry key and INI file, its service running with its engine library
# loaded, its window program open) and runs the update silently against it. Then shows the log,
# the product's folder with the backups, its settings, the service's state and the versions its
# programs report before and after, and that nothing waits for a restart. Last, the same update
# runs through its wizard, driven page by page, with a picture of each page in build/demo/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The product's window program needs a display: one of the demo's own when there is none.
[ -n "${DISPLAY:-}" ] || exec "$root/tools/with-display" "$0" "$@"
source "$root/scripts/windows-tree.sh"
omnipack="$test_dist/bin/omnipack"
wine_run="$root/tools/wine-run"
sample="$windows_build/tests/helpers"
out="$root/build/demo"
rm -rf "$out" && mkdir -p "$out"
winpath() { echo "Z:${1//\//\\}"; }
programs=(zentorasvc.exe zentoraeng.dll zentora.exe)

if [ "$windows_arch" = x86_64 ]; then
  echo "(This machine runs no 32-bit program: the demo runs the installer and the sample product"
  echo " built for 64-bit Windows under 64-bit Wine; dist/win32/installer.exe is the 32-bit one.)"
  echo
fi
echo "== omnipack build --main build/demo/package -o build/demo/update.exe"
echo "   (examples/update with the product's programs 2.1 in bin\\)"
cp -r "$root/examples/update" "$out/package"
for program in "${programs[@]}"; do cp "$sample/product-2.1/$program" "$out/package/bin/"; done
"$omnipack" build --main "$out/package" -o "$out/update.exe"
echo
echo "== omnipack list build/demo/update.exe"
"$omnipack" list "$out/update.exe"
echo
echo "== omnipack verify build/demo/update.exe"
"$omnipack" verify "$out/update.exe" && echo "verify: every rule holds (exit 0)"
echo

prefix="$wine_prefix"
product='C:\Program Files\Velkor\DesktopProtection'
product_dir="$prefix/drive_c/Program Files/Velkor/DesktopProtection"
key='HKLM\SOFTWARE\Velkor\DesktopProtection'
stop_product() {
  "$wine_run" taskkill /im zentora.exe >/dev/null 2>&1 || true
  "$wine_run" sc stop ZENTORA >/dev/null 2>&1 || true
  "$wine_run" sc delete ZENTORA >/dev/null 2>&1 || true
}
trap stop_product EXIT
stop_product

echo "== the sample product 2.0 in the Wine prefix, dated 2025"
rm -rf "$product_dir" && mkdir -p "$product_dir/bin" "$product_dir/defs"
printf 'Sample product update 2.0\r\n' >"$product_dir/readme.txt"
printf '[Engine]\r\nVersion=2.0.0\r\nHeuristics=1\r\n' >"$product_dir/bin/engine.cfg"
printf 'SAMPLE DEFINITIONS 2025-06-01' >"$product_dir/defs/DETECT.DAT"
for program in "${programs[@]}"; do cp "$sample/product-2.0/$program" "$product_dir/bin/"; done
touch -d '2025-06-01 12:00:00' "$product_dir"/readme.txt "$product_dir"/bin/* "$product_dir"/defs/*
printf '[Product]\r\nVersion=2.0\r\n' >"$product_dir/product.ini"
"$wine_run" reg delete "$key" /f >/dev/null 2>&1 || true
"$wine_run" reg add "$key" /v szInstallDir /d "$product" /f >/dev/null
"$wine_run" reg add "$key" /v szVersion /d 2.0 /f >/dev/null
"$wine_run" reg add 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' /f >/dev/null
"$wine_run" reg delete 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations /f >/dev/null 2>&1 || true
listing() {
  (cd "$product_dir" && find . -type f ! -name status.log -printf '%TY-%Tm-%Td %TH:%TM  %7s  %P\n' |
    sort -k4)
}
settings() {
  echo "registry $key:"
  "$wine_run" reg query "$key" | tr -d '\r' | grep REG_
  echo "product.ini:"
  tr -d '\r' <"$product_dir/product.ini" | sed 's/^/    /'
}
service_state() {
  "$wine_run" sc query ZENTORA | tr -d '\r' | awk '$1 == "STATE" { print "service ZENTORA: " $4 }'
}
# wait_for_status TEXT: until the product's programs have written TEXT into their status.log.
wait_for_status() {
  for _ in $(seq 100); do
    grep -qF "$1" "$product_dir/bin/status.log" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "the product did not report '$1'" >&2
  return 1
}
status_log() {
  echo "what the product's programs report (bin\\status.log):"
  tr -d '\r' <"$product_dir/bin/status.log" | sed 's/^/    /'
}
listing
settings
echo

echo "== the product runs: its service (which loads bin\\zentoraeng.dll) and its window program"
"$wine_run" sc create ZENTORA binpath= "\"$product\\bin\\zentorasvc.exe\"" >/dev/null
"$wine_run" sc start ZENTORA >/dev/null
"$wine_run" "$product\\bin\\zentora.exe" >/dev/null 2>&1 &
wait_for_status "service 2.0 running"
wait_for_status "window 2.0 open"
service_state
status_log
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
echo "== the product folder after the update (the replaced files are in Backup\\)"
listing
echo
echo "== the product's settings after the update"
settings
echo
echo "== the product runs again, version 2.1"
wait_for_status "window 2.1 open"
service_state
status_log
echo
echo "== pending operations of the next restart (none: every file was replaced in place)"
"$wine_run" regedit /E "$(winpath "$out/session.reg")" \
  'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager' >/dev/null 2>&1
python3 "$root/tests/e2e/pending_operations.py" "$out/session.reg"
echo
echo "== completion record"
"$wine_run" reg query 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' | tr -d '\r' |
  grep -E 'CompletionSuccess|RebootRequired'
echo

echo "== the same update through its wizard, as a person who double-clicks it sees it"
driver="$sample/wizard_driver.exe"
caption="Velkor Sentrel Enterprise Module v8.7 Installer"
drive() { "$wine_run" "$driver" "$1" "$caption" "${@:2}" 2>/dev/null | tr -d '\r'; }
photograph() {
  drive shot "$(winpath "$out/wizard-$1.bmp")" &&
    python3 "$root/tests/e2e/bmp_to_png.py" "$out/wizard-$1.bmp" "$out/wizard-$1.png" &&
    rm "$out/wizard-$1.bmp" && echo "   the $1 page: build/demo/wizard-$1.png"
}
(
  drive wait 60 >/dev/null
  photograph start
  drive press next
  drive wait-page 1 30 >/dev/null && photograph copy
  drive wait-page 2 120 >/dev/null && photograph end
  drive press finish
) &
driving=$!
set +e
"$wine_run" "$out/update.exe" /LOGFILE "$(winpath "$out/install-wizard.log")"
windowed=$?
set -e
wait "$driving" || true
echo "exit code: $windowed"
"$wine_run" reg query 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' | tr -d '\r' |
  grep -E 'CompletionSuccess|RebootRequired'
service_state
[ "$code" = 0 ] && exit "$windowed"
exit "$code"

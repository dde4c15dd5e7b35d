#!/usr/bin/env bash
# The main job: builds the sample update in examples/ into an installer, inspects it, sets up a
# sample installed product in the Wine prefix and runs the update silently against it.
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

echo "== the sample product in the Wine prefix"
product='C:\Program Files\Velkor\DesktopProtection'
"$wine_run" cmd /c mkdir "$product\\bin" >/dev/null 2>&1 || true
"$wine_run" reg add 'HKLM\SOFTWARE\Velkor\DesktopProtection' /v szInstallDir /d "$product" /f \
  >/dev/null
"$wine_run" reg add 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' /f >/dev/null
echo "$product, HKLM\\SOFTWARE\\Velkor\\DesktopProtection szInstallDir"
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
echo "== completion record"
"$wine_run" reg query 'HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack' | tr -d '\r' |
  grep -E 'CompletionSuccess|RebootRequired'
echo
echo "The script ran its checks and reported its plan; the file commands that copy the engine"
echo "configuration and detection data into the product come with the file-installation engine."

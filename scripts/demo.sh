#!/usr/bin/env bash
# The main job: builds the sample update in examples/ into an installer and inspects it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
omnipack="$root/dist/bin/omnipack"
out="$root/build/demo"
mkdir -p "$out"

echo "== omnipack build --main examples/update -o build/demo/update.exe"
"$omnipack" build --main "$root/examples/update" -o "$out/update.exe"
echo
echo "== omnipack list build/demo/update.exe"
"$omnipack" list "$out/update.exe"
echo
echo "== omnipack verify build/demo/update.exe"
"$omnipack" verify "$out/update.exe" && echo "verify: every rule holds (exit 0)"
echo
echo "== the installer checks its own package under Wine"
set +e
"$root/tools/wine-run" "$out/update.exe"
code=$?
set -e
echo "update.exe exit code: $code (0: trailer, directory and both set signatures intact)"

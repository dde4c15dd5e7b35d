#!/usr/bin/env bash
# Whole-installer checks under Wine: packages built by omnipack, run as real Windows programs.
# One row per scenario: name, how to build or damage the installer, Wine version, expected exit.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
omnipack="$root/dist/bin/omnipack"
work="$root/build/e2e"
rm -rf "$work" && mkdir -p "$work"
fixture="$root/tests/fixtures/e2e/minimal"

build() {  # build NAME [omnipack options...]
  local name=$1
  shift
  "$omnipack" build --main "$fixture" "$@" -o "$work/$name.exe" >/dev/null
}

flip_byte() {  # flip_byte FILE OFFSET_FROM_END
  python3 - "$1" "$2" <<'PY'
import sys
path, back = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
data[len(data) - back] ^= 0xFF
open(path, 'wb').write(data)
PY
}

# Wine reads a per-program Windows version from AppDefaults; win98 reports the 9x family.
"$root/tools/wine-run" reg add 'HKCU\Software\Wine\AppDefaults\nt-only-9x.exe' /v Version /d win98 /f \
  >/dev/null 2>&1

failures=0
check() {  # check NAME EXPECTED
  local name=$1 expected=$2
  "$root/tools/wine-run" "$work/$name.exe" >/dev/null 2>&1
  local code=$?
  if [ "$code" = "$expected" ]; then
    echo "ok   $name (exit $code)"
  else
    echo "FAIL $name: exit $code, expected $expected"
    failures=$((failures + 1))
  fi
}

build intact && check intact 0
build nt-only-nt --nt-only && check nt-only-nt 0
build nt-only-9x --nt-only && check nt-only-9x 60
# The last entry's data of the main set sits just before the signature, directory and trailer.
build damaged-main && flip_byte "$work/damaged-main.exe" $((37 + 178 * 2 + 17 + 1)) &&
  check damaged-main 42
build no-marker && flip_byte "$work/no-marker.exe" 30 && check no-marker 32

[ "$failures" = 0 ] || { echo "$failures end-to-end scenario(s) failed"; exit 1; }

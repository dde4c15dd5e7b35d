# The end-to-end harness, sourced by run.sh: the Wine session, the box watcher, and the checks
# every scenario uses. Expects root and the names of scripts/windows-tree.sh to be set.
omnipack="$test_dist/bin/omnipack"
watcher="$windows_build/tests/helpers/box_watcher.exe"
wine_run="$root/tools/wine-run"
work="$root/build/e2e"
fixtures="$root/tests/fixtures/e2e"
rm -rf "$work" && mkdir -p "$work"
winpath() { echo "Z:${1//\//\\}"; }

# Commands run when the tests end, whatever happens.
at_exit_commands=()
at_exit() { at_exit_commands+=("$1"); }
trap 'for command in "${at_exit_commands[@]}"; do eval "$command"; done' EXIT

record_key='HKLM\SOFTWARE\Torvane Partners\QNT\Shared Components\OmniPack'
vendor_key='HKLM\SOFTWARE\Torvane Partners'
"$wine_run" reg add "$vendor_key" /f >/dev/null 2>&1
# The Win32 unit tests check the record without the vendor key too: leave the prefix without it.
at_exit "'$wine_run' reg delete '$vendor_key' /f >/dev/null 2>&1"
# Wine reads a per-program Windows version from AppDefaults; win98 reports the 9x family.
as_win98() {
  "$wine_run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$1" /v Version /d win98 /f >/dev/null 2>&1
}
temp_dir=$(ls -d "$wine_prefix"/drive_c/users/*/Temp | head -n 1)

build() {  # build NAME FIXTURE [omnipack options...]
  local name=$1 fixture=$2
  shift 2
  "$omnipack" build --main "$fixtures/$fixture" "$@" -o "$work/$name.exe" >/dev/null
}

# damage_language_set FILE: a byte of the installer's language set changed, so that the set fails
# its signature and is not unpacked.
damage_language_set() {
  python3 - "$1" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
payload = struct.unpack_from('<I', data, len(data) - 37 + 25)[0]
data[payload + 4 + 300] ^= 0xFF
open(path, 'wb').write(data)
PY
}

failures=0
fail() {
  echo "FAIL $name: $*"
  failures=$((failures + 1))
  ok=0
}

# run NAME ANSWERS EXPECTED_EXIT [installer arguments...]: runs work/NAME.exe with the box watcher
# answering ANSWERS; the log is work/NAME.log unless the arguments name another. A variable
# locale=xx_YY.UTF-8 before the call starts Wine in that locale; cwd=FOLDER starts the installer
# in that current folder (default work); run_timeout=SECONDS (default 300) ends an installer that
# runs longer, so that a hanging one fails its scenario instead of the whole suite never ending.
run() {
  name=$1
  local answers=$2 expected=$3
  shift 3
  ok=1
  log="$work/$name.log"
  boxes="$work/$name.boxes"
  : >"$boxes"
  "$wine_run" reg delete "$record_key" /f >/dev/null 2>&1
  # VelkorLogs is the default log's folder, made on purpose and kept.
  local before
  before=$(ls "$temp_dir" | grep -vx VelkorLogs | sort)
  "$wine_run" "$watcher" "$(winpath "$boxes")" "$answers" 60 >/dev/null 2>&1 &
  local watcher_pid=$!
  local limit=${run_timeout:-300}
  (cd "${cwd:-$work}" && env ${locale:+LC_ALL=$locale} timeout --kill-after=5 "$limit" \
    "$wine_run" "$work/$name.exe" "$@" >/dev/null 2>&1)
  code=$?
  [ "$code" != 124 ] && [ "$code" != 137 ] || fail "still running after ${limit}s: ended"
  touch "$boxes.stop"
  wait "$watcher_pid"
  rm -f "$boxes.stop"
  [ "$code" = "$expected" ] || fail "exit $code, expected $expected"
  local after
  after=$(ls "$temp_dir" | grep -vx VelkorLogs | sort)
  [ "$before" = "$after" ] || fail "left in the temporary folder: $(comm -13 <(echo "$before") <(echo "$after") | tr '\n' ' ')"
}

logged() { [ -f "$log" ] && cut -f6 "$log" | tr -d '\r' | grep -qxF -- "$1"; }
expect_log() { logged "$1" || fail "no log line '$1'"; }
expect_no_log() { ! logged "$1" || fail "unexpected log line '$1'"; }
expect_box() { grep -qF -- "$1" "$boxes" || fail "no box '$1' (boxes: $(tr '\n' '|' <"$boxes"))"; }
expect_no_box() { [ ! -s "$boxes" ] || fail "unexpected box: $(tr '\n' '|' <"$boxes")"; }
record_value() {  # the DWORD as a decimal number, or nothing
  local hex
  hex=$("$wine_run" reg query "$record_key" /v "$1" 2>/dev/null | tr -d '\r' |
    awk -v v="$1" '$1 == v { print $3 }')
  [ -n "$hex" ] && echo $((hex))
}
expect_record() {  # expect_record COMPLETION REBOOT
  local completion reboot
  completion=$(record_value CompletionSuccess)
  reboot=$(record_value RebootRequired)
  [ "$completion:$reboot" = "$1:$2" ] ||
    fail "completion record '$completion:$reboot', expected '$1:$2'"
}
expect_no_record() {
  [ -z "$(record_value CompletionSuccess)" ] || fail "a completion record was written"
}
# Each scenario ends with done_scenario, which counts it.
scenarios_ok=0 scenarios_failed=0
done_scenario() {
  if [ "$ok" = 1 ]; then
    echo "ok   $name (exit $code)"
    scenarios_ok=$((scenarios_ok + 1))
  else
    scenarios_failed=$((scenarios_failed + 1))
  fi
}

caption="Sentrel Module Installer Notification"

# hold WINDOWS_PATH SHARE: a running program keeps the file open until release.
hold() {
  hold_control=$(mktemp -d "$work/hold.XXXX")
  "$wine_run" "$windows_build/tests/helpers/file_holder.exe" "$1" "$2" \
    "$(winpath "$hold_control")" 120 >/dev/null 2>&1 &
  hold_pid=$!
  for _ in $(seq 1 300); do
    [ -f "$hold_control/held" ] && return 0
    sleep 0.05
  done
  fail "the file holder did not hold $1"
}
release() {
  touch "$hold_control/release"
  wait "$hold_pid"
}

# The system's pending file operations ("delete PATH", "move FROM -> TO"), in their order.
session_key='HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager'
pending_operations() {
  "$wine_run" regedit /E "$(winpath "$work/session.reg")" "$session_key" >/dev/null 2>&1
  python3 "$root/tests/e2e/pending_operations.py" "$work/session.reg"
}
clear_pending_operations() {
  "$wine_run" reg delete "$session_key" /v PendingFileRenameOperations /f >/dev/null 2>&1
}
expect_pending() { pending_operations | grep -qxF -- "$1" || fail "not pending: '$1'"; }

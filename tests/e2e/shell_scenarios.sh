# The installer's shell: options, language library, log, outcome, completion record, restart and
# the single-instance guard. Sourced by run.sh.

build silent-success minimal
run silent-success ok 0 /SILENT /LOGFILE "$(winpath "$work/silent-success.log")"
expect_log "Update process is successful."
expect_log "Searching for all Installed anti-virus products."
expect_no_box
expect_record 0 0
done_scenario

# An invalid command line shows its box only when the line does not ask for silence; a silent run
# writes the box's text to the early log file in the current folder and shows nothing.
build unknown-switch minimal
run unknown-switch ok 51 /X
expect_box "$caption	Invalid switch or value supplied in command line parameters."
expect_no_record
done_scenario

build unknown-switch-silent minimal
rm -f "$work/install.log"
run unknown-switch-silent ok 51 /X /SILENT
log="$work/install.log"
expect_log "Invalid switch or value supplied in command line parameters."
expect_no_box
expect_no_record
done_scenario

build final-status-1 product-missing
run final-status-1 ok 43 /S /LOGFILE "$(winpath "$work/final-status-1.log")"
expect_log "Corvane Enterprise 8.7 is not installed.  The Sentrel Module cannot be installed."
expect_log "Update process failed."
expect_no_box
expect_record 43 0
done_scenario

build damaged-main minimal
# The last entry's data of the main set sits just before its signature, the directory and the
# trailer (two records).
python3 - "$work/damaged-main.exe" $((37 + 178 * 2 + 17 + 1)) <<'PY'
import sys
path, back = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
data[len(data) - back] ^= 0xFF
open(path, 'wb').write(data)
PY
run damaged-main ok 42 /SILENT /LOGFILE "$(winpath "$work/damaged-main.log")"
expect_log "Unable to verify the ZIP File. Signature verification failed."
expect_record 42 0
done_scenario

# A damaged trailer or directory runs nothing: the trailer's status ends the run, in the log, and
# in a box unless the run is silent. Rows: name, what is damaged (python on data, the installer's
# bytes, and t, the trailer's offset), exit code, log line.
damaged_trailers=(
  "bad-marker|data[t + 4] ^= 0xFF|32|Unable to understand Zip file format. Invalid integration of files."
  "bad-directory|struct.pack_into('<I', data, t + 29, 65536)|42|Unable to verify the ZIP File. Signature verification failed."
)
for row in "${damaged_trailers[@]}"; do
  IFS='|' read -r damage change expected message <<<"$row"
  for mode in silent windowed; do
    build "$damage-$mode" minimal
    python3 - "$work/$damage-$mode.exe" "$change" <<'PY'
import struct, sys
path, change = sys.argv[1:]
data = bytearray(open(path, 'rb').read())
t = len(data) - 37
exec(change)
open(path, 'wb').write(data)
PY
    if [ "$mode" = silent ]; then
      run "$damage-$mode" ok "$expected" /S /LOGFILE "$(winpath "$work/$damage-$mode.log")"
      expect_no_box
    else
      run "$damage-$mode" ok "$expected" /LOGFILE "$(winpath "$work/$damage-$mode.log")"
      expect_box "$caption	$message"
    fi
    expect_log "$message"
    expect_log "Update process failed."
    expect_no_log "Searching for all Installed anti-virus products."
    expect_record "$expected" 0
    done_scenario
  done
done

# A language set that fails its signature is not unpacked: no library, the system's words in a box.
build no-language minimal
damage_language_set "$work/no-language.exe"
rm -f "$work/install.log"
run no-language ok 67 /S /LOGFILE "$(winpath "$work/no-language.log")"
expect_no_box
[ ! -f "$log" ] || fail "the log named by /LOGFILE was written"
log="$work/install.log"
cut -f6 "$log" 2>/dev/null | grep -q "^OPStbRes.dll:  ." || fail "no early log line for the library"
expect_no_record
done_scenario

build extract-here minimal
mkdir -p "$work/here" && mv "$work/extract-here.exe" "$work/here/"
name=extract-here
(cd "$work/here" && "$wine_run" extract-here.exe /E >/dev/null 2>&1)
code=$?
ok=1
[ "$code" = 0 ] || fail "exit $code"
[ -f "$work/here/ORQSCRIP.OSC" ] && [ -f "$work/here/data.txt" ] || fail "files not unpacked beside the installer"
done_scenario

build extract-to minimal
run extract-to ok 0 /E "$(winpath "$work/out/new folder")" /LOGFILE "$(winpath "$work/extract-to.log")"
[ -f "$work/out/new folder/data.txt" ] || fail "data.txt not unpacked"
expect_log "Zip file extraction is successful."
expect_no_log "Searching for all Installed anti-virus products."
expect_no_record
done_scenario

# An entry named COM1 is not written to the device: extraction stops at it and fails. Build refuses
# the name, so the package is built with XOM1 and renamed after, its set signature made anew.
mkdir -p "$work/device-entry"
cp "$fixtures/minimal/"* "$work/device-entry/"
printf 'meant for a file\r\n' >"$work/device-entry/XOM1"
"$omnipack" build --main "$work/device-entry" --no-record XOM1 -o "$work/extract-device.exe" \
  >/dev/null
python3 - "$work/extract-device.exe" <<'PY'
import struct, sys, zlib
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
lang_size, = struct.unpack_from('<I', data, len(data) - 37)
main_size, payload = struct.unpack_from('<II', data, len(data) - 37 + 21)
start = payload + 8 + lang_size
signed = start + main_size - 17
at = data.find(b'\0XOM1\0', start, signed) + 1
data[at:at + 4] = b'COM1'
# The signature's CRC starts at 0xDEADBEEF and is not inverted; zlib's inverts on both ends.
crc = ~zlib.crc32(bytes(data[start:signed]), ~0xDEADBEEF & 0xFFFFFFFF) & 0xFFFFFFFF
struct.pack_into('<I', data, signed + 11, crc)
open(path, 'wb').write(data)
PY
run extract-device ok 29 /E "$(winpath "$work/device-out")" /LOGFILE "$(winpath "$work/extract-device.log")"
[ "$(ls "$work/device-out" | tr '\n' ' ')" = "ORQSCRIP.OSC " ] ||
  fail "unpacked: $(ls "$work/device-out" | tr '\n' ' ')"
expect_log "Zip file extraction is failed."
done_scenario

build extract-blocked minimal
echo "a file where a folder should be" >"$work/blocker"
run extract-blocked ok 6 /E "$(winpath "$work/blocker/out")" /LOGFILE "$(winpath "$work/extract-blocked.log")"
expect_log "Zip file extraction is failed."
expect_no_record
done_scenario

build log-new-folder minimal
run log-new-folder ok 0 /S /LOGFILE "$(winpath "$work/logs/deeper/install.txt")"
log="$work/logs/deeper/install.txt"
expect_log "Update process is successful."
done_scenario

build log-bad-drive minimal
run log-bad-drive ok 0 /LOGFILE 'Q:\nowhere\x.log' /E "$(winpath "$work/bad-drive-out")"
expect_box "$caption	Invalid log file path is supplied. Default log file,"
done_scenario

# Silent, the same words go to the default log instead of a box.
build log-bad-drive-silent minimal
rm -f "$temp_dir/VelkorLogs/KPTInst.log"
run log-bad-drive-silent ok 0 /S /LOGFILE 'Q:\nowhere\x.log'
log="$temp_dir/VelkorLogs/KPTInst.log"
cut -f6 "$log" 2>/dev/null | tr -d '\r' |
  grep -q "^Invalid log file path is supplied. Default log file, .* will be used.$" ||
  fail "no log line for the unusable log path"
expect_log "Update process is successful."
expect_no_box
done_scenario

as_win98 nt-only-9x.exe
build nt-only-9x minimal --nt-only
run nt-only-9x ok 60 /SILENT /LOGFILE "$(winpath "$work/nt-only-9x.log")"
expect_log "This package can be used on Windows NT/2000 only."
expect_record 60 0
done_scenario

build nt-only-nt minimal --nt-only
run nt-only-nt ok 0 /SILENT
done_scenario

build prompt-cancel restart-pending
run prompt-cancel cancel 0 /S /PROMPT /LOGFILE "$(winpath "$work/prompt-cancel.log")"
expect_box "$caption	Some files will be updated on reboot. Please press OK to restart Windows."
expect_no_log "Restarting Windows..."
expect_record 0 1
done_scenario

# Wine's InitiateSystemShutdownA answers TRUE and restarts nothing.
build prompt-ok restart-pending
run prompt-ok ok 0 /S /PROMPT /LOGFILE "$(winpath "$work/prompt-ok.log")"
expect_box "Please press OK to restart Windows."
expect_log "Restarting Windows..."
done_scenario

# On the 9x family the restart goes through ExitWindowsEx, which Wine answers without ending the
# run: the outcome and the record are still written.
as_win98 restart-9x.exe
build restart-9x restart-pending
run restart-9x ok 0 /S /REBOOT /LOGFILE "$(winpath "$work/restart-9x.log")"
expect_log "Update process is successful."
expect_log "Restarting Windows..."
expect_no_box
expect_record 0 1
done_scenario

build no-restart-options restart-pending
run no-restart-options ok 0 /S /LOGFILE "$(winpath "$work/no-restart-options.log")"
expect_no_log "Restarting Windows..."
expect_no_box
expect_record 0 1
done_scenario

mkdir -p "$work/iss"
build iss/setup-iss restart-pending
printf '[OmniPackOptions]\r\nbReboot=1\r\nszLogFile=%s\r\n' "$(winpath "$work/iss-log.txt")" \
  >"$work/iss/SETUP.ISS"
run iss/setup-iss ok 0 /S
name=setup-iss
log="$work/iss-log.txt"
expect_log "Restarting Windows..."
expect_no_box
done_scenario

mkdir -p "$work/iss-prompt"
build iss-prompt/setup-iss-prompt restart-pending
printf '[OmniPackOptions]\r\nbPrompt=1\r\nszLogFile=%s\r\n' \
  "$(winpath "$work/iss-prompt.log")" >"$work/iss-prompt/SETUP.ISS"
run iss-prompt/setup-iss-prompt cancel 0 /S
name=setup-iss-prompt
log="$work/iss-prompt.log"
expect_box "Please press OK to restart Windows."
expect_no_log "Restarting Windows..."
expect_record 0 1
done_scenario

build iss/setup-iss-ignored restart-pending
run iss/setup-iss-ignored ok 0 /SILENT /S /LOGFILE "$(winpath "$work/iss-ignored.log")"
name=setup-iss-ignored
expect_no_log "Restarting Windows..."
done_scenario

build german minimal
locale=de_DE.UTF-8 run german ok 0 /SILENT /LOGFILE "$(winpath "$work/german.log")"
expect_log "Die Aktualisierung war erfolgreich."
done_scenario

# Several installers started at the same moment: exactly one gets past the guard. It fails to
# make its target and holds its error box open (no watcher yet) while the others start.
build guard minimal
name=guard
ok=1
starters=()
for i in 1 2 3 4; do
  ("$wine_run" "$work/guard.exe" /E "$(winpath "$work/blocker/out")" \
    /LOGFILE "$(winpath "$work/guard-$i.log")" >/dev/null 2>&1
   echo $? >"$work/guard-$i.exit") &
  starters+=($!)
done
for _ in $(seq 1 300); do
  [ "$(ls "$work"/guard-*.exit 2>/dev/null | wc -l)" -ge 3 ] && break
  sleep 0.1
done
"$wine_run" "$watcher" "$(winpath "$work/guard.boxes")" ok 30 >/dev/null 2>&1 &
watcher_pid=$!
wait "${starters[@]}"
touch "$work/guard.boxes.stop"
wait "$watcher_pid"
codes=$(cat "$work"/guard-*.exit | sort | tr '\n' ' ')
code=$codes
[ "$codes" = "33 33 33 6 " ] || fail "exit codes $codes, expected one 6 and three 33"
[ "$(ls "$work"/guard-*.log 2>/dev/null | wc -l)" = 1 ] || fail "more than one installer logged"
done_scenario

# An installer waiting at its restart question still holds the guard and the update-in-progress
# event: a second one started meanwhile ends with 33 and touches nothing, and the event stays set
# until the first ends. The box is found with xdotool and answered by the watcher (Cancel).
event_state() { "$wine_run" "$windows_build/tests/helpers/event_state.exe" 2>/dev/null | tr -d '\r'; }
build guard-waiting restart-pending
build guard-second minimal
name=guard-at-prompt
ok=1
"$wine_run" reg delete "$record_key" /f >/dev/null 2>&1
("$wine_run" "$work/guard-waiting.exe" /S /PROMPT /LOGFILE "$(winpath "$work/guard-waiting.log")" \
  >/dev/null 2>&1
 echo $? >"$work/guard-waiting.exit") &
waiting_pid=$!
box=
for _ in $(seq 1 300); do
  box=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n 1)
  [ -n "$box" ] && break
  sleep 0.1
done
if [ -z "$box" ]; then
  fail "the first installer showed no restart box"
else
  [ "$(event_state)" = set ] || fail "the event is not set while the first installer waits"
  temp_before=$(ls "$temp_dir" | sort)
  "$wine_run" "$work/guard-second.exe" /S /LOGFILE "$(winpath "$work/guard-second.log")" \
    >/dev/null 2>&1
  code=$?
  [ "$code" = 33 ] || fail "the second installer exited with $code, expected 33"
  [ ! -e "$work/guard-second.log" ] || fail "the second installer logged"
  [ "$temp_before" = "$(ls "$temp_dir" | sort)" ] || fail "the second installer changed the temporary folder"
  expect_record 0 1  # the first installer's, written before its question
  [ "$(event_state)" = set ] || fail "the event is not set after the second installer ended"
fi
"$wine_run" "$watcher" "$(winpath "$work/guard-at-prompt.boxes")" cancel 30 >/dev/null 2>&1 &
watcher_pid=$!
wait "$waiting_pid"
touch "$work/guard-at-prompt.boxes.stop"
wait "$watcher_pid"
rm -f "$work/guard-at-prompt.boxes.stop"
[ "$(cat "$work/guard-waiting.exit")" = 0 ] || fail "the first installer exited with $(cat "$work/guard-waiting.exit")"
[ "$(event_state)" != set ] || fail "the event is still set after the first installer ended"
done_scenario

# The wizard, driven as a person would: each scenario starts an installer without /S, looks at the
# pages with the wizard driver, presses their buttons and checks the outcome. The pages are
# checked for what a person would notice and photographed (build/e2e/screenshots). Sourced by
# run.sh after install_scenarios.sh (same).

driver="$windows_build/tests/helpers/wizard_driver.exe"
english="Velkor Sentrel Enterprise Module v8.7 Installer"
german="Installationsprogramm Velkor Sentrel Enterprise Module v8.7"
screenshots="$work/screenshots"
mkdir -p "$screenshots"
wizard=$english

drive() { "$wine_run" "$driver" "$1" "$wizard" "${@:2}" 2>/dev/null | tr -d '\r'; }
# A driving step that went wrong; the scenario fails with it once the installer has ended.
noted() { echo "$*" >>"$work/$name.drive"; }
# control ID: the control's state line (ID CLASS VISIBLE ENABLED CHECKED TEXT) on the page shown.
control() { drive state | awk -F'\t' -v id="$1" '$1 == id'; }
expect_control() {  # expect_control ID VISIBLE ENABLED CHECKED
  local line
  line=$(control "$1")
  [ "$(cut -f3-5 <<<"$line")" = "$2	$3	$4" ] || noted "control $1 is '$line'"
}
expect_layout() {  # the page shows something, and everything on it fits and lies in the wizard
  local findings
  findings=$(drive layout) || noted "layout of page $(drive state | head -n 1): ${findings//$'\n'/|}"
}
photograph() { drive shot "$(winpath "$screenshots/$1.bmp")" &&
  python3 "$here/bmp_to_png.py" "$screenshots/$1.bmp" "$screenshots/$1.png" &&
  rm "$screenshots/$1.bmp"; }
wait_page() { drive wait-page "$1" 60 >/dev/null || noted "page $1 did not show"; }

# wizard_run NAME ANSWERS EXPECTED STEPS [arguments...]: runs work/NAME.exe without /S while the
# function STEPS drives its wizard.
wizard_run() {
  local steps=$4 run_name=$1
  name=$1
  rm -f "$work/$name.drive"
  (
    drive wait 60 >/dev/null || noted "no wizard"
    "$steps"
  ) &
  local stepper=$!
  run "$1" "$2" "$3" "${@:5}"
  wait "$stepper"
  name=$run_name
  if [ -s "$work/$name.drive" ]; then
    while read -r line; do fail "$line"; done <"$work/$name.drive"
  fi
}

# A run that needs no restart: Next only on the start page, the choice hidden at the end.
finish_without_restart() {
  expect_control 12324 1 1 0
  expect_control 12323 1 0 0
  expect_control 9 0 0 0
  expect_layout
  photograph "$1-start"
  drive press next
  wait_page 2
  expect_control 1011 0 1 0
  expect_control 1013 0 1 0
  expect_control 12325 1 1 0
  expect_control 9 1 1 0
  expect_control 2 0 1 0
  expect_layout
  photograph "$1-end"
  drive press finish
}
english_pages() { finish_without_restart english; }
build wizard minimal
wizard_run wizard ok 0 english_pages /LOGFILE "$(winpath "$work/wizard.log")"
expect_log "Update process is successful."
expect_no_box
expect_record 0 0
done_scenario

# The German pages: the German library's templates, laid out the same.
german_pages() {
  control 1007 | grep -q "Weiter" || noted "the start page is not German: $(control 1007)"
  finish_without_restart german
}
build wizard-german minimal
wizard=$german locale=de_DE.UTF-8 wizard_run wizard-german ok 0 german_pages \
  /LOGFILE "$(winpath "$work/wizard-german.log")"
expect_record 0 0
done_scenario

# A run that leaves work for a restart: "restart now" is checked; the user chooses later.
restart_later() {
  drive press next
  wait_page 2
  expect_control 1011 1 1 1
  expect_control 1013 1 1 0
  expect_layout
  drive check 1013
  sleep 0.3
  expect_control 1011 1 1 0
  drive press finish
}
build wizard-restart restart-pending
wizard_run wizard-restart ok 0 restart_later /LOGFILE "$(winpath "$work/wizard-restart.log")"
expect_no_log "Restarting the computer."
expect_record 0 1
done_scenario

# A failing run: its error box shows over the copy page, then the wizard closes by itself.
next_only() { drive press next; }
build wizard-failing product-missing
wizard_run wizard-failing ok 43 next_only /LOGFILE "$(winpath "$work/wizard-failing.log")"
expect_box "Corvane Enterprise 8.7 is not installed."
expect_record 43 0
done_scenario

# Cancel on the start page: nothing runs, nothing is left behind.
cancel_at_start() { drive press cancel; }
build wizard-cancel minimal
wizard_run wizard-cancel ok 33 cancel_at_start /LOGFILE "$(winpath "$work/wizard-cancel.log")"
expect_no_log "Performing self validation ..."
expect_record 33 0
done_scenario

# The copy page: Cancel is refused while the run goes on; each progress text, seen by its own
# timer tick, steps the bar once, and past its end the bar starts again at one tenth.
watch_the_copy() {
  drive press next
  wait_page 1
  drive watch-progress 30 >"$work/$name.progress" &
  local watcher=$!
  expect_layout
  photograph english-copy
  drive press cancel
  wait "$watcher"
  drive wait-page 2 10 >/dev/null || noted "the end page did not show after Cancel was pressed"
  drive press finish
}
build wizard-progress wizard-progress
wizard_run wizard-progress ok 0 watch_the_copy /LOGFILE "$(winpath "$work/wizard-progress.log")"
steps=$(cut -f2 "$work/wizard-progress.progress" | uniq | tr '\n' ' ')
awk -F'\t' '{ print $2 }' "$work/wizard-progress.progress" | uniq | awk '
  NR > 1 && !($1 == previous + 1 || (previous == 10 && $1 == 1)) { bad = 1 }
  { previous = $1; if ($1 == 10) full = 1; if (full && $1 == 1) wrapped = 1 }
  END { exit !(wrapped && !bad) }' || fail "the bar stepped: $steps"
grep -q "Starting application...omni-e2e-progress-12.exe." "$work/wizard-progress.progress" ||
  fail "the last progress text was not shown"
expect_record 0 0
done_scenario

# View Log: the editor named by szEditor, a file name in the Windows folder (here in a folder with
# a blank), gets the log path in quotes; a program named by a shorter part of its path
# (C:\windows\omni.exe) is never started.
windows_dir="$wine_prefix/drive_c/windows"
editor_dir="$windows_dir/omni editor"
mkdir -p "$editor_dir"
cp "$windows_build/tests/helpers/run_marker.exe" "$editor_dir/viewer.exe"
cp "$windows_build/tests/helpers/run_marker.exe" "$windows_dir/omni.exe"
rm -f "$editor_dir/viewer.exe.ran" "$windows_dir/omni.exe.ran"
at_exit "rm -rf '$editor_dir' '$windows_dir/omni.exe' '$windows_dir/omni.exe.ran'"
view_log() {
  # Each run starts without a record key; the wizard reads the value when the button is pressed.
  "$wine_run" reg add "$record_key" /v szEditor /d 'omni editor\viewer.exe' /f >/dev/null 2>&1
  drive press next
  wait_page 2
  drive press help
  for _ in $(seq 100); do [ -s "$editor_dir/viewer.exe.ran" ] && break; sleep 0.1; done
  drive press finish
}
build wizard-view-log minimal
wizard_run wizard-view-log ok 0 view_log /LOGFILE "$(winpath "$work/wizard-view-log.log")"
[ "$(cat "$editor_dir/viewer.exe.ran" 2>/dev/null)" = \
  "\"C:\\windows\\omni editor\\viewer.exe\" \"$(winpath "$work/wizard-view-log.log")\"" ] ||
  fail "the editor was started as: $(cat "$editor_dir/viewer.exe.ran" 2>/dev/null)"
[ ! -e "$windows_dir/omni.exe.ran" ] || fail "C:\\windows\\omni.exe was started"
done_scenario

# Without szEditor the Windows folder's NotePad.exe opens the log (here a marker in its place).
notepad="$windows_dir/notepad.exe"
cp "$notepad" "$work/notepad.exe.saved"
at_exit "cp '$work/notepad.exe.saved' '$notepad'"
cp "$windows_build/tests/helpers/run_marker.exe" "$notepad"
rm -f "$notepad.ran"
view_log() {
  drive press next
  wait_page 2
  drive press help
  for _ in $(seq 100); do [ -s "$notepad.ran" ] && break; sleep 0.1; done
  drive press finish
}
build wizard-notepad minimal
wizard_run wizard-notepad ok 0 view_log /LOGFILE "$(winpath "$work/wizard-notepad.log")"
[ "$(cat "$notepad.ran" 2>/dev/null)" = \
  "\"C:\\windows\\NotePad.exe\" \"$(winpath "$work/wizard-notepad.log")\"" ] ||
  fail "NotePad.exe was started as: $(cat "$notepad.ran" 2>/dev/null)"
cp "$work/notepad.exe.saved" "$notepad"
rm -f "$notepad.ran"
done_scenario

# A second installer while the wizard shows: it ends with 33 and the wizard comes to the front.
second_instance() {
  "$wine_run" "$work/wizard-second.exe" /LOGFILE "$(winpath "$work/wizard-second-2.log")" \
    >/dev/null 2>&1
  local second=$?
  [ "$second" = 33 ] || noted "the second installer ended with $second"
  sleep 0.5
  [ "$(drive foreground)" = 1 ] || noted "the wizard is not in front"
  drive press cancel
}
build wizard-second minimal
wizard_run wizard-second ok 33 second_instance /LOGFILE "$(winpath "$work/wizard-second.log")"
[ ! -e "$work/wizard-second-2.log" ] || fail "the second installer wrote a log"
done_scenario

# omnipack check against the installer: each faulty script is built with --no-check and run; the
# installer's exit code is the status the check names, and for a failing command the install log
# names the line the check named. Sourced by run.sh.

check_folder="$work/check"

# check_case NAME EXPECTED_STATUS SCRIPT_LINES...: the script's lines (CR LF added) in a package
# of their own with one data file.
check_case() {
  local name=check-$1 expected=$2
  shift 2
  local folder="$check_folder/$name"
  mkdir -p "$folder"
  printf 'data\r\n' >"$folder/data.txt"
  printf '%s\r\n' "$@" >"$folder/ORQSCRIP.OSC"
  local findings predicted line
  findings=$("$omnipack" check "$folder")
  [ $? = 1 ] || { name=$name; ok=1; fail "check found no error: $findings"; return; }
  # The first error: "FILE:LINE: error: TEXT (status N)".
  predicted=$(grep -m1 ': error: ' <<<"$findings" | sed -nE 's/.*\(status ([0-9]+)\)$/\1/p')
  line=$(grep -m1 ': error: ' <<<"$findings" | sed -nE 's/^.*ORQSCRIP\.OSC:([0-9]+): error: .*/\1/p')
  "$omnipack" build --main "$folder" --no-check -o "$work/$name.exe" 2>/dev/null
  run "$name" ok "$expected" /S /LOGFILE "$(winpath "$work/$name.log")"
  [ "$predicted" = "$expected" ] || fail "the check predicts status '$predicted': $findings"
  [ "$predicted" = "$code" ] || fail "the check predicts $predicted, the installer gave $code"
  # A command's failure is logged with its section and line; a script that does not load has none.
  if [ "${check_logged:-}" ]; then
    expect_log "Script command failed: [Main] line $line: $check_logged returned $code"
  fi
  done_scenario
}

check_case unknown-keyword 2 '[Main]' 'Frobnicate x'
check_case before-section 4 'Set a = 1' '[Main]'
check_case no-main 7 '[Other]' 'Set a = 1'
check_logged=SET check_case no-equals 23 '[Main]' 'Set a'
check_logged=GETREGVALUE check_case registry-root 20 '[Main]' 'GetRegValue v = HKXX\SOFTWARE, x'
check_logged=CALL check_case missing-section 4 '[Main]' 'Set a = 1' 'Call Missing'
check_logged=SETWORKDIR check_case unset-variable 28 '[Main]' 'SetWorkDir root,CREATE'
check_logged=SETINIFILEVALUE check_case ini-form 25 '[Main]' 'Set v = 1' 'SetIniFileValue a.ini, S, K'
# INSTALLFILES fails at the SET of its section, and the log names the INSTALLFILES line.
check_case install-files-section 5 '[Main]' \
  'Set root=C:\omni-e2e\check' 'SetWorkDir root,CREATE' 'InstallFiles Files' '[Files]' \
  'File data.txt' 'Set a = 1'
check_logged=FILE check_case missing-file 29 '[Main]' 'Set root=C:\omni-e2e\check' \
  'SetWorkDir root,CREATE' 'File missing.dll'
# A share's root is refused before anything is looked at, whatever the share.
check_logged=DELETEDIRECTORY check_case share-root 10 '[Main]' \
  'DeleteDirectory \\omni-e2e-nowhere\share'
# Nothing has given FILE a folder to install into yet.
check_logged=FILE check_case file-before-workdir 6 '[Main]' 'File data.txt'
check_logged=RENAMEFILE check_case rename-before-workdir 6 '[Main]' 'RenameFile a.txt=b.txt'
check_logged=REGISTER check_case register-before-workdir 6 '[Main]' 'Register lib.dll'
check_logged=GETORQINIPATH check_case console-ini-path 38 '[Main]' 'GetOrqIniPath path'

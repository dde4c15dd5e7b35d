# System queries and INI files in whole runs on both platform families: the script asks the system
# and writes each answer into an INI file through the profile calls, and its own reader finds what
# they wrote. Sourced by run.sh.

queries="$wine_prefix/drive_c/omni-queries"  # C:\omni-queries

for family in nt 9x; do
  name=queries-$family
  [ "$family" = nt ] || as_win98 "$name.exe"
  build "$name" queries
  rm -rf "$queries" && mkdir -p "$queries"
  printf '[Answers]\r\n' >"$queries/answers.ini"
  run "$name" ok 0 /S /LOGFILE "$(winpath "$work/$name.log")"
  os_type=$([ "$family" = nt ] && echo WINNT_OR_NEWER || echo WIN32_9X)
  for answer in "OsType=$os_type" Processor=PROCESSOR_INTEL Found=1; do
    tr -d '\r' <"$queries/answers.ini" | grep -qxF -- "$answer" ||
      fail "answers.ini lacks '$answer': $(tr '\r\n' '  ' <"$queries/answers.ini")"
  done
  expect_no_box
  done_scenario
done
rm -rf "$queries"

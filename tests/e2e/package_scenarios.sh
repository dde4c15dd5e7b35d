# Damaged entry streams and the scratch files of extraction. Sourced by run.sh.

# damaged NAME SET ENTRY cut|inflate: work/NAME.exe from the minimal fixture, with one entry's
# stream damaged and its set still signed.
damaged() {
  build "$1" minimal
  python3 "$root/tests/e2e/damage_entry.py" "$work/$1.exe" "$2" "$3" "$4"
}

# The install script cut to half of its stream: the run ends as damaged, and takes its temporary
# files and folders with it.
damaged damaged-script main ORQSCRIP.OSC cut
run damaged-script ok 42 /SILENT /LOGFILE "$(winpath "$work/damaged-script.log")"
expect_log "Unable to verify the ZIP File. Signature verification failed."
expect_log "Update process failed."
expect_record 42 0
done_scenario

# 4 GiB stated by a 14-byte file's stream: extraction stops at once and writes nothing of it.
damaged damaged-inflated main data.txt inflate
run damaged-inflated ok 42 /E "$(winpath "$work/inflated-out")" \
  /LOGFILE "$(winpath "$work/damaged-inflated.log")"
expect_log "Zip file extraction is failed."
[ ! -s "$work/inflated-out/data.txt" ] || fail "data.txt written: $(stat -c %s "$work/inflated-out/data.txt") bytes"
done_scenario

# A language library cut to half of its stream is not loaded half; the language folder goes.
damaged damaged-language lang OPStbRes.dll cut
run damaged-language ok 67 /E "$(winpath "$work/damaged-language-out")" \
  /LOGFILE "$(winpath "$work/damaged-language.log")"
expect_box "Error	OPStbRes.dll:  "
expect_no_record
done_scenario

# Entries named "a" and "ab" are unpacked through scratch files inside the target folder: the files
# "outmp" and "outtmp" beside it stay as they are.
mkdir -p "$work/short-names/package" "$work/short-names/target"
cp -p "$fixtures/minimal/"* "$work/short-names/package/"
printf 'A' >"$work/short-names/package/a"
printf 'AB' >"$work/short-names/package/ab"
for sibling in outmp outtmp; do
  printf 'a file beside the target folder: %s\r\n' "$sibling" >"$work/short-names/target/$sibling"
  cp -p "$work/short-names/target/$sibling" "$work/short-names/$sibling.kept"
done
"$omnipack" build --main "$work/short-names/package" -o "$work/short-names.exe" >/dev/null
run short-names ok 0 /E "$(winpath "$work/short-names/target/out")" \
  /LOGFILE "$(winpath "$work/short-names.log")"
for sibling in outmp outtmp; do
  same "$work/short-names/target/$sibling" "$work/short-names/$sibling.kept"
done
[ "$(LC_ALL=C ls "$work/short-names/target" | tr '\n' ' ')" = "out outmp outtmp " ] ||
  fail "beside the target folder: $(ls "$work/short-names/target" | tr '\n' ' ')"
[ "$(LC_ALL=C ls "$work/short-names/target/out" | tr '\n' ' ')" = "ORQSCRIP.OSC a ab data.txt " ] ||
  fail "in the target folder: $(ls "$work/short-names/target/out" | tr '\n' ' ')"
done_scenario

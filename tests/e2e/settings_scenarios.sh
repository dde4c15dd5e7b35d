# The product's settings: an update that finds the product in the registry, reads and writes its
# values, edits its INI file, asks the system family and configures the scanner tasks, on the
# real registry and profile API. Sourced by run.sh after install_scenarios.sh (prefix, products).

velkor_key='HKLM\SOFTWARE\Velkor'
product_key='HKLM\SOFTWARE\Velkor\DesktopProtection'
targeted='{3A1C5E7B-2D4F-4A68-9B0C-1E2F3A4B5C6D}'
settings_product="$products/settings"
at_exit "'$wine_run' reg delete '$velkor_key' /f >/dev/null 2>&1"

# The installed product 2.0: its key with folder, version, one weekly task and the default task
# of two items; its INI file.
seed_product() {
  "$wine_run" reg delete "$velkor_key" /f >/dev/null 2>&1
  rm -rf "$settings_product" && mkdir -p "$settings_product"
  printf '[Engine]\r\nVersion=2.0\r\nHeuristics=1\r\n' >"$settings_product/product.ini"
  printf '%s\r\n' 'REGEDIT4' '' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Velkor\DesktopProtection]' \
    '"szInstallDir"="C:\\omni-e2e\\settings"' '"szVersion"="2.0"' '' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Velkor\DesktopProtection\Tasks\Weekly]' \
    '"wTaskType"=dword:00000001' '"uScanNumItems"=dword:00000001' '"szScanItem0"="WinDir"' '' \
    '[HKEY_LOCAL_MACHINE\SOFTWARE\Velkor\DesktopProtection\DefaultTask]' \
    '"wTaskType"=dword:00000000' '"uScanNumItems"=dword:00000002' '"szScanItem0"="WinDir"' \
    '"szScanItem1"="TempDir"' >"$work/settings-seed.reg"
  "$wine_run" regedit /S "$(winpath "$work/settings-seed.reg")" >/dev/null 2>&1
}
# reg_value KEY NAME: the value's data as reg shows it (numbers in 0x hex).
reg_value() {
  "$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
expect_value() {  # expect_value KEY NAME DATA
  local data
  data=$(reg_value "$1" "$2")
  [ "$data" = "$3" ] || fail "$1 $2 is '$data', expected '$3'"
}
export_velkor() { "$wine_run" reg export "$velkor_key" "$(winpath "$1")" /y >/dev/null 2>&1; }

"$omnipack" build --main "$fixtures/settings" -o "$work/settings.exe" >/dev/null
cp "$work/settings.exe" "$work/settings-no-change.exe"
cp "$work/settings.exe" "$work/settings-no-product.exe"

seed_product
run settings ok 0 /S /LOGFILE "$(winpath "$work/settings.log")"
expect_value "$product_key" szVersion 2.1
expect_value "$product_key" szPreviousVersion 2.0
expect_value "$product_key" szOsType WINNT_OR_NEWER
tr -d '\r' <"$settings_product/product.ini" | grep -qx 'Version=2.1' ||
  fail "product.ini: $(tr '\r\n' '  ' <"$settings_product/product.ini")"
tr -d '\r' <"$settings_product/product.ini" | grep -qx 'Channel=stable' || fail "no Channel=stable"
expect_value "$product_key\\Tasks" EOLPID 0x2f13
expect_value "$product_key\\Tasks\\Weekly" uScanNumItems 0x3
expect_value "$product_key\\Tasks\\Weekly" szScanItem1 SpecialRegistrySpyware
expect_value "$product_key\\Tasks\\Weekly" szScanItem2 SpecialCookiesSpyware
expect_value "$product_key\\Tasks\\Weekly" ApplyNVP 0x1
expect_value "$product_key\\Tasks\\$targeted" szTaskName IDS_ODS_TASKNAME_TARGETED_SCAN
expect_value "$product_key\\Tasks\\$targeted" uScanNumItems 0x9
expect_value "$product_key\\Tasks\\$targeted" szScanItem8 ProfileDir
expect_value "$product_key\\DefaultTask" uScanNumItems 0x4
expect_value "$product_key\\DefaultTask" szScanItem3 SpecialCookiesSpyware
expect_no_box
expect_record 0 0
done_scenario

# /NC: the product is found and the run succeeds, but no registry value changes.
export_velkor "$work/settings-before.reg"
cp "$settings_product/product.ini" "$work/settings-before.ini"
run settings-no-change ok 0 /S /NC /LOGFILE "$(winpath "$work/settings-no-change.log")"
export_velkor "$work/settings-after.reg"
cmp -s "$work/settings-before.reg" "$work/settings-after.reg" ||
  fail "the registry changed: $(diff "$work/settings-before.reg" "$work/settings-after.reg" | head -n 5)"
same "$settings_product/product.ini" "$work/settings-before.ini"
expect_record 0 0
done_scenario

# No product: the section that looks for it ends, the script's final status (1) makes the outcome,
# and nothing of the product appears.
"$wine_run" reg delete "$velkor_key" /f >/dev/null 2>&1
run settings-no-product ok 43 /S /LOGFILE "$(winpath "$work/settings-no-product.log")"
expect_log "Corvane Enterprise 8.7 is not installed.  The Sentrel Module cannot be installed."
"$wine_run" reg query "$velkor_key" >/dev/null 2>&1 && fail "the Velkor key was created"
expect_record 43 0
done_scenario

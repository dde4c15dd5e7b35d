# The update of a running product: the sample product 2.0 runs as the service ZENTORA with its
# engine library loaded, beside its window program and the tray monitor; the update stops and
# closes them, copies 2.1 over their files in place, registers a COM library, hands a plug-in to
# the management agent and starts the service and the window again. Sourced by run.sh after
# install_scenarios.sh (products, same).

running_root='C:\omni-e2e\running product'
running="$products/running product"
sample="$windows_build/tests/helpers"
agent="$products/agent"
agent_key='HKLM\SOFTWARE\Torvane Partners\Stewardry\Agent'
com_key='HKCU\Software\OmniPackTests\ComRegister'

# The product's service and window are stopped and removed when the tests end, whatever happens.
stop_product() {
  "$wine_run" taskkill /im zentora.exe >/dev/null 2>&1
  "$wine_run" sc stop ZENTORA >/dev/null 2>&1
  "$wine_run" sc delete ZENTORA >/dev/null 2>&1
  "$wine_run" reg delete "$com_key" /f >/dev/null 2>&1
}
at_exit stop_product

service_state() {  # RUNNING, STOPPED, ... as the service manager reports it
  "$wine_run" sc query ZENTORA 2>/dev/null | tr -d '\r' | awk '$1 == "STATE" { print $4 }'
}
# wait_for SECONDS COMMAND...: until the command succeeds, polling ten times a second.
wait_for() {
  local tenths=$(($1 * 10))
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
service_running() { [ "$(service_state)" = RUNNING ]; }
com_registered() { "$wine_run" reg query "$com_key" /v Library >/dev/null 2>&1; }

# The package: the script and the product's files of version 2.1 and the COM library.
folder="$work/package-running-product"
rm -rf "$folder" && mkdir -p "$folder"
cp "$sample"/product-2.1/{zentorasvc.exe,zentoraeng.dll,zentora.exe} "$folder/"
cp "$sample/com_register.dll" "$folder/comreg.dll"
sed "s/@ROOT@/${running_root//\\/\\\\}/" "$fixtures/running-product/ORQSCRIP.OSC" >"$folder/ORQSCRIP.OSC"
"$omnipack" build --main "$folder" -o "$work/running-product.exe" >/dev/null

# Version 2.0 installed and running: the service started by the service manager, the window
# program and the tray monitor started by the user.
stop_product
rm -rf "$running" "$agent" && mkdir -p "$running" "$agent"
cp "$sample"/product-2.0/{zentorasvc.exe,zentoraeng.dll,zentora.exe} "$running/"
cp "$sample/plxcore32.dll" "$agent/"
"$wine_run" reg add "$agent_key" /v "Installed Path" /d 'C:\omni-e2e\agent' /f >/dev/null 2>&1
"$wine_run" sc create ZENTORA binpath= "\"$running_root\\zentorasvc.exe\"" >/dev/null 2>&1
"$wine_run" sc start ZENTORA >/dev/null 2>&1
"$wine_run" "$running_root\\zentora.exe" >/dev/null 2>&1 &
window_pid=$!
# The tray monitor makes its close event at once; the update asks it to close seconds later.
"$wine_run" "$sample/tray_monitor.exe" >/dev/null 2>&1 &
tray_pid=$!
name=running-product-ready
ok=1
wait_for 10 service_running || fail "the service 2.0 is $(service_state)"
wait_for 10 grep -q "window 2.0 open" "$running/status.log" 2>/dev/null || fail "no window 2.0"
code=-
done_scenario

run running-product ok 0 /S /LOGFILE "$(winpath "$work/running-product.log")"
wait "$window_pid" || fail "the window 2.0 ended with $?"
wait "$tray_pid" || fail "the tray monitor ended with $? (not by its close event)"
for file in zentorasvc.exe zentoraeng.dll zentora.exe; do
  same "$running/$file" "$sample/product-2.1/$file"
  same "$running/Backup/$file" "$sample/product-2.0/$file"
done
wait_for 10 grep -q "window 2.1 open" "$running/status.log" || fail "the window 2.1 did not open"
service_running || fail "the service is $(service_state) after the update"
expected_status=$(printf '%s\n' 'service 2.0 running with engine 2.0' 'window 2.0 open' \
  'service 2.0 stopped' 'window 2.0 closed' 'service 2.1 running with engine 2.1' 'window 2.1 open')
[ "$(tr -d '\r' <"$running/status.log")" = "$expected_status" ] ||
  fail "the product's status: $(tr '\r\n' ' |' <"$running/status.log")"
wait_for 10 com_registered || fail "the COM library did not register itself"
[ "$(iconv -f UTF-16LE -t UTF-8 "$agent/plxcore32.dll.calls")" = \
  "$(printf 'LoadPluginDLL\tZentoraScanPlugin 2.1')" ] ||
  fail "the agent was called: $(iconv -f UTF-16LE -t UTF-8 "$agent/plxcore32.dll.calls" | tr '\t\n' '>|')"
expect_log 'Stopping service...ZENTORA.'
expect_log 'Closing application...ZentoraWindowClass.'
expect_log "Starting service...ZENTORA."
expect_log "Starting application...\"$running_root\\zentora.exe\"."
[ -z "$(pending_operations)" ] || fail "operations left for a restart: $(pending_operations | tr '\n' '|')"
expect_no_box
expect_record 0 0
done_scenario
"$wine_run" reg delete "$agent_key" /f >/dev/null 2>&1

# Where the installer takes its libraries from. The folder an installer is started from (a
# downloads folder) or its current folder may hold libraries of the names it wants. Sourced by
# run.sh after install_scenarios.sh (package, products, same).

# The installer imports only libraries that the system always takes from its own folder; every
# other one it loads by its full path. (Planting version.dll cannot show this under Wine: Wine's
# own user32 imports version.dll, so a planted one preferred to Wine's is loaded at every start.)
# The shipped image is checked on every machine, whichever tree the tests run: a PE32 image for
# i386 within its size; the x86_64 tree's image, where the tests run that one, as a PE32+ image.
# Rows: scenario, image, objdump of its kind, its file format, its largest size in bytes.
known_libraries=" ADVAPI32 COMDLG32 GDI32 KERNEL32 MSVCRT OLE32 OLEAUT32 SHELL32 SHLWAPI USER32 "
image_rows=("known-imports|$root/dist/win32/installer.exe|i686-w64-mingw32-objdump|pei-i386|524288")
[ "$windows_arch" != x86_64 ] || image_rows+=(
  "known-imports-x86_64|$test_dist/win32/installer.exe|x86_64-w64-mingw32-objdump|pei-x86-64|")
for row in "${image_rows[@]}"; do
  IFS='|' read -r name image objdump format largest <<<"$row"
  ok=1
  headers=$("$objdump" -p "$image")
  grep -q "file format $format\$" <<<"$headers" || fail "not a $format image"
  size=$(stat -c %s "$image")
  [ -z "$largest" ] || [ "$size" -le "$largest" ] || fail "$size bytes, more than $largest"
  imports=$(awk '/DLL Name:/ { name = toupper($3); sub(/\.DLL$/, "", name); print name }' \
    <<<"$headers")
  [ -n "$imports" ] || fail "no imports read"
  for library in $imports; do
    [[ "$known_libraries" == *" $library "* ]] || fail "imports $library"
  done
  code=-
  done_scenario
done

# Copies of the marker library, which leaves NAME.loaded beside itself when it is loaded, lie
# beside the installer or in its current folder under the names of its language library and of
# the common controls, and Wine is told to prefer such files to its own. Whatever a run does, none
# of them may be loaded.
marker="$windows_build/tests/helpers/load_marker.dll"
planted=(comctl32.dll OPStbRes.dll)
plant() { for library in "${planted[@]}"; do cp "$marker" "$1/$library"; done; }
# run_planted FOLDER NAME ANSWERS EXIT [arguments...]: run, with Wine preferring the libraries
# planted in FOLDER to its own; none of them may be loaded.
run_planted() {
  local folder=$1 library
  shift
  rm -f "$folder"/*.loaded
  WINEDLLOVERRIDES="mscoree,mshtml=;comctl32,OPStbRes=n,b" run "$@"
  for library in "${planted[@]}"; do
    [ ! -e "$folder/$library.loaded" ] || fail "the $library planted in ${folder#"$work"/} was loaded"
  done
}
beside="$work/planted"
mkdir -p "$beside" "$work/planted-cwd/start" "$work/planted-cwd/current"
plant "$beside"
plant "$work/planted-cwd/current"

# An install run; REPLACEFILE still asks the system's version installer, loaded from the system
# folder: the newer installed core is kept.
mkdir -p "$beside/versions"
cp "$windows_build/tests/helpers/versioned_v2.dll" "$beside/versions/engine.dll"
cp "$windows_build/tests/helpers/versioned_v1.dll" "$beside/versions/core.dll"
package planted/replace replace.osc 'C:\omni-e2e\planted-replace' "$beside/versions"
product="$products/planted-replace"
mkdir -p "$product"
cp "$windows_build/tests/helpers/versioned_v1.dll" "$product/engine.dll"
cp "$windows_build/tests/helpers/versioned_v2.dll" "$product/core.dll"
run_planted "$beside" planted/replace ok 0 /S /LOGFILE "$(winpath "$beside/replace.log")"
same "$product/engine.dll" "$windows_build/tests/helpers/versioned_v2.dll"
same "$product/core.dll" "$windows_build/tests/helpers/versioned_v2.dll"
done_scenario

build planted/extract minimal
run_planted "$beside" planted/extract ok 0 /E "$(winpath "$beside/out")" \
  /LOGFILE "$(winpath "$beside/extract.log")"
expect_log "Zip file extraction is successful."
done_scenario

# A French locale chooses OPStbResFRA.dll, which the package does not carry: the English library
# of the language folder stands in.
build planted/french minimal
locale=fr_FR.UTF-8 run_planted "$beside" planted/french ok 0 /S \
  /LOGFILE "$(winpath "$beside/french.log")"
expect_log "Update process is successful."
done_scenario

# A language set that is not unpacked leaves no folder to load the library from: nothing is
# loaded in its place, from beside the installer or from the current folder, and the run ends with
# 67, silently: the early log file in the current folder says why. Rows: scenario, folder of the
# planted libraries, current folder.
no_language_rows=(
  "planted/no-language|$beside|$work"
  "planted-cwd/start/no-language|$work/planted-cwd/current|$work/planted-cwd/current"
)
for row in "${no_language_rows[@]}"; do
  IFS='|' read -r scenario folder current <<<"$row"
  build "$scenario" minimal
  damage_language_set "$work/$scenario.exe"
  rm -f "$current/install.log"
  cwd=$current run_planted "$folder" "$scenario" ok 67 /S \
    /LOGFILE "$(winpath "$work/$scenario.log")"
  expect_no_box
  cut -f6 "$current/install.log" 2>/dev/null | grep -q "^OPStbRes.dll:  ." ||
    fail "no early log line for the library"
  done_scenario
done

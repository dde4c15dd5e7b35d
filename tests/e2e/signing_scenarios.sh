# Signed installers: signing appends a certificate table behind the package, and the installer and
# omnipack still find the package in front of it. Sourced by run.sh after install_scenarios.sh,
# whose package() and same() it uses.

signing="$work/signing"
mkdir -p "$signing"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$signing/key.pem" -out "$signing/cert.pem" \
  -days 2 -subj "/CN=OmniPack test signer" >/dev/null 2>&1
# sign NAME: signs work/NAME.exe in place with the test certificate, as a release engineer would.
sign() {
  osslsigncode sign -certs "$signing/cert.pem" -key "$signing/key.pem" -h sha256 \
    -in "$work/$1.exe" -out "$work/$1.signed" >/dev/null 2>&1 &&
    mv "$work/$1.signed" "$work/$1.exe" || fail "osslsigncode cannot sign $1.exe"
}
signature_holds() {
  osslsigncode verify -CAfile "$signing/cert.pem" -in "$work/$1.exe" >/dev/null 2>&1
}

name=signed-install
package signed-install install.osc 'C:\omni-e2e\signed-install'
sign signed-install
signature_holds signed-install || fail "the signature of signed-install.exe does not verify"
cp "$work/signed-install.exe" "$work/signed-extract-only.exe"
cp "$work/signed-install.exe" "$work/signed-damaged.exe"
product="$products/signed-install"
run signed-install ok 0 /S /LOGFILE "$(winpath "$work/signed-install.log")"
for file in "${new_files[@]}"; do
  same "$product/$file" "$install_fixtures/files/$file"
done
expect_log "Update process is successful."
expect_no_box
expect_record 0 0
done_scenario

run signed-extract-only ok 0 /E "$(winpath "$work/signed-extracted")" \
  /LOGFILE "$(winpath "$work/signed-extract-only.log")"
for file in "${new_files[@]}"; do
  same "$work/signed-extracted/$file" "$install_fixtures/files/$file"
done
expect_log "Zip file extraction is successful."
done_scenario

# omnipack on the signed file: the package is found, it lies inside the signed range, and it
# unpacks to the files it was built from.
name=signed-omnipack
ok=1
code=0
listing=$("$omnipack" list "$work/signed-extract-only.exe") || fail "omnipack list failed"
grep -q "^  signature: certificate table of [0-9]* bytes at offset [0-9]*; the package lies inside the signed range$" <<<"$listing" ||
  fail "omnipack list says nothing of the signature: $listing"
verified=$("$omnipack" verify "$work/signed-extract-only.exe") || fail "omnipack verify: $verified"
grep -q ": signed: certificate table of" <<<"$verified" || fail "verify does not say signed"
"$omnipack" extract "$work/signed-extract-only.exe" -o "$work/signed-omnipack" >/dev/null ||
  fail "omnipack extract failed"
for file in "${new_files[@]}"; do
  same "$work/signed-omnipack/$file" "$install_fixtures/files/$file"
done
done_scenario

# One byte of the package changed after signing: the signature no longer holds, and the installer
# refuses the set whose check fails.
python3 - "$work/signed-damaged.exe" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
marker = data.rfind(b'_OMNIPACK_HEADER\0')
records = struct.unpack_from('<I', data, marker - 4 + 29)[0]
# The last entry's data of the main set stands before its signature record and the directory.
data[marker - 4 - 178 * records - 17 - 1] ^= 0xFF
open(path, 'wb').write(data)
PY
signature_holds signed-damaged && fail "the signature still verifies after the change"
run signed-damaged ok 42 /S /LOGFILE "$(winpath "$work/signed-damaged.log")"
expect_log "Unable to verify the ZIP File. Signature verification failed."
expect_no_box
expect_record 42 0
done_scenario

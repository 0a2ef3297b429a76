#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Signing for a school with a code-signing certificate: windows/sign.sh (which the installer
# target calls) signs the program, the NSIS installer and the MSI. Here with a throwaway
# self-signed certificate made for the test, on copies: each signature must verify against
# that certificate, a signed file changed by one byte must not, and the signed program must
# still start under Wine.
#   wine-signing.sh BUILD_DIR
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
session_name=wine-signing
wine_build wine-signing "$@" msi
session_require openssl osslsigncode
wine_begin wine-signing 300
work=$wine_folder

mkdir "$work/signed"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$publisher (test)" \
    -addext extendedKeyUsage=codeSigning -keyout "$work/signed/key.pem" -out "$work/signed/cert.pem" \
    >"$work/openssl.log" 2>&1 || session_fail "openssl made no certificate: $(cat "$work/openssl.log")"
openssl pkcs12 -export -inkey "$work/signed/key.pem" -in "$work/signed/cert.pem" -passout pass:lesson \
    -out "$work/signed/school.pfx" >>"$work/openssl.log" 2>&1 ||
    session_fail "openssl made no .pfx: $(cat "$work/openssl.log")"
cp "$build/$exe" "$build/$installer" "$build/$msi" "$work/signed/"
signed=("$work/signed/$(basename "$exe")" "$work/signed/$(basename "$installer")" "$work/signed/$(basename "$msi")")
ZNAYDAR_SIGN_PFX=$work/signed/school.pfx ZNAYDAR_SIGN_PASSWORD=lesson ZNAYDAR_SIGN_CA=$work/signed/cert.pem \
    bash "$here/../windows/sign.sh" "$name" "$homepage" "${signed[@]}" >"$work/sign.log" 2>&1 ||
    session_fail "sign.sh: $(cat "$work/sign.log")"
for file in "${signed[@]}"; do
    osslsigncode verify -in "$file" -CAfile "$work/signed/cert.pem" >"$work/verify.log" 2>&1 ||
        session_fail "the signature of $(basename "$file") does not verify: $(tail -n 5 "$work/verify.log")"
    grep -q "CN=$publisher (test)" "$work/verify.log" || session_fail "$(basename "$file") is not signed by the test's certificate"
done
cp "${signed[0]}" "$work/signed/changed.exe"
printf 'x' | dd of="$work/signed/changed.exe" bs=1 seek=4096 conv=notrunc status=none
! osslsigncode verify -in "$work/signed/changed.exe" -CAfile "$work/signed/cert.pem" >/dev/null 2>&1 ||
    session_fail "a signed program changed by one byte still verifies"
wine_launch "${signed[0]}" signed
wine_quit signed
session_say "PASS: the program, the NSIS installer and the MSI signed and verified; a changed byte is caught"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Signs files in place for a school that has a code-signing certificate, with Debian's
# osslsigncode, and verifies each signature; without a certificate it does nothing, and the
# files stay unsigned (Windows then names no publisher).
#   sign.sh NAME URL FILE...
# NAME and URL are what Windows shows of the signed content (the product's name and homepage).
# ZNAYDAR_SIGN_PFX        the certificate and its private key, a .pfx (PKCS#12) file
# ZNAYDAR_SIGN_PASSWORD   its password (read from the environment, never put on a command line)
# ZNAYDAR_SIGN_TIMESTAMP  optional: an RFC 3161 time-stamp server's URL, so that the signature
#                         outlives the certificate (this build machine may have no network)
# ZNAYDAR_SIGN_CA         optional: the root certificate(s) the signature is verified against
#                         (default: the machine's, /etc/ssl/certs/ca-certificates.crt)
set -euo pipefail
[ -n "${ZNAYDAR_SIGN_PFX:-}" ] || exit 0
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode is missing (Debian package osslsigncode)" >&2; exit 1; }
[ -r "$ZNAYDAR_SIGN_PFX" ] || { echo "sign.sh: cannot read $ZNAYDAR_SIGN_PFX" >&2; exit 1; }
name=$1 url=$2
shift 2
timestamp=()
[ -z "${ZNAYDAR_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$ZNAYDAR_SIGN_TIMESTAMP")
for file in "$@"; do
    osslsigncode sign -pkcs12 "$ZNAYDAR_SIGN_PFX" -readpass <(printf '%s' "${ZNAYDAR_SIGN_PASSWORD:-}") \
        -h sha256 -n "$name" -i "$url" "${timestamp[@]}" \
        -in "$file" -out "$file.signed" >"$file.sign.log" 2>&1 ||
        { cat "$file.sign.log" >&2; rm -f "$file.signed" "$file.sign.log"; exit 1; }
    mv "$file.signed" "$file"
    osslsigncode verify -in "$file" -CAfile "${ZNAYDAR_SIGN_CA:-/etc/ssl/certs/ca-certificates.crt}" >"$file.sign.log" 2>&1 ||
        { cat "$file.sign.log" >&2; rm -f "$file.sign.log"; echo "sign.sh: the signature of $file does not verify" >&2; exit 1; }
    rm -f "$file.sign.log"
    echo "signed: $file"
done

#!/usr/bin/env bash
# Signs Windows programs and DLLs in place with Authenticode (SHA-256) and, unless
# QUELVARO_SIGN_TIMESTAMP is set empty, an RFC 3161 timestamp, so that the signatures stay valid
# after the certificate expires. The certificate and its key are the PKCS#12 file that
# QUELVARO_SIGN_PKCS12 names, its password QUELVARO_SIGN_PASSWORD (see the README).
#   sign.sh DESCRIPTION URL FILE...
set -euo pipefail
description=$1 url=$2
shift 2
: "${QUELVARO_SIGN_PKCS12:?names no certificate}"
timestamp=${QUELVARO_SIGN_TIMESTAMP-http://timestamp.digicert.com}
# The password goes by a file of the signer's own, not on a command line other users can read.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s' "${QUELVARO_SIGN_PASSWORD:-}" >"$work/password"
for file; do
    osslsigncode sign -pkcs12 "$QUELVARO_SIGN_PKCS12" -readpass "$work/password" -h sha256 \
        -n "$description" -i "$url" ${timestamp:+-ts "$timestamp"} -in "$file" -out "$work/signed" >"$work/log" 2>&1 ||
        { cat "$work/log" >&2; echo "sign.sh: cannot sign $file" >&2; exit 1; }
    # Written over the file rather than moved onto it, so that the file keeps its permissions.
    cat "$work/signed" >"$file"
    rm "$work/signed"
done

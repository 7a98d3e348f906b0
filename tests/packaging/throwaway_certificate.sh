#!/bin/sh
# Makes a self-signed code-signing certificate that lives for two days, as a PKCS#12 file
# with the password "throwaway", for CI to check the signing path of scripts/package.sh
# windows. Nothing signed with it is trusted anywhere.
# Usage: throwaway_certificate.sh out.pfx
set -eu
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:3072 -nodes -days 2 -subj "/CN=Vantrel throw-away test signer" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=critical,digitalSignature" \
    -keyout "$work/key.pem" -out "$work/certificate.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/certificate.pem" -out "$out" \
    -passout pass:throwaway

#!/usr/bin/env bash
# Makes Vantrel-<version>-win64.zip and Vantrel-<version>-win64.msi from the cross-built Windows
# program and checks them: the files of the zip, and the installer's tables (msiinfo) for the
# name, version and publisher of the program's version block, the Start-menu shortcut and the
# upgrade code; then installs, starts and uninstalls the installer under Wine
# (tests/packaging/msi_install.sh). Leaves both in build/windows/. Run as
# scripts/package.sh windows.
# With --sign CERT.pfx, signs the program before it goes into the zip and the installer, and
# then the installer, with osslsigncode (SHA-256), and reads both signatures back. The
# certificate's password comes from VANTREL_SIGN_PASSWORD; where VANTREL_TIMESTAMP_URL names
# an RFC 3161 time-stamp server, the signatures are time-stamped there, so that they stay valid
# after the certificate expires.
set -euo pipefail
cd "$(dirname "$0")/.."

certificate=
while [ $# -gt 0 ]; do
    case $1 in
        --sign)
            [ $# -ge 2 ] || { echo "--sign needs a certificate (.pfx)" >&2; exit 2; }
            certificate=$(realpath "$2")
            shift 2
            ;;
        *)
            echo "Usage: scripts/package.sh windows [--sign CERT.pfx]" >&2
            exit 2
            ;;
    esac
done
sign() {
    [ -n "$certificate" ] || return 0
    osslsigncode sign -pkcs12 "$certificate" ${VANTREL_SIGN_PASSWORD:+-pass "$VANTREL_SIGN_PASSWORD"} \
        -n "Vantrel ver. 2" -h sha256 ${VANTREL_TIMESTAMP_URL:+-ts "$VANTREL_TIMESTAMP_URL"} \
        -in "$1" -out "$1.signed" >/dev/null
    mv "$1.signed" "$1"
}

scripts/setup.sh windows
cmake --preset windows
cmake --build --preset windows -j "$(nproc)" --target vantrel_win32_program
made=build/windows/packaging/windows
name=$(cat "$made/package_name.txt")
program=$(cat "$made/program_path.txt")
zip=$PWD/build/windows/$name.zip
msi=$PWD/build/windows/$name.msi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name" "$work/msi"
signed="$work/$(basename "$program")"
cp "$program" "$signed"
sign "$signed"
cp "$signed" "$made/README.txt" "$made/LICENSE.txt" "$work/$name/"
cp "$signed" "$made/README.txt" "$made/LICENSE.txt" resources/vantrel.ico "$work/msi/"
rm -f "$zip" "$msi"
(cd "$work" && cmake -E tar cf "$zip" --format=zip "$name")
# wixl finds the files the installer names in the folder it runs in.
wxs=$PWD/$made/vantrel.wxs
(cd "$work/msi" && wixl --arch x64 --output "$msi" "$wxs")
# wixl drops IncludeMaximum: the row that replaces installed versions must take this version
# too (VersionMinInclusive 0x100 and VersionMaxInclusive 0x200), so that a rebuilt installer of
# it replaces it rather than installing beside it.
# The attributes are part of the table's key, which SQL cannot change: the table is rewritten.
msiinfo export "$msi" Upgrade | tr -d '\r' |
    awk -F '\t' -v OFS='\t' '$7 == "VANTREL_REPLACED" { $5 = 768 } { print }' >"$work/Upgrade.idt"
msibuild "$msi" -i "$work/Upgrade.idt"
sign "$msi"
echo "Zip: $zip"
echo "Installer: $msi"

failed=0
fail() {
    echo "FAILED: $*" >&2
    failed=1
}

echo
echo "The zip holds"
listed=$(cmake -E tar tf "$zip" | sort)
echo "$listed"
want=$(printf '%s\n' "$name/" "$name/LICENSE.txt" "$name/README.txt" "$name/Vantrel ver. 2.exe" | sort)
[ "$listed" = "$want" ] || fail "the zip does not hold exactly the program, LICENSE.txt and README.txt"

# One table of the installer as tab-separated rows, without the three header lines.
table() {
    msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'
}
property() {
    table Property | awk -F '\t' -v key="$1" '$1 == key { print $2 }'
}

echo
echo "The installer's tables: $(msiinfo tables "$msi" | tr '\n' ' ')"
version_rc=win32/version.rc
for check in "ProductName:Vantrel ver. 2" \
             "ProductVersion:$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" \
             "Manufacturer:$(sed -n 's/^set(VANTREL_PUBLISHER "\(.*\)")/\1/p' CMakeLists.txt)" \
             "UpgradeCode:{2A8224C9-5986-42D9-A9AD-9BBCB8BAB923}" \
             "ARPPRODUCTICON:vantrel.ico" \
             "ARPNOMODIFY:1"; do
    key=${check%%:*}
    value=$(property "$key")
    echo "$key: $value"
    [ "$value" = "${check#*:}" ] || fail "$key is '$value', not '${check#*:}'"
done
grep -q '"CompanyName", VANTREL_PUBLISHER' "$version_rc" ||
    fail "the version block's CompanyName is not the publisher the installer names"
files=$(table File | cut -f 3 | sed 's/^[^|]*|//' | sort | tr '\n' ';')
echo "Files: $files"
[ "$files" = "LICENSE.txt;README.txt;Vantrel ver. 2.exe;" ] || fail "the installer's files are $files"
shortcut=$(table Shortcut)
echo "Shortcut: $shortcut"
awk -F '\t' '$2 == "ProgramMenuFolder" && $3 ~ /Vantrel ver. 2/ && $5 == "[INSTALLDIR]Vantrel ver. 2.exe" && $9 == "vantrel.ico" { found = 1 } END { exit !found }' \
    <<<"$shortcut" || fail "no Start-menu shortcut to the program with its icon"
table Upgrade | grep -q '{2A8224C9-5986-42D9-A9AD-9BBCB8BAB923}' ||
    fail "no upgrade row: a later version would not replace this one"
# The row that finds installed versions up to this one, this one included (attribute 0x200).
table Upgrade | awk -F '\t' -v version="$(property ProductVersion)" \
    '$3 == version && int($5 / 512) % 2 == 1 { found = 1 } END { exit !found }' ||
    fail "a rebuilt installer of the same version would install beside this one"
# ICE38 and ICE43: the shortcut's component is keyed by a value under HKCU (root 1).
keyPath=$(table Component | awk -F '\t' '$1 == "StartMenu" { print $6 }')
table Registry | awk -F '\t' -v key="$keyPath" '$1 == key && $2 == 1 { found = 1 } END { exit !found }' ||
    fail "the shortcut's component is not keyed by a value under HKCU"

echo
if [ -n "$certificate" ]; then
    # Read back against the certificate itself: a self-signed one is its own root.
    openssl pkcs12 -in "$certificate" -nokeys -out "$work/chain.pem" \
        -passin "pass:${VANTREL_SIGN_PASSWORD:-}" 2>/dev/null ||
        fail "the certificate's chain could not be read"
    for signed_file in "$work/$name/Vantrel ver. 2.exe" "$msi"; do
        if osslsigncode verify -CAfile "$work/chain.pem" -ignore-crl -in "$signed_file" >"$work/verify.log" 2>&1; then
            echo "Signed: $(basename "$signed_file"), $(grep -m 1 'Subject:' "$work/verify.log" | sed 's/^[[:space:]]*//')"
        else
            cat "$work/verify.log" >&2
            fail "the signature of $(basename "$signed_file") does not verify"
        fi
    done
else
    echo "Not signed: Windows will name no publisher (see README, Signing)."
fi

echo
echo "Under Wine: install, start through the shortcut, uninstall"
xvfb-run -a -s '-screen 0 1024x768x24' tests/packaging/msi_install.sh "$msi" ||
    fail "the installer under Wine"

echo
if [ "$failed" -ne 0 ]; then
    echo "The Windows zip and installer do not pass their checks." >&2
    exit 1
fi
echo "The Windows zip and installer hold what they should."

#!/usr/bin/env bash
# Builds the Debian package from the hardened release build and checks it as a packager would:
# lintian --pedantic, desktop-file-validate and appstreamcli validate --pedantic on what the
# package installs. Leaves the package in build/release/ and, beside it, the screenshot that the
# AppStream metadata shows, as the screenshot test draws it.
# With `windows`: makes the zip and the installer (MSI, with wixl) of the Windows program from
# the cross-build instead, checks what they hold, and leaves them in build/windows/; with
# `--sign CERT.pfx` the program and the installer are signed with that certificate.
# Usage: scripts/package.sh [windows [--sign CERT.pfx]]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = windows ]; then
    exec scripts/package_windows.sh "${@:2}"
fi

scripts/setup.sh package
cmake --preset release -DCMAKE_COMPILE_WARNING_AS_ERROR="${VANTREL_WARNINGS_AS_ERRORS:-OFF}"
cmake --build --preset release -j "$(nproc)"
rm -f build/release/vantrel_*.deb
cpack --preset release
debs=(build/release/vantrel_*.deb)
deb=${debs[0]}
echo "Package: $deb"

# From the root folder, so that the folder list shows no path of this machine.
screenshot_test=$PWD/build/release/tests/qt/screenshot_test
(cd / && QT_QPA_PLATFORM=offscreen "$screenshot_test" >/dev/null)
mkdir -p build/release/screenshots
cp build/release/tests/qt/vantrel_window.png build/release/screenshots/

failed=0
fail() {
    echo "FAILED: $*" >&2
    failed=1
}

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for needed in fonts-wine xdg-utils; do
    grep -Eq "(^|, )$needed(,|$| )" <<<"$depends" || fail "the package does not depend on $needed"
done

echo
echo "lintian --pedantic $deb"
report=$(lintian --pedantic --fail-on none "$deb")
[ -n "$report" ] && echo "$report"
# The maintainer's address is a stand-in until the project has a real one (packaging/).
allowed='^$'
if dpkg-deb --field "$deb" Maintainer | grep -q '@localhost>$'; then
    allowed=' bogus-mail-host(-in-debian-changelog)? '
    echo "(bogus-mail-host is expected: the package has no real maintainer address yet)"
fi
if grep -E '^[EW]: ' <<<"$report" | grep -Ev "$allowed" >/dev/null; then
    fail "lintian reports errors or warnings"
fi

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb --extract "$deb" "$contents"

echo
echo "desktop-file-validate"
for desktop in "$contents"/usr/share/applications/*.desktop; do
    echo "${desktop#"$contents"}"
    verdict=$(desktop-file-validate "$desktop") || fail "desktop-file-validate ${desktop#"$contents"}"
    [ -n "$verdict" ] && echo "$verdict"
    grep -Eq '(error|warning): ' <<<"$verdict" && fail "desktop-file-validate ${desktop#"$contents"}"
done

# --no-net: the screenshot is published with the package, and this machine may be offline.
echo
echo "appstreamcli validate --pedantic --no-net"
for metainfo in "$contents"/usr/share/metainfo/*.metainfo.xml; do
    echo "${metainfo#"$contents"}"
    appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli ${metainfo#"$contents"}"
done

echo
if [ "$failed" -ne 0 ]; then
    echo "The package $deb does not pass its checks." >&2
    exit 1
fi
echo "The package $deb passes lintian, desktop-file-validate and appstreamcli."

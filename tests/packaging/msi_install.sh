#!/bin/sh
# Installs the Windows installer with Wine's msiexec in a fresh prefix, starts the program
# through its Start-menu shortcut and closes it; installs a rebuilt installer of the same
# version (another product and package code) over it, which must replace it: one product
# installed; then uninstalls it: every file and registry entry the installs made must be gone. Needs a display (xvfb-run) and xdotool. With a second
# argument, leaves a screenshot of the started program there.
# Usage: msi_install.sh installer.msi [screenshot.png]
set -eu
msi=$(realpath "$1")
shot=${2:+$(realpath -m "$2")}
here=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG=-all
# The shortcut stays in the prefix: no menu entry on this machine's own desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

cmake -DWINE="$(command -v wine)" -P "$here/cmake/WinePrefix.cmake"
files() { (cd "$WINEPREFIX/drive_c" && find . ! -type d | sort); }
mentions() { grep -il 'vantrel' "$WINEPREFIX"/*.reg || true; }
files >"$scratch/before"

wine msiexec /i "$(winepath -w "$msi")" /qn || fail "msiexec /i: $?"
wineserver -w
program="$WINEPREFIX/drive_c/Program Files/Vantrel/Vantrel ver. 2.exe"
[ -f "$program" ] || fail "the program is not in Program Files"
shortcut=$(find "$WINEPREFIX/drive_c" -name 'Vantrel ver. 2.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut"
echo "installed: ${shortcut#"$WINEPREFIX/"}"
[ -n "$(mentions)" ] || fail "the install made no registry entry (uninstall entry, shortcut's key)"

wine start /unix "$shortcut"
window=
for _ in $(seq 120); do
    window=$(xdotool search --name '^Vantrel ver\. 2$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "the shortcut did not start the program"
echo "the shortcut started the program: window $window"
if [ -n "$shot" ]; then
    sleep 2
    import -window root "$shot"
fi
# Asked to close, as the window's close box does.
wine taskkill /im "Vantrel ver. 2.exe" >/dev/null 2>&1 || fail "the program did not take the close request"
wineserver -w

# The same installer built again: the same version and upgrade code, a new product and package.
rebuilt="$scratch/rebuilt.msi"
cp "$msi" "$rebuilt"
code() { tr 'a-f' 'A-F' </proc/sys/kernel/random/uuid; }
msibuild "$rebuilt" -q "UPDATE Property SET Value = '{$(code)}' WHERE Property = 'ProductCode'"
msibuild "$rebuilt" -s "$(msiinfo suminfo "$msi" | sed -n 's/^Subject: //p')" \
    "$(msiinfo suminfo "$msi" | sed -n 's/^Author: //p')" \
    "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" "{$(code)}"
wine msiexec /i "$(winepath -w "$rebuilt")" /qn || fail "msiexec /i of the rebuilt installer: $?"
wineserver -w
# The products in Apps: the uninstall entries that bear the program's name.
products=$(awk '/^\[/ { entry = ($0 ~ /CurrentVersion\\\\Uninstall\\\\/) }
                entry && /^"DisplayName"="Vantrel ver\. 2"/ { n++ } END { print n + 0 }' \
    "$WINEPREFIX/system.reg")
echo "installed again from a rebuilt installer: $products product(s) named Vantrel ver. 2"
[ "$products" -eq 1 ] || fail "the rebuilt installer installed beside the first: $products products"
[ -f "$program" ] || fail "the program is gone after the rebuilt installer"

wine msiexec /x "$(winepath -w "$rebuilt")" /qn || fail "msiexec /x: $?"
wineserver -w
files >"$scratch/after"
left=$(comm -13 "$scratch/before" "$scratch/after")
[ -z "$left" ] || fail "files left after the uninstall: $left"
[ -z "$(mentions)" ] || fail "registry entries left after the uninstall in $(mentions)"
echo "installed, started through its shortcut and uninstalled without a trace"

#!/bin/sh
# Maps drive X: of the Wine prefix ($WINEPREFIX, else ~/.wine) to a 512 KiB tmpfs for the
# disk-full tests of platform_tests under Wine (small_disk.h), and takes it away again. Only
# root may mount: for anyone else, and wherever the mount is refused, X: is a plain folder that
# holds why-not.txt, which the tests give as the reason they skip. Another drive, name and
# tmpfs options map another small disk, as the read-only R: of win32_window_tests.
# Usage: small_disk.sh mount|unmount [letter name options]
set -eu
prefix=${WINEPREFIX:-$HOME/.wine}
letter=${2:-x}
drive=$prefix/dosdevices/$letter:
disk=$prefix/${3:-vantrel-small-disk}
options=${4:-size=512k,mode=0777}

unmount() {
    if mountpoint -q "$disk" 2>/dev/null; then
        # Lazily, should a Wine process still hold a file there.
        umount -l "$disk"
    fi
    if [ -d "$disk" ] && ! mountpoint -q "$disk" 2>/dev/null; then
        rm -rf "$disk"
    fi
    if [ -L "$drive" ] && [ "$(readlink "$drive")" = "$disk" ]; then
        rm -f "$drive"
    fi
}

case ${1:-} in
mount)
    unmount
    if [ -e "$drive" ] || [ -L "$drive" ]; then
        echo "drive $letter: of $prefix is something else: its tests will skip" >&2
        exit 0
    fi
    mkdir -p "$disk"
    ln -s "$disk" "$drive"
    if [ "$(id -u)" -ne 0 ]; then
        echo "only root may mount the small tmpfs of drive $(echo "$letter" | tr a-z A-Z):" >"$disk/why-not.txt"
    elif ! why=$(mount -t tmpfs -o "$options" "${3:-vantrel-small-disk}" "$disk" 2>&1); then
        echo "mount -t tmpfs: $why" >"$disk/why-not.txt"
    fi
    if [ -e "$disk/why-not.txt" ]; then
        cat "$disk/why-not.txt"
    else
        echo "drive $letter: is a tmpfs ($options) at $disk"
    fi
    ;;
unmount)
    unmount
    ;;
*)
    echo "usage: $0 mount|unmount" >&2
    exit 2
    ;;
esac

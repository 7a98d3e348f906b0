#!/bin/sh
# Maps drive R: of the Wine prefix ($WINEPREFIX, else ~/.wine) to a read-only tmpfs, as the root
# of C: is to a standard user on Windows 10 and 11, for the log's test in win32_window_tests;
# and takes it away again. Only root may mount: for anyone else, and wherever the mount is
# refused, R: is a plain folder that holds why-not.txt, which the test gives as why it skips.
# Usage: read_only_drive.sh mount|unmount
set -eu
prefix=${WINEPREFIX:-$HOME/.wine}
drive=$prefix/dosdevices/r:
place=$prefix/vantrel-read-only

unmount() {
    if mountpoint -q "$place" 2>/dev/null; then
        umount -l "$place"
    fi
    if [ -d "$place" ] && ! mountpoint -q "$place" 2>/dev/null; then
        rm -rf "$place"
    fi
    if [ -L "$drive" ] && [ "$(readlink "$drive")" = "$place" ]; then
        rm -f "$drive"
    fi
}

case ${1:-} in
mount)
    unmount
    if [ -e "$drive" ] || [ -L "$drive" ]; then
        echo "drive r: of $prefix is something else: the read-only log test will skip" >&2
        exit 0
    fi
    mkdir -p "$place"
    ln -s "$place" "$drive"
    if [ "$(id -u)" -ne 0 ]; then
        echo "only root may mount the read-only tmpfs of drive R:" >"$place/why-not.txt"
    elif ! why=$(mount -t tmpfs -o size=64k,mode=0755,ro vantrel-read-only "$place" 2>&1); then
        echo "mount -t tmpfs: $why" >"$place/why-not.txt"
    fi
    [ -e "$place/why-not.txt" ] && cat "$place/why-not.txt" || echo "drive r: is read-only"
    ;;
unmount)
    unmount
    ;;
*)
    echo "usage: $0 mount|unmount" >&2
    exit 2
    ;;
esac

#!/bin/sh
# Files into the list without a drag, driven with real keys on a virtual screen (Xvfb, openbox)
# as a keyboard user would: files pasted from the X clipboard, or chosen in the file dialog
# (a typed folder, Return, typed names, Return), then a count, a destination, Replicate and Log
# File, all from the keyboard. The copies and the log show which rows came in, in which order.
# One table for both programs: the Qt program, and the Windows program under Wine (WINEPREFIX
# set), which hands the X clipboard's text/uri-list to the program as CF_HDROP.
# Usage: keyboard_only.sh qt|windows PROGRAM
# The virtual screen is the first free one from :99, or from :$XVFB_SERVER_NUM.
set -eu
kind=$1
program=$2

if [ "${3:-}" != on-screen ]; then
    for tool in xvfb-run openbox xdotool xclip; do
        if ! command -v "$tool" >/dev/null; then
            # The line scripts/list_skips.sh lists.
            echo "SKIP   : keyboard_only($kind) needs $tool"
            exit 0
        fi
    done
    exec xvfb-run -a -n "${XVFB_SERVER_NUM:-99}" -s '-screen 0 1280x1024x24' sh "$0" "$kind" "$program" on-screen
fi

case_name=setup
scratch=$(mktemp -d)
openbox >/dev/null 2>&1 &
window_manager=$!
# A program left open goes with its screen.
cleanup() {
    kill "$window_manager" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $case_name: $*" >&2
    exit 1
}

mkdir -p "$scratch/src" "$scratch/out" "$scratch/bin" "$scratch/state"
echo a >"$scratch/src/a b.txt"
echo c >"$scratch/src/c.txt"
if [ "$kind" = windows ]; then
    export WINEDEBUG=-all
    native() { winepath -w "$1" 2>/dev/null; }
    log="$WINEPREFIX/drive_c/Log.txt"
else
    # Log File's viewer, which only notes what it was asked to open.
    printf '#!/bin/sh\necho "$@" >>"%s/opened"\n' "$scratch" >"$scratch/bin/xdg-open"
    chmod +x "$scratch/bin/xdg-open"
    native() { printf '%s\n' "$1"; }
    log="$scratch/state/vantrel/Log.txt"
fi
# A window mapped before the window manager is up would never be shown.
for _ in $(seq 40); do
    [ -n "$(xdotool search --classname '^openbox$' 2>/dev/null)" ] && break
    sleep 0.25
done
src=$(native "$scratch/src")
out=$(native "$scratch/out")

windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# Looks every half second, up to the given number of times, until a window of that name is
# shown (-n) or none is (-z).
poll_windows() {
    for _ in $(seq "$1"); do
        [ "$2" "$(windows_named "$3")" ] && return 0
        sleep 0.5
    done
    return 1
}
wait_for() { poll_windows 60 -n "$1"; }
gone() { poll_windows 40 -z "$1"; }
keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
}
typed() {
    xdotool type --delay 40 "$1"
    sleep 0.3
}
# xclip stays to serve what it holds until another takes the clipboard.
clip() {
    xclip -selection clipboard "$@" >/dev/null 2>&1
}
uris() {
    for file in "$@"; do
        printf 'file://%s\r\n' "$(printf '%s' "$scratch/src/$file" | sed 's/ /%20/g')"
    done
}

start() {
    destination=typed
    rm -f "$log" "$scratch/opened" "$scratch"/out/*
    if [ "$kind" = windows ]; then
        wine "$program" >/dev/null 2>&1 &
    else
        PATH="$scratch/bin:$PATH" XDG_STATE_HOME="$scratch/state" "$program" >/dev/null 2>&1 &
    fi
    wait_for '^Vantrel ver\. 2$' || fail "the window did not open"
    sleep 2
}

# From the drop area: the last row's count made 3, the destination typed, Replicate, Log File.
# The last tab stop is the last row's count box, one stop before Drive1, the first.
replicate_and_open_log() {
    keys shift+Tab shift+Tab shift+Tab shift+Tab End BackSpace 3
    keys Tab Tab Tab
    [ "$destination" = typed ] && typed "$out"
    keys Tab Tab Tab space
    sleep 3
    notepads=$(xdotool search --name 'Notepad' 2>/dev/null | wc -l)
    keys Tab Tab space
    if [ "$kind" = windows ]; then
        # Notepad opens minimised, and slowly the first time.
        for _ in $(seq 240); do
            [ "$(xdotool search --name 'Notepad' 2>/dev/null | wc -l)" -gt "$notepads" ] && return 0
            sleep 0.5
        done
        fail "Log File opened no Notepad"
    fi
    sleep 1
    grep -qx "$log" "$scratch/opened" 2>/dev/null || fail "Log File did not open $log"
}

# Files chosen in the dialog, once it is up: the folder typed, then the names, quoted, as
# Wine leaves the folder typed in the box.
choose() {
    wait_for '^Choose files to copy$' || fail "no file dialog"
    typed "$src"
    keys Return
    typed "$1"
    keys Return
    gone '^Choose files to copy$' || fail "the file dialog stayed open"
}

stop() {
    keys alt+F4
    gone '^Vantrel ver\. 2$' || fail "the window did not close"
}

# Each case starts with the focus on Drive1 and ends on the drop area, with the rows it expects
# in the log: the last row's count is 3.
case_paste_ctrl_v() {
    uris "a b.txt" c.txt | clip -t text/uri-list
    keys ctrl+v Tab Tab Tab
    expected='a b(1).txt c(1).txt c(2).txt c(3).txt'
}
case_paste_shift_insert_on_a_button() {
    uris c.txt "a b.txt" | clip -t text/uri-list
    keys Tab Tab Tab Tab shift+Insert shift+Tab
    expected='c(1).txt a b(1).txt a b(2).txt a b(3).txt'
}
case_paste_gnome_copied_files() {
    { printf 'copy\n'; uris c.txt | tr -d '\r'; } |
        clip -t x-special/gnome-copied-files
    keys Tab Tab Tab ctrl+v
    expected='c(1).txt c(2).txt c(3).txt'
}
case_text_box_pastes_text() {
    printf '%s' "$out" | clip
    keys Tab Tab ctrl+v Tab Return
    choose '"c.txt"'
    destination=pasted
    expected='c(1).txt c(2).txt c(3).txt'
}
# Text on the clipboard names no file: the message, and no row; nor from a cancelled dialog.
case_no_file_then_a_paste() {
    printf 'just text' | clip
    keys ctrl+v
    # The message box bears the window's title.
    for _ in $(seq 20); do
        [ "$(windows_named '^Vantrel ver\. 2$' | wc -l)" -eq 2 ] && break
        sleep 0.5
    done
    [ "$(windows_named '^Vantrel ver\. 2$' | wc -l)" -eq 2 ] || fail "no message box"
    keys Return Tab Tab Tab Return
    wait_for '^Choose files to copy$' || fail "no file dialog"
    keys Escape
    uris c.txt | clip -t text/uri-list
    keys ctrl+v
    expected='c(1).txt c(2).txt c(3).txt'
}
# Qt's own dialog hands typed names back in its list's order or in the order typed, as its
# completion has selected them by then: they are typed in the list's order.
case_dialog_enter() {
    keys Tab Tab Tab Return
    choose '"a b.txt" "c.txt"'
    expected='a b(1).txt c(1).txt c(2).txt c(3).txt'
}
case_dialog_space_opens_where_the_last_closed() {
    keys Tab Tab Tab space
    choose '"a b.txt"'
    keys space
    wait_for '^Choose files to copy$' || fail "no file dialog"
    typed c.txt
    keys Return
    expected='a b(1).txt c(1).txt c(2).txt c(3).txt'
}

cases="paste_ctrl_v paste_shift_insert_on_a_button dialog_enter
dialog_space_opens_where_the_last_closed text_box_pastes_text no_file_then_a_paste"
# Wine reads no GNOME list of copied files from the X clipboard.
[ "$kind" = qt ] && cases="$cases paste_gnome_copied_files"

for case_name in $cases; do
    start
    "case_$case_name"
    replicate_and_open_log
    got=$(tr -d '\r' <"$log" 2>/dev/null | paste -sd ' ' -)
    [ "$got" = "$expected" ] || fail "the log holds '$got', not '$expected'"
    tr -d '\r' <"$log" | while IFS= read -r name; do
        [ -f "$scratch/out/$name" ] || fail "no copy $name"
    done
    stop
    echo "passed: $case_name"
done

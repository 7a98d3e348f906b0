#!/bin/sh
# Runs a test program on a virtual X screen of its own with openbox managing its windows, so
# that window-manager requests reach the program as they do on a desktop. Skips (exit 77) where
# Xvfb or openbox is missing.
if ! command -v xvfb-run >/dev/null || ! command -v openbox >/dev/null; then
    # In the form scripts/list_skips.sh lists.
    echo "SKIP   : ${1##*/} needs xvfb-run and openbox"
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    # The window manager owns the screen once it has set its supporting window.
    for i in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    "$@"
    status=$?
    kill $wm
    exit $status
' with_window_manager "$@"

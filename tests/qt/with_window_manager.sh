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
    # On a loaded machine the new screen may not take openbox at its first try: start it again
    # until it owns the screen, which it does once it has set its supporting window.
    wm=
    for i in $(seq 200); do
        if [ -z "$wm" ] || ! kill -0 "$wm" 2>/dev/null; then
            openbox >/dev/null 2>&1 &
            wm=$!
        fi
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
    done
    "$@"
    status=$?
    kill $wm
    exit $status
' with_window_manager "$@"

#!/usr/bin/env bash
# Lists every test that skipped itself, with its reason, from a CTest log
# (Testing/Temporary/LastTest.log). CTest counts a skipped Qt Test function as passed, and shows
# a skipped GoogleTest case without its reason; where a whole GoogleTest program is one test (the
# windows preset) it shows no skipped case at all.
# Usage: scripts/list_skips.sh LOG
set -euo pipefail

awk '
    # Programs cross-built for Windows end their lines with CR LF.
    { sub(/\r$/, "") }
    # GoogleTest: "FILE:LINE: Skipped", the reason on the next line, then "[  SKIPPED ] NAME (N ms)".
    /: Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)$/ {
        print "SKIPPED " $4 ": " (reason == "" ? "no reason given" : reason)
        reason = ""
        next
    }
    # Qt Test: "SKIP   : Class::function(row) reason".
    /^SKIP   : / { sub(/^SKIP   : /, ""); print "SKIPPED " $0 }
' "$1"

#!/usr/bin/env bash
# Lists every test that skipped itself, with its reason, from a CTest log
# (Testing/Temporary/LastTest.log). CTest counts a skipped Qt Test function as passed, and shows
# a skipped GoogleTest case without its reason.
# Usage: scripts/list_skips.sh LOG
set -euo pipefail

awk '
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

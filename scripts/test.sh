#!/usr/bin/env bash
# Sets up, builds and runs every test, then lists the tests that skipped themselves and why.
# Usage: scripts/test.sh [preset]  (default, asan, core, windows)
# windows: cross-builds the Windows program and its tests with MinGW-w64 and runs the tests under
# Wine, in the prefix build/windows/wineprefix, which the first run makes.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

if [ "$preset" = windows ]; then
    scripts/setup.sh windows
else
    scripts/setup.sh
fi
# CI sets VANTREL_WARNINGS_AS_ERRORS=ON; a developer's own build goes on past a warning.
cmake --preset "$preset" -DCMAKE_COMPILE_WARNING_AS_ERROR="${VANTREL_WARNINGS_AS_ERRORS:-OFF}"
cmake --build --preset "$preset" -j "$(nproc)"
status=0
if [ "$preset" = windows ]; then
    # The Win32 window's tests need a display: a virtual one, whether or not there is another.
    xvfb-run -a -s '-screen 0 1024x768x24' ctest --preset "$preset" -j "$(nproc)" || status=$?
else
    ctest --preset "$preset" -j "$(nproc)" || status=$?
fi

skips=$(scripts/list_skips.sh "build/$preset/Testing/Temporary/LastTest.log")
if [ -n "$skips" ]; then
    echo
    echo "Skipped, $(wc -l <<<"$skips") in all:"
    echo "$skips"
fi
exit "$status"

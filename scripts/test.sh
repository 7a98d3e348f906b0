#!/usr/bin/env bash
# Sets up, builds and runs every test, then lists the tests that skipped themselves and why.
# Usage: scripts/test.sh [preset]  (default, asan, core)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

scripts/setup.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
status=0
ctest --preset "$preset" -j "$(nproc)" || status=$?

skips=$(scripts/list_skips.sh "build/$preset/Testing/Temporary/LastTest.log")
if [ -n "$skips" ]; then
    echo
    echo "Skipped, $(wc -l <<<"$skips") in all:"
    echo "$skips"
fi
exit "$status"

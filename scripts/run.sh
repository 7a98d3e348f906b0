#!/usr/bin/env bash
# Sets up, builds and opens the window.
# Usage: scripts/run.sh [windows]  (windows: the Windows program, cross-built, under Wine)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = windows ]; then
    scripts/setup.sh windows
    cmake --preset windows
    cmake --build --preset windows -j "$(nproc)" --target vantrel_win32_program
    export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG="${WINEDEBUG:--all}"
    # Made once, within time limits, as the tests make it.
    cmake -DWINE=wine -P cmake/WinePrefix.cmake
    program=(wine "build/windows/win32/Vantrel ver. 2.exe")
else
    scripts/setup.sh
    cmake --preset default
    cmake --build --preset default -j "$(nproc)" --target vantrel
    program=(build/default/qt/vantrel)
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: the window opens on a virtual screen (Xvfb) that nobody sees." >&2
    echo "Run this from a desktop session to see it." >&2
    exec xvfb-run -a -s '-screen 0 1024x768x24' "${program[@]}"
fi
exec "${program[@]}"

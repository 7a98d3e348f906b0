#!/usr/bin/env bash
# Sets up, builds and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset default
cmake --build --preset default -j "$(nproc)" --target vantrel
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: the window opens on a virtual screen (Xvfb) that nobody sees." >&2
    echo "Run this from a desktop session to see it." >&2
    exec xvfb-run -a -s '-screen 0 1024x768x24' build/default/qt/vantrel
fi
exec build/default/qt/vantrel

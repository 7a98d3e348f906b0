#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: scripts/test.sh [preset]  (default, asan, core)
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

scripts/setup.sh
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset" -j "$(nproc)"

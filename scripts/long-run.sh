#!/usr/bin/env bash
# The long session: SECONDS of 48 kHz audio (default 3600, one hour) with
# automation of every parameter through the built-in strip and both modules,
# in the release build; the suite runs the same test over 75 s.
# Usage: scripts/long-run.sh [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target long_run_tests
TOLVEN_LONG_RUN_SECONDS=${1:-3600} build/linux-release/long_run_tests

#!/usr/bin/env bash
# Set-up and main job for a new user: installs the dependencies, builds the
# Linux release (plug-in modules and tools) and renders the demo through the
# channel strip.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release
scripts/demo.sh

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
echo
echo "To use it in your DAW: scripts/install-plugins.sh"
echo "  (puts TOLVEN.vst3 into ~/.vst3 and TOLVEN.so into ~/.lxvst; --system for"
echo "  everyone, --uninstall to take it away), then let the host rescan its plug-ins."
echo "User's guide: docs/USER-GUIDE.md"

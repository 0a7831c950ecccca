#!/usr/bin/env bash
# docs/editor-linux.png: the VST2 module's editor embedded in an X11 host
# window, under a virtual X server. Usage: scripts/editor-screenshot-linux.sh [OUT.png]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
out=${1:-docs/editor-linux.png}
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target tolven_vst2 tolven-x11-screenshot
xvfb-run -a -s "-screen 0 640x800x24" \
  build/linux-release/tolven-x11-screenshot build/linux-release/TOLVEN.so "$out"

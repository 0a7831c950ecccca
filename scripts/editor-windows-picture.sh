#!/usr/bin/env bash
# Remakes docs/editor-windows.png: the Windows VST2 module's editor open in a
# host window under Wine, on a virtual display. Usage:
#   scripts/editor-windows-picture.sh [OUT.png]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
out=$(realpath -m "${1:-docs/editor-windows.png}")
scripts/install-deps.sh
scripts/build-windows-deps.sh
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release --target tolven-editor-picture
timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  scripts/wine-prefix.sh start
  cd build/windows-release
  # Wine shows the whole file system as drive Z:.
  ../../scripts/wine-run.sh ./tolven-editor-picture.exe "Z:$1"
  rc=$?
  cd ../..
  scripts/wine-prefix.sh stop
  exit $rc' picture "$out"

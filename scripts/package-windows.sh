#!/usr/bin/env bash
# Makes the Windows release package build/TOLVEN-<version>-windows-x86_64.zip:
# the VST3 bundle, the VST2 module, the renderer, a README and the licences.
# Builds the windows-release preset first. Usage: scripts/package-windows.sh
# [--from BUILD-DIR] [--out DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/package-common.sh"
options=("$@")
make_package windows-release windows-x86_64 zip packaging/README-windows.txt \
  x86_64-w64-mingw32-strip \
  TOLVEN.vst3:tolven_vst3 TOLVEN.dll:tolven_vst2 tolven-render.exe:tolven-render

#!/usr/bin/env bash
# Makes the Linux release package build/TOLVEN-<version>-linux-x86_64.tar.gz:
# the VST3 bundle, the VST2 module, the LV2 bundle, the tools, the install script, a README
# and the licences. Builds the linux-release preset first.
# Usage: scripts/package-linux.sh [--from BUILD-DIR] [--out DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/package-common.sh"
options=("$@")
make_package linux-release linux-x86_64 tar.gz packaging/README-linux.txt strip \
  TOLVEN.vst3:tolven_vst3 TOLVEN.so:tolven_vst2 TOLVEN.lv2:tolven_lv2_bundle \
  tolven-render:tolven-render \
  tolven-snapshot:tolven-snapshot -- scripts/install-plugins.sh

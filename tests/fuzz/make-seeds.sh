#!/usr/bin/env bash
# Seed corpora for the fuzz targets: chunks, states and host calls written by
# the real modules (through fuzz_seeds), and the project's own pictures.
# Usage: make-seeds.sh FUZZ_SEEDS_PROGRAM OUTPUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
program=$1
out=$2
rm -rf "$out"
mkdir -p "$out/png_fuzzer"
"$program" "$out"
cp "$here"/plugin/resources/img/*.png "$here"/docs/*.png "$out/png_fuzzer/"

#!/usr/bin/env bash
# A long fuzz campaign: builds the fuzz targets (linux-fuzz preset), writes
# fresh seeds and runs every target for SECONDS (default 600) with a random
# seed, keeping the corpus it grows and every crashing input under
# build/linux-fuzz/fuzz/TARGET/{corpus,crashes}. Exits non-zero if any
# target crashed.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
seconds=${1:-600}
build=build/linux-fuzz

scripts/install-deps.sh
cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz
bash tests/fuzz/make-seeds.sh "$build/fuzz_seeds" "$build/fuzz/seeds"

failed=()
for target in vst2_chunk_fuzzer vst2_dispatcher_fuzzer vst3_state_fuzzer png_fuzzer; do
  echo "== $target: $seconds s"
  bash tests/fuzz/run-fuzzer.sh "$build/$target" "$build/fuzz/seeds/$target" \
    "$build/fuzz/$target" "$seconds" 0 || failed+=("$target")
done
[ "${#failed[@]}" -eq 0 ] || { echo "crashes in: ${failed[*]}"; exit 1; }

#!/usr/bin/env bash
# Instructions per stereo frame of the channel strip's ProcessBlock (48 kHz,
# blocks of 512), counted with callgrind: two runs of different lengths, so
# start-up and the preparation of each scenario cancel out. Repeatable, unlike
# wall-clock timing.
#   bench/callgrind.sh [BUILD_DIR] [SCENARIO...]
#   (default build/linux-release; scenarios settled and moving; others:
#   subnormal, silence, quiet; STAGE_PATH=sse2 in the environment counts the
#   SSE2 stage on a CPU that has AVX)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/linux-release}
shift || true
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=(settled moving)
tool=$build/tolven_frame_count
if [ ! -x "$tool" ]; then
  echo "callgrind.sh: $tool not found; build the target tolven_frame_count first" >&2
  exit 1
fi
command -v valgrind >/dev/null || { echo "callgrind.sh: valgrind is not installed" >&2; exit 1; }

count() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$tool" "$1" "$2" ${STAGE_PATH:-} 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}

short=51200
long=153600
for scenario in "${scenarios[@]}"; do
  a=$(count $short "$scenario")
  b=$(count $long "$scenario")
  if [ -z "$a" ] || [ -z "$b" ]; then
    echo "callgrind.sh: could not read callgrind's totals for $scenario" >&2
    exit 1
  fi
  echo "$scenario: instructions per stereo frame: $(( (b - a) / (long - short) ))"
done

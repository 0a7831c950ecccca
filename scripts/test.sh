#!/usr/bin/env bash
# The whole test suite: installs what it needs, then builds and tests the
# Linux release build, the sanitizer build, the Windows build under Wine, the
# ThreadSanitizer concurrency tests and a short run of each fuzz target.
# Usage: scripts/test.sh [preset...]   (default: all five)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(linux-release linux-asan windows-release linux-tsan linux-fuzz)

scripts/install-deps.sh

summary=()
for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  [ "$preset" = windows-release ] && scripts/build-windows-deps.sh
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  if [ "$preset" = windows-release ]; then
    scripts/wine-prefix.sh start
    trap 'scripts/wine-prefix.sh stop' EXIT
    ctest --preset "$preset"
    scripts/wine-prefix.sh stop
    trap - EXIT
  else
    ctest --preset "$preset"
  fi
  summary+=("$preset: passed")
done
printf '%s\n' "${summary[@]}"

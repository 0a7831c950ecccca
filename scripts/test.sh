#!/usr/bin/env bash
# The whole test suite: installs what it needs, then builds and tests the
# Linux release build, the sanitizer build and the Windows build under Wine.
# Usage: scripts/test.sh [preset...]   (default: all three)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

presets=("$@")
[ "${#presets[@]}" -gt 0 ] || presets=(linux-release linux-asan windows-release)

scripts/install-deps.sh

summary=()
for preset in "${presets[@]}"; do
  echo "== $preset: configure and build"
  [ "$preset" = windows-release ] && scripts/build-windows-deps.sh
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: test"
  if [ "$preset" = windows-release ]; then
    # The editor-window tests open real windows: everything runs on a 24-bit
    # Xvfb display, with the Wine server started and stopped inside that same
    # session (a server that outlives its display hangs the next run).
    timeout 3000 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
      scripts/wine-prefix.sh start
      ctest --preset windows-release
      rc=$?
      scripts/wine-prefix.sh stop
      exit $rc'
  else
    ctest --preset "$preset"
  fi
  summary+=("$preset: passed")
done
printf '%s\n' "${summary[@]}"

#!/usr/bin/env bash
# Checks that a VST3 module exports exactly its entry points, undecorated.
# Usage: check-vst3-exports.sh linux|windows MODULE [OBJDUMP]
set -euo pipefail
platform=$1
module=$2
case "$platform" in
  linux)
    expected=$'GetPluginFactory\nModuleEntry\nModuleExit'
    actual=$(nm -D --defined-only "$module" | awk '{print $3}' | sort)
    ;;
  windows)
    objdump=${3:-x86_64-w64-mingw32-objdump}
    expected=$'ExitDll\nGetPluginFactory\nInitDll'
    # The export table lists "[Ordinal] Name" rows after its name-pointer header.
    actual=$("$objdump" -p "$module" |
      awk '/\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^\t\[/ {print $NF} on && /^$/ {on=0}' |
      sort)
    ;;
  *)
    echo "unknown platform $platform" >&2
    exit 2
    ;;
esac
if [ "$actual" != "$expected" ]; then
  echo "exports of $module:" >&2
  echo "$actual" >&2
  echo "expected:" >&2
  echo "$expected" >&2
  exit 1
fi
echo "exports of $module: $(echo $actual)"

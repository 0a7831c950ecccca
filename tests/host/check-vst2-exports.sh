#!/usr/bin/env bash
# Checks that a VST2 module exports exactly VSTPluginMain and main, with
# undecorated names. Usage: check-vst2-exports.sh MODULE (a .so is read with
# nm -D, a .dll with the MinGW objdump).
set -euo pipefail
module=$1
[ -f "$module" ] || { echo "no module at $module"; exit 1; }
case "$module" in
  *.dll)
    # The export name table lists one "[ordinal] name" line per export.
    exports=$(x86_64-w64-mingw32-objdump -p "$module" |
      sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
    ;;
  *)
    exports=$(nm -D --defined-only "$module" | awk '{print $NF}' | sort)
    ;;
esac
expected=$(printf '%s\n' VSTPluginMain main | sort)
echo "exports of $module:"
echo "$exports"
if [ "$exports" != "$expected" ]; then
  echo "expected exactly: VSTPluginMain main"
  exit 1
fi

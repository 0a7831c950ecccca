#!/usr/bin/env bash
# Runs a Windows executable under Wine with the build tree's own prefix; used
# as CMake's cross-compiling emulator. The caller may set WINEPREFIX itself.
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows-release/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
exec timeout "${TOLVEN_WINE_TIMEOUT:-600}" wine "$@"

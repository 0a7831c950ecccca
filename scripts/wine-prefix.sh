#!/usr/bin/env bash
# start|stop the build tree's Wine prefix. Starting creates it on first use,
# turns off the crash dialog and unmanaged-window stalls, and keeps one
# wineserver alive so each test does not pay for starting Wine again.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows-release/wineprefix}
export WINEDEBUG=-all
case "${1:-start}" in
  start)
    mkdir -p "$WINEPREFIX"
    timeout 120 wineserver -p
    if [ ! -f "$WINEPREFIX/.tolven-ready" ]; then
      timeout 300 wine wineboot -i >/dev/null 2>&1 || true
      timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      touch "$WINEPREFIX/.tolven-ready"
    else
      timeout 300 wine wineboot >/dev/null 2>&1 || true
    fi
    ;;
  stop)
    timeout 60 wineserver -k 2>/dev/null || true
    ;;
esac

#!/usr/bin/env bash
# start|fresh|stop the build tree's Wine prefix. Starting creates it on first
# use, turns off the crash dialog and unmanaged-window stalls, makes the face
# the tests ask for ("Verdana") the installed DejaVu Sans, and keeps one
# wineserver alive so each test does not pay for starting Wine again. fresh
# throws an existing prefix away first, so nothing a machine kept from earlier
# runs can decide a result.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/windows-release/wineprefix}
export WINEDEBUG=-all
# Wine finds the machine's fonts through fontconfig: show it only the
# family the set-up installs, as the native tests see it.
export FONTCONFIG_FILE=${FONTCONFIG_FILE:-$here/tests/support/fonts.conf}

winereg() { timeout 60 wine reg add "$@" /f >/dev/null 2>&1; }

case "${1:-start}" in
  fresh)
    timeout 60 wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    exec "$0" start
    ;;
  start)
    mkdir -p "$WINEPREFIX"
    timeout 120 wineserver -p
    if [ ! -f "$WINEPREFIX/.tolven-ready" ]; then
      timeout 300 wine wineboot -i >/dev/null 2>&1 || true
      winereg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
      winereg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
      winereg 'HKCU\Software\Wine\Fonts\Replacements' /v Verdana /t REG_SZ /d 'DejaVu Sans'
      touch "$WINEPREFIX/.tolven-ready"
    else
      timeout 300 wine wineboot >/dev/null 2>&1 || true
    fi
    ;;
  stop)
    timeout 60 wineserver -k 2>/dev/null || true
    ;;
esac

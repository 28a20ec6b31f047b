#!/usr/bin/env bash
# Makes the private Wine prefix once: booted, no Mono/Gecko, undecorated X11 windows
# (otherwise a captioned window gets no non-client area the program can paint).
set -euo pipefail
source "$(dirname "$0")/common.sh"
pin_locale

[ -f "$WINEPREFIX/.vantrell-ready" ] && exit 0
mkdir -p "$BUILD"
exec 9>"$BUILD/.wineprefix.lock"
flock 9
[ -f "$WINEPREFIX/.vantrell-ready" ] && exit 0

log "creating the Wine prefix $WINEPREFIX"
rm -rf "$WINEPREFIX"
DISPLAY= wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
[ -f "$WINEPREFIX/system.reg" ] || die "wineboot did not create the prefix"
touch "$WINEPREFIX/.vantrell-ready"

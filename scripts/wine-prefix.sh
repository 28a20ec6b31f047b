#!/usr/bin/env bash
# Makes the private Wine prefix once: booted, no Mono/Gecko, undecorated X11 windows
# (otherwise a captioned window gets no non-client area the program can paint) that no
# window manager manages (Xvfb has none; Wine would wait for one at every show and hide).
set -euo pipefail
source "$(dirname "$0")/common.sh"
pin_locale

settings_version=2  # raise when the settings below change: existing prefixes are updated
ready=$WINEPREFIX/.vantrell-ready
[ "$(cat "$ready" 2>/dev/null)" = "$settings_version" ] && exit 0
mkdir -p "$BUILD"
exec 9>"$BUILD/.wineprefix.lock"
flock 9
[ "$(cat "$ready" 2>/dev/null)" = "$settings_version" ] && exit 0

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w  # the registry files are written when the server ends
    [ -f "$WINEPREFIX/system.reg" ] || die "wineboot did not create the prefix"
fi
for setting in Decorated Managed; do
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$setting" /t REG_SZ /d N /f >/dev/null 2>&1
done
wineserver -w
echo "$settings_version" > "$ready"

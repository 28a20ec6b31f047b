#!/usr/bin/env bash
# Makes the private Wine prefix once: booted, no Mono/Gecko, undecorated X11 windows
# (otherwise a captioned window gets no non-client area the program can paint) that no
# window manager manages (Xvfb has none; Wine would wait for one at every show and hide).
# Refuses a prefix that is the program folder ($VANTRELL_HOME, default ~/Vantrell), lies in it
# or holds it, and a folder holding anything but a prefix these scripts made (their marker
# file); it never deletes a folder.
set -euo pipefail
source "$(dirname "$0")/common.sh"
pin_locale

prefix=$(realpath -m "$WINEPREFIX")
program=$(realpath -m "${VANTRELL_HOME:-$HOME/Vantrell}")
case "$prefix/" in
    "$program/"*) die "refusing the Wine prefix $prefix: it is the program folder $program or lies in it" ;;
esac
case "$program/" in
    "$prefix/"*) die "refusing the Wine prefix $prefix: the program folder $program lies in it" ;;
esac

settings_version=2  # raise when the settings below change: existing prefixes are updated
ready=$WINEPREFIX/.vantrell-ready
marker=$WINEPREFIX/.vantrell-prefix
[ "$(cat "$ready" 2>/dev/null)" = "$settings_version" ] && exit 0
mkdir -p "$BUILD"
exec 9>"$BUILD/.wineprefix.lock"
flock 9
[ "$(cat "$ready" 2>/dev/null)" = "$settings_version" ] && exit 0

# Ours when it has our marker (or, made before the marker, our settings file); a new or empty
# folder becomes ours.
if [ -e "$WINEPREFIX" ] && [ ! -e "$marker" ] && [ ! -e "$ready" ] && [ -n "$(ls -A "$WINEPREFIX" 2>/dev/null || echo x)" ]; then
    die "refusing the Wine prefix $prefix: it holds files these scripts did not make (no $(basename "$marker")); name a new or empty folder"
fi
mkdir -p "$WINEPREFIX"
[ -e "$marker" ] || echo "a Wine prefix made by Vantrell's scripts" > "$marker"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating the Wine prefix $WINEPREFIX"
    DISPLAY= wineboot -i >/dev/null 2>&1 || true
    wineserver -w  # the registry files are written when the server ends
    [ -f "$WINEPREFIX/system.reg" ] || die "wineboot did not create the prefix"
fi
for setting in Decorated Managed; do
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$setting" /t REG_SZ /d N /f >/dev/null 2>&1
done
wineserver -w
echo "$settings_version" > "$ready"

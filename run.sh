#!/usr/bin/env bash
# Builds when needed and starts dist/vantrell.exe under Wine. Without a $DISPLAY it runs on
# a private Xvfb, saves a screenshot after start-up, prints its path and stops the program.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
"$ROOT/build.sh"
pin_locale
"$ROOT/scripts/wine-prefix.sh"

if [ -n "${DISPLAY:-}" ]; then
    # On a desktop the window manager should manage the window (the tests' prefix says not).
    key='HKCU\Software\Wine\AppDefaults\vantrell.exe\X11 Driver'
    wine reg add "$key" /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1
    rc=0
    (cd "$ROOT/dist" && wine ./vantrell.exe) || rc=$?
    wine reg delete "$key" /f >/dev/null 2>&1
    exit $rc
fi

source "$ROOT/scripts/xvfb.sh"
start_xvfb
trap 'wineserver -k >/dev/null 2>&1; stop_xvfb' EXIT
(cd "$ROOT/dist" && wine ./vantrell.exe >/dev/null 2>&1 &)
sleep "${VANTRELL_STARTUP_SECONDS:-6}"
shot=$BUILD/screenshot.png
xwd -root -silent | convert xwd:- "$shot"
echo "$shot"

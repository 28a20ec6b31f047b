#!/usr/bin/env bash
# ./run.sh [--no-build]: builds when needed (--no-build: uses dist/ as it stands), installs or
# updates the shipped files in the program folder $VANTRELL_HOME (default ~/Vantrell), where
# the portfolio lives, and starts vantrell.exe there under Wine. Without a $DISPLAY it runs on
# a private Xvfb, saves a screenshot once the window is up, prints its path and stops.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
# A prefix apart from the tests': a test run does not stop vantrell, nor this script the tests.
export VANTRELL_WINEPREFIX=${VANTRELL_WINEPREFIX:-$BUILD/wineprefix-run}
export WINEPREFIX=$VANTRELL_WINEPREFIX

build=1
case "${1:-}" in
    --no-build) build=0 ;;
    "") ;;
    *) die "usage: ./run.sh [--no-build]" ;;
esac
if [ "$build" = 1 ]; then "$ROOT/build.sh"; fi
home=${VANTRELL_HOME:-$HOME/Vantrell}
"$ROOT/scripts/install-program.sh" "$home"
pin_locale
"$ROOT/scripts/wine-prefix.sh"

if [ -n "${DISPLAY:-}" ]; then
    # On a desktop the window manager should manage the window (the tests' prefix says not).
    key='HKCU\Software\Wine\AppDefaults\vantrell.exe\X11 Driver'
    wine reg add "$key" /v Managed /t REG_SZ /d Y /f >/dev/null 2>&1
    rc=0
    (cd "$home" && wine ./vantrell.exe) || rc=$?
    wine reg delete "$key" /f >/dev/null 2>&1
    exit $rc
fi

source "$ROOT/scripts/xvfb.sh"
start_xvfb
trap 'wineserver -k >/dev/null 2>&1; stop_xvfb' EXIT
(cd "$home" && wine ./vantrell.exe >/dev/null 2>&1 &)
deadline=$((SECONDS + ${VANTRELL_STARTUP_SECONDS:-60}))
until xwininfo -root -tree 2>/dev/null | grep -q '"Vantrell'; do
    [ "$SECONDS" -lt "$deadline" ] || die "vantrell's window did not appear"
    sleep 0.2
done
sleep 1  # let the first paint finish
shot=$BUILD/screenshot.png
mkdir -p "$BUILD"
xwd -root -silent | convert xwd:- "$shot"
echo "$shot"

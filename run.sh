#!/usr/bin/env bash
# ./run.sh [--no-build] [--virtual-recorder] [--burn NAME]: builds what it starts when needed
# (the programs, the help file, the template; --no-build: uses dist/ as it stands), installs or
# updates the shipped files in the program folder $VANTRELL_HOME (default ~/Vantrell), where the
# portfolio lives, and starts vantrell.exe there under Wine (--burn NAME: vantburn.exe for the
# built portfolio Distributable/NAME instead).
# --virtual-recorder also builds the test recorder and puts it (our WNASPI32.DLL and, when
# missing, a vcdr.ini) into the program folder and lets Wine load it, so a burn writes disc.img
# there.
# Without a $DISPLAY it runs on a private Xvfb, saves a screenshot once the window is up,
# prints its path and stops.
set -euo pipefail
source "$(dirname "$0")/scripts/common.sh"
# A prefix apart from the tests': a test run does not stop vantrell, nor this script the tests.
export VANTRELL_WINEPREFIX=${VANTRELL_WINEPREFIX:-$BUILD/wineprefix-run}
export WINEPREFIX=$VANTRELL_WINEPREFIX

usage="usage: ./run.sh [--no-build] [--virtual-recorder] [--burn NAME]"
build=1 recorder=0 burn=
while [ $# -gt 0 ]; do
    case "$1" in
        --no-build) build=0 ;;
        --virtual-recorder) recorder=1 ;;
        --burn) [ $# -ge 2 ] || die "$usage"; burn=$2; shift ;;
        *) die "$usage" ;;
    esac
    shift
done
if [ "$build" = 1 ]; then
    if [ "$recorder" = 1 ]; then "$ROOT/build.sh" --programs --recorder; else "$ROOT/build.sh" --programs; fi
fi
home=${VANTRELL_HOME:-$HOME/Vantrell}
"$ROOT/scripts/install-program.sh" "$home"
if [ "$recorder" = 1 ]; then
    "$ROOT/scripts/install-recorder.sh" "$home"
    # vantrell hands the override on to the vantburn it starts.
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wnaspi32=n"
fi
pin_locale
"$ROOT/scripts/wine-prefix.sh"

program=vantrell.exe args=() title='"Vantrell'
if [ -n "$burn" ]; then
    [ -d "$home/Distributable/$burn" ] || die "no built portfolio $home/Distributable/$burn"
    program=vantburn.exe args=("$burn") title='"CD Burn Utility"'
fi

headless=0
if [ -z "${DISPLAY:-}" ]; then
    headless=1
    source "$ROOT/scripts/xvfb.sh"
    start_xvfb
    trap 'wineserver -k >/dev/null 2>&1; stop_xvfb' EXIT
fi
"$ROOT/scripts/window-management.sh"

if [ "$headless" = 0 ]; then
    (cd "$home" && wine "./$program" "${args[@]}")
    exit
fi

(cd "$home" && wine "./$program" "${args[@]}" >/dev/null 2>&1 &)
deadline=$((SECONDS + ${VANTRELL_STARTUP_SECONDS:-60}))
until xwininfo -root -tree 2>/dev/null | grep -q "$title"; do
    [ "$SECONDS" -lt "$deadline" ] || die "the window of $program did not appear"
    sleep 0.2
done
sleep 1  # let the first paint finish
shot=$BUILD/screenshot.png
mkdir -p "$BUILD"
xwd -root -silent | convert xwd:- "$shot"
echo "$shot"

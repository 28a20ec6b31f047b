#!/usr/bin/env bash
# Builds when needed and runs every test: native (sanitized) and Windows (under Wine on a
# private Xvfb). Ends with one summary line; non-zero exit on any failure.
set -uo pipefail
source "$(dirname "$0")/scripts/common.sh"
cd "$ROOT"

"$ROOT/build.sh" || die "build failed"
pin_locale
"$ROOT/scripts/wine-prefix.sh" || die "no Wine prefix"

source "$ROOT/scripts/xvfb.sh"
cleanup() { wineserver -k >/dev/null 2>&1; stop_xvfb; }
trap cleanup EXIT INT TERM
start_xvfb
wineserver -p >/dev/null 2>&1   # keep one server for the whole run

rm -rf "$BUILD"/{native,win}/test-results
status=0
log "native tests"
ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS" || status=1
log "Windows tests under Wine"
# One at a time: the programs share one desktop, its focus and its cursor.
ctest --test-dir "$BUILD/win" --output-on-failure || status=1
"$ROOT/scripts/programs-contact-sheet.sh"

programs=0
for tree in native win; do
    programs=$((programs + $(ctest --test-dir "$BUILD/$tree" -N | sed -n 's/^Total Tests: //p')))
done
python3 "$ROOT/scripts/summarize-tests.py" "$programs" "$BUILD/native/test-results" "$BUILD/win/test-results" || status=1
exit $status

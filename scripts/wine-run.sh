#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix: the test runner of ctest.
# Uses $DISPLAY when set (test.sh starts one Xvfb for the whole run), else a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/common.sh"
pin_locale
"$ROOT/scripts/wine-prefix.sh"

if [ -z "${DISPLAY:-}" ]; then
    source "$ROOT/scripts/xvfb.sh"
    start_xvfb
fi
exe=$1; shift
# GoogleTest wants a Windows path for its report.
args=()
for a in "$@"; do
    case "$a" in
        --gtest_output=xml:/*) mkdir -p "$(dirname "${a#--gtest_output=xml:}")"; a="--gtest_output=xml:Z:${a#--gtest_output=xml:}" ;;
    esac
    args+=("$a")
done
# Wine's service processes, started by the first program of a server session, inherit its
# output handles and outlive it; through files they cannot hold a caller's pipe open.
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"; [ -n "${XVFB_PID:-}" ] && stop_xvfb' EXIT
rc=0
wine "$exe" "${args[@]}" >"$out" 2>"$err" </dev/null || rc=$?
cat "$out"; cat "$err" >&2
exit $rc

#!/usr/bin/env bash
# window-management.sh: lets the window manager of $DISPLAY manage the programs' windows when
# one runs, and leaves them unmanaged when none does: Wine waits up to 2 s for a manager at
# every hide of a managed window (each dialog's close), and with none there it waits in vain.
# An EWMH manager names its check window on the root window, and the check window names
# itself; a name left behind by a manager that ended names no such window.
set -euo pipefail
source "$(dirname "$0")/common.sh"

check_window() { # WINDOW: the check window it names, or nothing
    xprop "$@" _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p'
}
managed=N
named=$(check_window -root)
if [ -n "$named" ] && [ "$(check_window -id "$named")" = "$named" ]; then managed=Y; fi
for program in vantrell.exe vantburn.exe; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /t REG_SZ /d "$managed" /f \
        >/dev/null 2>&1 || die "cannot set the window management of $program"
done
log "window manager on $DISPLAY: $([ "$managed" = Y ] && echo "yes, the windows are managed" || echo "none, the windows stay unmanaged")"

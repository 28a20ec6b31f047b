# start_xvfb / stop_xvfb: one private Xvfb on a free display. Sourced, never run.
XVFB_PID=
start_xvfb() {
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || { n=$((n + 1)); Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & XVFB_PID=$!; }
        sleep 0.1
    done
    export DISPLAY=":$n"
}
stop_xvfb() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
    return 0
}

#!/usr/bin/env bash
# Runs one command under a private Xvfb display, a private D-Bus session and the
# accessibility bus, so windows can be created and read over AT-SPI.
# Xvfb picks a free display itself (-displayfd) and tells us once it accepts clients, so
# several runs at once never race for the same display number.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
if [ "${1:-}" = "--inner" ]; then
    shift
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    # A program started before the accessibility bus answers never registers on it.
    for _ in $(seq 1 100); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
            org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 0.3
    "$@"
    rc=$?
    kill "$launcher" 2>/dev/null
    exit $rc
fi
export NO_AT_BRIDGE=0
export GTK_MODULES=gail:atk-bridge
export GNOME_ACCESSIBILITY=1
tmp=$(mktemp -d)
export XDG_RUNTIME_DIR="$tmp/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
start_xvfb() {
    xvfb_pid=""
    for attempt in 1 2 3; do
        : >"$tmp/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
        xvfb_pid=$!
        for _ in $(seq 1 100); do
            [ -s "$tmp/display" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ -s "$tmp/display" ]; then
            export DISPLAY=":$(head -n1 "$tmp/display" | tr -d '[:space:]')"
            return 0
        fi
        stop_xvfb
    done
    echo "run-under-x: Xvfb did not start" >&2
    cat "$tmp/xvfb.log" >&2
    return 1
}
stop_xvfb() {
    [ -n "$xvfb_pid" ] || return 0
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
}
# A display that GTK could not open, or an accessibility bus the program never reached,
# now and then on a loaded machine is the environment's failure, not the test's: such a
# run is made once more on a fresh display and bus.
rc=1
for run in 1 2; do
    start_xvfb || break
    dbus-run-session -- "$here/run-under-x.sh" --inner "$@" 2> >(grep -v 'Failed to set fd limit' | tee "$tmp/stderr" >&2)
    rc=$?
    stop_xvfb
    sleep 0.2
    if [ $rc -eq 0 ] || ! grep -qE 'Unable to initialize GTK|never appeared on the accessibility bus' \
        "$tmp/stderr" 2>/dev/null; then break; fi
    echo "run-under-x: the display could not be opened; running again" >&2
done
rm -rf "$tmp"
exit $rc

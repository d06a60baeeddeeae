#!/usr/bin/env bash
# Runs one command under a private Xvfb display, a private D-Bus session and the
# accessibility bus, so windows can be created and read over AT-SPI.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
if [ "${1:-}" = "--inner" ]; then
    shift
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    sleep 0.5
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
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    dbus-run-session -- "$here/run-under-x.sh" --inner "$@" 2> >(grep -v 'Failed to set fd limit' >&2)
rc=$?
rm -rf "$tmp"
exit $rc

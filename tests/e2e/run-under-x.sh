#!/usr/bin/env bash
# Runs one command under a private Xvfb display, a private D-Bus session and the
# accessibility bus, so windows can be created and read over AT-SPI.
set -u
export NO_AT_BRIDGE=0
export GTK_MODULES=gail:atk-bridge
export GNOME_ACCESSIBILITY=1
export QT_ACCESSIBILITY=1
tmp=$(mktemp -d)
export HOME_ORIG="${HOME:-}"
export XDG_RUNTIME_DIR="$tmp/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
inner() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    sleep 0.5
    gsettings set org.gnome.desktop.interface toolkit-accessibility true >/dev/null 2>&1 || true
    "$@"
}
export -f inner
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" dbus-run-session -- bash -c 'inner "$@"' inner "$@"
rc=$?
rm -rf "$tmp"
exit $rc

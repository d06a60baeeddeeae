#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, only when one is missing.
set -euo pipefail
# One package per line.
PKGS=(
    cmake
    ninja-build
    pkg-config
    g++
    clang
    libexpat1-dev
    expat
    zlib1g-dev
    libcurl4-openssl-dev
    libssl-dev
    openssl
    nlohmann-json3-dev
    libwxgtk3.2-dev
    libwxgtk-webview3.2-dev
    libwxgtk-media3.2-dev
    libgtk-3-dev
    libglib2.0-dev
    libx11-dev
    libmpv-dev
    libarchive-dev
    zip
    libspeechd-dev
    speech-dispatcher
    libgtest-dev
    libgmock-dev
    xvfb
    xauth
    dbus-x11
    at-spi2-core
    python3-pyatspi
    gir1.2-gtk-3.0
    faketime
    xdotool
    sox
    libsox-fmt-mp3
    python3
    dpkg-dev
    file
    xdg-utils
    orca
    openbox
)
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

#!/usr/bin/env bash
# Builds the Debian package orvalis_<version>_<arch>.deb in build/ (CPack); install it with
# apt install ./build/orvalis_*.deb
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh"
cd "$here/../build"
cpack -G DEB
ls -1 "$PWD"/orvalis_*.deb

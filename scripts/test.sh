#!/usr/bin/env bash
# Installs what is missing, builds, then runs the whole suite; exits with the suite's status.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh"
cd "$here/../build"
ctest --output-on-failure -j"$(nproc)" --timeout 600

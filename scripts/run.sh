#!/usr/bin/env bash
# Installs what is missing, builds, then starts Orvalis with the arguments given.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh"
exec "$here/../build/bin/Orvalis" "$@"

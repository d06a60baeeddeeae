#!/usr/bin/env bash
# Times the main window on a large catalogue: 400 feeds in 40 groups, 100 articles each.
# Starts build/bin/Orvalis under Xvfb on a generated data folder, waits for the tree,
# then reports the "UI_Tree_Actualize() in" lines of the log (milliseconds).
# Usage: bench/mainwin/run.sh [build-dir]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
exec "$here/../../tests/e2e/run-under-x.sh" /usr/bin/python3 "$here/run.py" "$build/bin/Orvalis"

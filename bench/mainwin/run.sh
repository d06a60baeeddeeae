#!/usr/bin/env bash
# Times the main window on a large catalogue: 400 feeds in 40 groups, 100 articles each.
# Starts build/bin/Orvalis under Xvfb on a generated data folder, waits for the tree,
# then reports the "UI_Tree_Actualize() in" lines of the log (milliseconds).
# Then what a screen-reader user feels on a long list (keys.py): with a feed of 5,000
# articles, the time from a key press (Down in the tree onto that feed; Down in its
# article list) to the AT-SPI focus event of the new row, median of 20 presses each.
# Usage: bench/mainwin/run.sh [build-dir] [articles]
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
"$here/../../tests/e2e/run-under-x.sh" /usr/bin/python3 "$here/run.py" "$build/bin/Orvalis"
exec "$here/../../tests/e2e/run-under-x.sh" /usr/bin/python3 -u "$here/keys.py" \
    "$build/bin/Orvalis" "${2:-5000}"

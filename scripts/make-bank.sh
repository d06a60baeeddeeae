#!/bin/sh
# Remakes the shipped feed bank data/OrvalisU.Dat from the public-domain (CC0) OPML lists
# of a feed collection folder, through the program's own OPML reader: one group per
# outline category, every entry dated the day the bank is made.
#   scripts/make-bank.sh [COLLECTION_DIR] [TOOL]
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
collection=${1:-$here/../../shared/data/feed-collection}
tool=${2:-$here/build/bin/orvalis-tool}
[ -d "$collection" ] || { echo "no feed collection folder: $collection" >&2; exit 1; }
[ -x "$tool" ] || { echo "no orvalis-tool at $tool (build it first)" >&2; exit 1; }
set --
for f in "$collection"/*.opml; do set -- "$@" "$f"; done
"$tool" bank make "$here/data/OrvalisU.Dat" "$@"

#!/usr/bin/env bash
# Times the feed reader (orvalis-tool parse) on generated RSS documents from 100 KB to
# 20 MB and a 12 MB one of 4,000 escaped HTML descriptions, beside expat's own xmlwf (a
# parse with nothing on top: the practical limit) and Python's feedparser. Prints one line
# per document: best wall clock of each, the ratio to xmlwf, then the CPU times (user +
# system) and their ratio, the steadier figure on a loaded machine. RUNS=n (default 5).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
tool="$root/build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "build first: scripts/build.sh" >&2; exit 1; }
need=()
command -v xmlwf >/dev/null || need+=(expat)
/usr/bin/python3 -c 'import feedparser' 2>/dev/null || need+=(python3-feedparser)
if [ ${#need[@]} -gt 0 ]; then apt-get install -y -qq "${need[@]}" >/dev/null; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 "$root/bench/parse/make_feed.py" "$work"

/usr/bin/python3 "$root/bench/parse/time_parse.py" "$tool" "${RUNS:-5}" "$work"/*.xml

#!/usr/bin/env bash
# Times the feed reader (orvalis-tool parse) on generated RSS documents from 100 KB to
# 20 MB, beside expat's own xmlwf (a parse with nothing on top: the practical limit) and
# Python's feedparser. Prints one line per size with the times and the ratios.
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

best() { # best of 3 wall-clock seconds of a command
    local b=999999
    for _ in 1 2 3; do
        local s e
        s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N)
        b=$(echo "$e - $s" | bc -l | awk -v b="$b" '{print ($1<b)?$1:b}')
    done
    echo "$b"
}
printf "%-10s %10s %10s %12s %10s %12s\n" size orvalis xmlwf feedparser "vs xmlwf" "vs feedparser"
for f in "$work"/feed-*.xml; do
    size=$(stat -c %s "$f")
    o=$(best "$tool" parse "$f")
    x=$(best xmlwf "$f")
    p=$(best /usr/bin/python3 -c "import feedparser,sys; feedparser.parse(open(sys.argv[1],'rb').read())" "$f")
    printf "%-10s %10.3f %10.3f %12.3f %10.2f %12.3f\n" "$((size / 1024))K" "$o" "$x" "$p" \
        "$(echo "$o / $x" | bc -l)" "$(echo "$o / $p" | bc -l)"
done

#!/bin/sh
# Discovery of the feeds a page links to: 200 candidate links, 50 of them feeds, every
# answer delayed by 200 ms. Our discovery (8 checks at a time) beside the same code with
# one check at a time. Then OPML read and write of a 10,000-feed file beside xmlwf.
# Usage: bench/discovery/run.sh BUILD_DIR
set -e
BUILD=${1:-build}
TOOL=$BUILD/bin/orvalis-tool
HERE=$(dirname "$0")
PORT=${PORT:-18431}
now() { date +%s.%N; }
if [ -z "$OPML_ONLY" ]; then
python3 "$HERE/server.py" $PORT 0.2 &
SERVER=$!
trap 'kill $SERVER 2>/dev/null' EXIT
sleep 1
t0=$(now); n8=$("$TOOL" discover http://127.0.0.1:$PORT/page.html --parallel 8 | wc -l); t1=$(now)
n1=$("$TOOL" discover http://127.0.0.1:$PORT/page.html --parallel 1 | wc -l); t2=$(now)
p=$(echo "$t1 - $t0" | bc); s=$(echo "$t2 - $t1" | bc)
echo "discovery, 8 at a time : $n8 feeds in $p s"
echo "discovery, one at a time: $n1 feeds in $s s"
echo "ratio: $(echo "scale=1; $s / $p" | bc)x"
fi

TMP=$(mktemp -d)
python3 - "$TMP/10k.opml" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<opml version="1.1"><head><title>b</title></head><body>\n')
    for g in range(100):
        f.write('<outline text="Groupe %d">\n' % g)
        for i in range(100):
            f.write('<outline type="rss" version="RssV2" text="Flux %d-%d" xmlUrl="http://f%d-%d.example.org/rss.xml" '
                    'language="FR" description="Un flux de test assez long pour ressembler aux vrais" '
                    'ovflag="641" ovmaxfeed="0" ovextract="102400" ovcontent="1"/>\n' % (g, i, g, i))
        f.write('</outline>\n')
    f.write('</body></opml>\n')
PY
mkdir -p "$TMP/data"
"$TOOL" opml import "$TMP/10k.opml" --data "$TMP/data" > /dev/null
t0=$(now); for i in 1 2 3 4 5; do "$TOOL" opml read "$TMP/10k.opml" > /dev/null; done; t1=$(now)
for i in 1 2 3 4 5; do xmlwf "$TMP/10k.opml" > /dev/null; done; t2=$(now)
for i in 1 2 3 4 5; do "$TOOL" opml export --data "$TMP/data" "$TMP/out.opml" > /dev/null; done; t3=$(now)
for i in 1 2 3 4 5; do xmlwf "$TMP/out.Opml" 2>/dev/null > /dev/null || xmlwf "$TMP/out.opml" > /dev/null; done; t4=$(now)
r=$(echo "($t1 - $t0) / 5" | bc -l); x=$(echo "($t2 - $t1) / 5" | bc -l)
w=$(echo "($t3 - $t2) / 5" | bc -l); y=$(echo "($t4 - $t3) / 5" | bc -l)
printf "opml read 10000 feeds : %.3f s, xmlwf %.3f s, ratio %.1f\n" $r $x $(echo "$r / $x" | bc -l)
printf "opml export 10000 feeds (catalogue load included): %.3f s, xmlwf on the result %.3f s, ratio %.1f\n" $w $y $(echo "$w / $y" | bc -l)
rm -rf "$TMP"

#!/bin/bash
# Times `orvalis-tool update` over 200 local feeds of 50 items each, beside newsboat's
# `-x reload` over the same addresses, and prints the ratio.
# Usage: bench/update/run.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build}"
tool="$build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "no $tool: build orvalis-tool first" >&2; exit 2; }

if ! command -v newsboat >/dev/null; then
    echo "installing newsboat..." >&2
    apt-get update -qq >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq newsboat >/dev/null
fi

work="$(mktemp -d)"
server_pid=""
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

python3 "$here/make_feeds.py" "$work/www" 200 50
port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 100); do
    curl -s -o /dev/null "http://127.0.0.1:$port/feed-1.xml" && break
    sleep 0.1
done

python3 "$here/make_feeds.py" --catalogue "$work/data" 200 "http://127.0.0.1:$port"
for i in $(seq 1 200); do echo "http://127.0.0.1:$port/feed-$i.xml"; done > "$work/urls"
mkdir -p "$work/nb"

now() { date +%s.%N; }
t0=$(now); "$tool" update --data "$work/data" > "$work/orvalis-1.txt"; t1=$(now)
cp "$work/data/Orvalis.Log" "$work/orvalis-1.log"; rm "$work/data/Orvalis.Log"
"$tool" update --data "$work/data" > "$work/orvalis-2.txt"; t2=$(now)
cp "$work/data/Orvalis.Log" "$work/orvalis-2.log"
HOME="$work/nb" newsboat -u "$work/urls" -c "$work/nb/cache.db" -C /dev/null -x reload; t3=$(now)
HOME="$work/nb" newsboat -u "$work/urls" -c "$work/nb/cache.db" -C /dev/null -x reload; t4=$(now)

failed=$(grep -c "failed" "$work/orvalis-1.txt" || true)
new=$(awk -F'[:,]' '{n+=$2} END {print n+0}' "$work/orvalis-1.txt")
python3 - "$t0" "$t1" "$t2" "$t3" "$t4" "$failed" "$new" <<'PY'
import sys
t0, t1, t2, t3, t4 = map(float, sys.argv[1:6])
failed, new = sys.argv[6], sys.argv[7]
o1, o2, n1, n2 = t1 - t0, t2 - t1, t3 - t2, t4 - t3
print(f"feeds: 200 x 50 items; orvalis first run: {new} new articles, {failed} failed feeds")
print(f"orvalis-tool update   first run {o1:7.2f} s   second run {o2:7.2f} s")
print(f"newsboat -x reload    first run {n1:7.2f} s   second run {n2:7.2f} s")
print(f"ratio orvalis/newsboat  first {o1 / n1:6.1f}x   second {o2 / n2:6.1f}x")
print(f"orvalis per feed: {o1 / 200 * 1000:.0f} ms (tick floor 100 ms)")
PY
# Where the time of each run goes, from its log: downloads, parsing, loading and saving
# the articles; the rest is the worker waiting for the next 100 ms tick.
for run in 1 2; do
    python3 - "$work/orvalis-$run.log" "$run" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
sum_of = lambda pat: sum(int(x) for x in re.findall(pat, text))
download = sum_of(r"DownloadedXml by \S+, TotalBytes=\d+, TotalTime=(\d+)ms")
parse = sum_of(r"extracted in (\d+)ms")
load = sum_of(r"articles added in (\d+) ms")
save = sum_of(r"Rss Saved in (\d+) ms")
print(f"run {sys.argv[2]}: downloads {download / 1000:.2f} s, parsing {parse / 1000:.2f} s, "
      f"loading articles {load / 1000:.2f} s, saving articles {save / 1000:.2f} s")
PY
done

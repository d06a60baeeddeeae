#!/bin/bash
# The podcast queue's throughput: `orvalis-tool podcasts` downloading COUNT enclosures of
# SIZE_MB MiB from a local server, beside curl fetching the same files one after another
# (the limit: one plain transfer at a time, as the queue does). Prints both times, the
# ratio, and the peak memory of each run (the files stream to disk: it stays flat whatever
# the size).
# Usage: bench/podcasts/run.sh [BUILD_DIR] [COUNT] [SIZE_MB]   (default: build 20 20)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build}"
count="${2:-20}"
size="${3:-20}"
tool="$build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "no $tool: build orvalis-tool first" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (package time)" >&2; exit 2; }

work="$(mktemp -d)"
server_pid=""
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
python3 "$here/make_data.py" "$work/data" "$work/www" "$port" "$count" "$size"
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 100); do
    curl -s -o /dev/null "http://127.0.0.1:$port/ep01.mp3" -r 0-0 && break
    sleep 0.1
done
export no_proxy=127.0.0.1
# Warm the page cache so neither run pays for the first read of the file.
cat "$work/www/blob.bin" >/dev/null

seconds() { awk '/Elapsed \(wall clock\)/ {n=split($NF,a,":"); s=0; for(i=1;i<=n;i++) s=s*60+a[i]; print s}' "$1"; }
peak() { awk '/Maximum resident set size/ {print $NF}' "$1"; }

/usr/bin/time -v "$tool" podcasts --data "$work/data" >"$work/ours.out" 2>"$work/ours.time"
ok=$(grep -c '^ok ' "$work/ours.out" || true)
[ "$ok" -eq "$count" ] || { echo "orvalis-tool: $ok of $count downloaded" >&2; cat "$work/ours.out" >&2; exit 1; }
cmp -s "$work/www/blob.bin" "$work/data/Podcast/Bench/ep01.mp3" || { echo "wrong bytes" >&2; exit 1; }
rm -rf "$work/data/Podcast/Bench"

mkdir -p "$work/curl"
# One curl process per file, one after another, as the queue does.
cat >"$work/curl.sh" <<CURL
#!/bin/bash
set -e
for i in \$(seq 1 $count); do
    n=\$(printf "%02d" "\$i")
    curl -s -f -o "$work/curl/ep\$n.mp3" "http://127.0.0.1:$port/ep\$n.mp3"
done
CURL
chmod +x "$work/curl.sh"
/usr/bin/time -v "$work/curl.sh" 2>"$work/curl.time"

t_ours=$(seconds "$work/ours.time")
t_curl=$(seconds "$work/curl.time")
total=$((count * size))
python3 - "$t_ours" "$t_curl" "$total" "$(peak "$work/ours.time")" "$(peak "$work/curl.time")" <<'PY'
import sys
ours, curl, total, rss_ours, rss_curl = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
print(f"orvalis-tool podcasts: {ours:7.2f} s  {total / ours:8.1f} MiB/s  peak RSS {rss_ours / 1024:.1f} MiB")
print(f"curl one by one:       {curl:7.2f} s  {total / curl:8.1f} MiB/s  peak RSS {rss_curl / 1024:.1f} MiB (largest single process)")
print(f"ratio (ours / curl):   {ours / curl:.2f}")
PY

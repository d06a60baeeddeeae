#!/bin/bash
# Times `orvalis-tool update` with 1 and 4 workers ("UpdateThreads") beside newsboat's
# `-x reload` with `reload-threads` 1 and 4, over the same local feeds, in two server
# modes: answers at once, and each answer delayed by 200 ms (a real network's latency).
# Usage: bench/update/run.sh [BUILD_DIR]   (default: build)
# Environment: FEEDS (local mode, default 200), SLOW_FEEDS (200 ms mode, default 50),
# ITEMS (default 50), DELAY_MS (default 200).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${1:-$root/build}"
tool="$build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "no $tool: build orvalis-tool first" >&2; exit 2; }
feeds="${FEEDS:-200}"
slow_feeds="${SLOW_FEEDS:-50}"
items="${ITEMS:-50}"
delay="${DELAY_MS:-200}"

if ! command -v newsboat >/dev/null; then
    echo "installing newsboat..." >&2
    apt-get update -qq >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq newsboat >/dev/null
fi

work="$(mktemp -d)"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

python3 "$here/make_feeds.py" "$work/www" "$feeds" "$items"
# Two servers of the same folder: answers at once, and answers after DELAY_MS.
python3 "$here/serve.py" "$work/www" "$work/port-local" 0 >/dev/null 2>&1 &
pids+=($!)
python3 "$here/serve.py" "$work/www" "$work/port-slow" "$delay" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/port-local" ] && [ -s "$work/port-slow" ] && break; sleep 0.05; done
port_local="$(cat "$work/port-local")"
port_slow="$(cat "$work/port-slow")"

now() { date +%s.%N; }
# timed OUT COMMAND...: runs the command with its output into OUT, prints the seconds.
timed() {
    local out="$1" t0 t1
    shift
    t0=$(now)
    "$@" > "$out"
    t1=$(now)
    python3 -c "print(f'{$t1 - $t0:.3f}')"
}

results="$work/results"
: > "$results"
for mode in local slow; do
    if [ "$mode" = local ]; then port=$port_local; n=$feeds; else port=$port_slow; n=$slow_feeds; fi
    base="http://127.0.0.1:$port"
    for i in $(seq 1 "$n"); do echo "$base/feed-$i.xml"; done > "$work/urls-$mode"
    for threads in 1 4; do
        data="$work/data-$mode-$threads"
        python3 "$here/make_feeds.py" --catalogue "$data" "$n" "$base"
        printf '\xef\xbb\xbfMaxRss = 400\r\nUpdateThreads = %s\r\n' "$threads" > "$data/Orvalis.ini"
        first=$(timed "$work/orvalis-$mode-$threads.txt" "$tool" update --data "$data")
        cp "$data/Orvalis.Log" "$work/orvalis-$mode-$threads-1.log"; rm "$data/Orvalis.Log"
        second=0
        if [ "$mode" = local ]; then
            second=$(timed /dev/null "$tool" update --data "$data")
            cp "$data/Orvalis.Log" "$work/orvalis-$mode-$threads-2.log"
        fi
        failed=$(grep -c "failed" "$work/orvalis-$mode-$threads.txt" || true)
        echo "$mode orvalis $threads $first $second $failed $n" >> "$results"

        nb="$work/nb-$mode-$threads"
        mkdir -p "$nb"
        echo "reload-threads $threads" > "$nb/config"
        reload=(env HOME="$nb" newsboat -u "$work/urls-$mode" -c "$nb/cache.db" -C "$nb/config" -x reload)
        first=$(timed /dev/null "${reload[@]}")
        second=0
        [ "$mode" = local ] && second=$(timed /dev/null "${reload[@]}")
        echo "$mode newsboat $threads $first $second 0 $n" >> "$results"
    done
done

python3 - "$results" "$items" "$delay" <<'PY'
import sys
rows = {}
for line in open(sys.argv[1]):
    mode, who, threads, first, second, failed, n = line.split()
    rows[(mode, who, int(threads))] = (float(first), float(second), int(failed), int(n))
items, delay = sys.argv[2], sys.argv[3]
print("times in seconds, first run (adds every article) / second run (nothing new;")
print("local mode only)")
for mode, title in (("local", "answers at once"), ("slow", f"each answer waits {delay} ms")):
    n = rows[(mode, "orvalis", 1)][3]
    print(f"\n{mode}: {n} feeds x {items} items, {title}")
    print(f"  {'':24}{'1 worker':>20}{'4 workers':>20}")
    for who, label in (("orvalis", "orvalis-tool update"), ("newsboat", "newsboat -x reload")):
        cells = [f"{rows[(mode, who, t)][0]:8.2f}" + (f" / {rows[(mode, who, t)][1]:6.2f}"
                                                      if mode == "local" else "         ")
                 for t in (1, 4)]
        print(f"  {label:24}{cells[0]:>20}{cells[1]:>20}")
    for t in (1, 4):
        o, b = rows[(mode, "orvalis", t)], rows[(mode, "newsboat", t)]
        second = f"   second {o[1] / b[1]:5.2f}x" if mode == "local" else ""
        print(f"  orvalis/newsboat, {t} worker(s): first {o[0] / b[0]:5.2f}x{second}")
    o1, o4 = rows[(mode, "orvalis", 1)], rows[(mode, "orvalis", 4)]
    second = f"   second {o4[1] / o1[1]:5.2f}x" if mode == "local" else ""
    print(f"  orvalis 4 workers / 1 worker: first {o4[0] / o1[0]:5.2f}x{second}")
    failed = sum(rows[(mode, "orvalis", t)][2] for t in (1, 4))
    if failed:
        print(f"  ! {failed} orvalis feed updates failed")
PY
# Where the time of the local runs with 4 workers goes, from their logs: work summed over
# the workers (downloads, parsing), and the interface thread's loading and saving.
for run in 1 2; do
    python3 - "$work/orvalis-local-4-$run.log" "$run" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8", errors="replace").read()
sum_of = lambda pat: sum(int(x) for x in re.findall(pat, text))
download = sum_of(r"DownloadedXml by \S+, TotalBytes=\d+, TotalTime=(\d+)ms")
parse = sum_of(r"extracted in (\d+)ms")
load = sum_of(r"articles added in (\d+) ms")
save = sum_of(r"Rss Saved in (\d+) ms")
print(f"local, 4 workers, run {sys.argv[2]}: downloads {download / 1000:.2f} s, parsing "
      f"{parse / 1000:.2f} s (summed over workers), loading articles {load / 1000:.2f} s, "
      f"saving articles {save / 1000:.2f} s")
PY
done

#!/bin/bash
# Item store benchmark: a data folder of 400 feeds x 400 articles (1-3 KB descriptions);
# load time, save time and peak memory of the store beside a plain `cat` of the same files
# (the read limit). Usage: bench/store/run.sh [FEEDS] [ARTICLES]   (not run by ctest)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
feeds=${1:-400}
articles=${2:-400}
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" store_bench orvalis-tool >/dev/null
bench=$build/bench/store_bench
data=$(mktemp -d /tmp/orvalis-store-bench-XXXXXX)
trap 'rm -rf "$data"' EXIT

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }

echo "generating $feeds feeds x $articles articles in $data"
"$bench" generate "$data" "$feeds" "$articles"
size=$(du -sm "$data/Feeds" | cut -f1)
echo "Feeds/ holds ${size} MB in $(ls "$data/Feeds" | wc -l) files"

# Warm the page cache once so every run reads from memory alike.
cat "$data"/Feeds/* >/dev/null
echo "(ms = wall clock, cpu_ms = user + system time of the process)"
for i in 1 2; do
    t0=$(now)
    /usr/bin/time -f "cpu_s=%U+%S" -o "$data/.cat-time" sh -c "cat \"$data\"/Feeds/* >/dev/null"
    t1=$(now)
    echo "mode=cat ms=$(ms "$t0" "$t1") $(cat "$data/.cat-time")"
done
for i in 1 2; do "$bench" slurp "$data" "$feeds"; done
for i in 1 2; do "$bench" load "$data" "$feeds"; done
for i in 1 2; do "$bench" save "$data" "$feeds"; done
if "$build/bin/orvalis-tool" help 2>/dev/null | grep -q " store "; then
    for i in 1; do
        t0=$(now)
        /usr/bin/time -f "orvalis-tool store: peak_kb=%M cpu_s=%U+%S" "$build/bin/orvalis-tool" store --data "$data"
        t1=$(now)
        echo "orvalis-tool store (load + save + clean): $(ms "$t0" "$t1") ms"
    done
fi

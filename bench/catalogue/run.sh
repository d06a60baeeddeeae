#!/usr/bin/env bash
# Load and save a large catalogue through orvalis-tool and report the time of each run.
# Usage: bench/catalogue/run.sh [FEEDS] (default 5000). Needs build/bin/orvalis-tool.
set -eu
here="$(cd "$(dirname "$0")/../.." && pwd)"
tool="$here/build/bin/orvalis-tool"
feeds="${1:-5000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 - "$feeds" > "$work/in.Ini" <<'PY'
import sys
n = int(sys.argv[1])
out = ["\ufeff; Orvalis 1.10.1708.2300"]
for i in range(n):
    out += ["[Feed %d &amp; co]" % i, "Url = http://site%d.example.org/rss?id=%d" % (i % 700, i),
            "Group = Group %d" % (i % 40), "Description = Some description of feed %d" % i,
            "Interval = %d" % (i % 5000), "MaxFeed = %d" % (i % 500), "Alarm = on"]
sys.stdout.write("\r\n".join(out) + "\r\n")
PY
for run in 1 2 3; do
    start=$(date +%s%N)
    "$tool" catalogue "$work/in.Ini" "$work/out.Ini"
    end=$(date +%s%N)
    echo "run $run: $feeds feeds loaded and saved in $(( (end - start) / 1000000 )) ms"
done

#!/usr/bin/env bash
# Times each download method on a large file served from 127.0.0.1.
# Usage: bench/download_methods.sh [build-dir] [size-in-MiB]
set -euo pipefail
BUILD=${1:-build}
SIZE=${2:-50}
TOOL="$BUILD/bin/orvalis-tool"
WORK=$(mktemp -d)
trap 'kill $SERVER 2>/dev/null || true; rm -rf "$WORK"' EXIT
head -c $((SIZE * 1048576)) /dev/urandom > "$WORK/big.bin"
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$WORK" >/dev/null 2>&1 &
SERVER=$!
for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break
    sleep 0.1
done
export no_proxy=127.0.0.1
for method in WinINet API Pure PureHttp; do
    rm -f "$WORK/out.bin"
    start=$(date +%s.%N)
    "$TOOL" fetch "http://127.0.0.1:$PORT/big.bin" "$WORK/out.bin" --methods "$method;" 2>/dev/null
    end=$(date +%s.%N)
    cmp -s "$WORK/big.bin" "$WORK/out.bin" || { echo "$method: wrong bytes"; continue; }
    python3 -c "import sys; t=$end-$start; print(f'{sys.argv[1]:9s} {t:6.2f} s  {$SIZE/t:8.1f} MiB/s')" "$method"
done

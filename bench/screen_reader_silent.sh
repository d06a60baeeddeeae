#!/usr/bin/env bash
# Time of a burst of spoken messages while no screen reader runs: each message that fails
# re-detects only after the remembered failure has expired, so the burst stays fast.
# Usage: bench/screen_reader_silent.sh [build-folder] [count]
set -eu
build="${1:-build}"
count="${2:-200}"
export SPEECHD_ADDRESS="unix_socket:/nonexistent/orvalis-bench.sock"
start=$(date +%s%N)
"$build/bin/orvalis-tool" say "Rien" "$count" || true
end=$(date +%s%N)
echo "messages=$count total_ms=$(( (end - start) / 1000000 ))"

#!/bin/sh
# Benchmark of the article page extraction (orvalis-tool extract: download from a local
# server, conversion, filter, start of the article, statistics) beside w3m -dump of the
# same pages from the same server, on 100 generated news-site pages of 50 KB to 2 MB.
# Not run by ctest.
#   bench/extract/run.sh [BUILD_DIR]      (default: build)
# Installs w3m with apt-get when it is missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
tool="$build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "build orvalis-tool first (ninja -C $build orvalis-tool)" >&2; exit 1; }
if ! command -v w3m >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq w3m >/dev/null
fi
pages="$build/bench-extract"
python3 "$here/generate_pages.py" "$pages" 100
python3 "$here/time_extract.py" "$tool" "$pages"

#!/bin/sh
# Benchmark of orvalis-tool html2text against w3m -dump and lynx -dump and against a plain
# read of the file, on generated pages of 200 KB to 5 MB; then against w3m -dump alone on
# the saved real pages of tests/data/html/real-pages (whole process, CPU time, peak memory).
# Not run by ctest.
#   bench/html2text/run.sh [BUILD_DIR]      (default: build)
# Installs w3m and lynx with apt-get when they are missing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build}
tool="$build/bin/orvalis-tool"
[ -x "$tool" ] || { echo "build orvalis-tool first (ninja -C $build orvalis-tool)" >&2; exit 1; }
missing=""
command -v w3m >/dev/null || missing="$missing w3m"
command -v lynx >/dev/null || missing="$missing lynx"
if [ -n "$missing" ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
fi
pages="$build/bench-html2text"
python3 "$here/generate_pages.py" "$pages" 200 1000 5000 >/dev/null
python3 "$here/time_tools.py" "$tool" "$pages/page-200k.html" "$pages/page-1000k.html" \
    "$pages/page-5000k.html"
echo
python3 "$here/real_pages.py" "$tool" "$root/tests/data/html/real-pages" 3

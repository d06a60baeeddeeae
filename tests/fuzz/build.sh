#!/bin/sh
# Builds the libFuzzer target for the HTML-to-text converter with clang and runs it.
#   tests/fuzz/build.sh [SECONDS]   (default 60; 0 only builds)
# Output: build-fuzz/fuzz_html_text; corpus in build-fuzz/corpus-html (seeded from
# tests/data/html and its real pages). Not part of ctest.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build-fuzz"
secs=${1:-60}
command -v clang++ >/dev/null || { echo "clang++ is needed" >&2; exit 1; }
mkdir -p "$out/corpus-html"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" -DORVALIS_HTML_DIRECT_WALK_LIMIT=8 \
    "$root/tests/fuzz/fuzz_html_text.cpp" \
    "$root/src/article/core/ExtractHTMLText.cpp" \
    "$root/src/article/core/HtmlEntities.cpp" \
    "$root/src/platform/core/Text.cpp" \
    -o "$out/fuzz_html_text"
for f in "$root"/tests/data/html/*.html "$root"/tests/data/html/real-pages/*.html; do
    # The first 8 KB of a page: what the fuzzer's length limit keeps of it anyway.
    { printf '\077'; head -c 8192 "$f"; } > "$out/corpus-html/seed-$(basename "$f")"
done
[ "$secs" -gt 0 ] || exit 0
# -timeout: one input taking over 10 s is a hang.
"$out/fuzz_html_text" "$out/corpus-html" -max_total_time="$secs" -timeout=10 \
    -max_len=8192 -dict="$root/tests/fuzz/html_text.dict" -print_final_stats=1

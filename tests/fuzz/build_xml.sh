#!/bin/sh
# Builds the libFuzzer target for IsGoodXML (memory input) with clang and runs it.
#   tests/fuzz/build_xml.sh [SECONDS]   (default 60; 0 only builds)
# Output: build-fuzz/fuzz_is_good_xml; corpus in build-fuzz/corpus-xml (seeded from
# tests/data/xml). Not part of ctest.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build-fuzz"
secs=${1:-60}
command -v clang++ >/dev/null || { echo "clang++ is needed" >&2; exit 1; }
mkdir -p "$out/corpus-xml"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/src" \
    "$root/tests/fuzz/fuzz_is_good_xml.cpp" \
    "$root/src/update/core/XmlRepair.cpp" \
    "$root/src/shell/base/XmlTree.cpp" \
    "$root/src/update/core/XML_Qn.cpp" \
    "$root/src/article/core/HtmlEntities.cpp" \
    "$root/src/platform/core/Text.cpp" \
    "$root/src/platform/core/FileUtil.cpp" \
    "$root/src/shell/base/Log.cpp" \
    -lexpat -o "$out/fuzz_is_good_xml"
cp "$root"/tests/data/xml/*.xml "$out/corpus-xml/"
[ "$secs" -gt 0 ] || exit 0
# -timeout: one input taking over 10 s is a hang. The log stays in memory and is reset
# for every input, so nothing is written to the current folder.
"$out/fuzz_is_good_xml" "$out/corpus-xml" -max_total_time="$secs" -timeout=10 \
    -max_len=16384 -dict="$root/tests/fuzz/xml.dict" -print_final_stats=1

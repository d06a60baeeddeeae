#!/bin/sh
# Builds every libFuzzer target of this folder with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each one for a short while: a smoke run on every
# push, not a campaign.
#   tests/fuzz/run_all.sh [SECONDS]   (default 20 per target; 0 only builds)
# Each source is compiled once into build-fuzz/obj (kept between runs, rebuilt when newer)
# and each target links only the sources it needs. Corpora are seeded from tests/data.
# Exits non-zero when a target cannot be built or finds a fault (its input is written to
# build-fuzz/ as crash-*, leak-* or timeout-*).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build-fuzz"
obj="$out/obj"
secs=${1:-20}
command -v clang++ >/dev/null || { echo "clang++ is needed" >&2; exit 1; }
mkdir -p "$obj"
version=$(sed -n "s/.*ORVALIS_VERSION=\"\([^\"]*\)\".*/\1/p" "$root/CMakeLists.txt" | head -1)
flags="-DORVALIS_VERSION=\"$version\" -std=c++20 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -I$root/src"

# Compiles one source (path under the repository) unless its object is newer; prints the
# object's path.
compile() {
    src="$root/$1"
    o="$obj/$(echo "$1" | tr '/' '_').o"
    if [ ! -f "$o" ] || [ "$src" -nt "$o" ] || [ -n "$(find "$root/src" -name '*.h' -newer "$o" | head -1)" ]; then
        clang++ $flags $2 -c "$src" -o "$o"
    fi
    echo "$o"
}

# link TARGET EXTRA_LIBS SOURCES...: the target from its own file and the sources.
link() {
    target=$1
    libs=$2
    shift 2
    objects=$(compile "tests/fuzz/$target.cpp" "")
    for s in "$@"; do
        objects="$objects $(compile "$s" "")"
    done
    clang++ -fsanitize=fuzzer,address,undefined $objects $libs -o "$out/$target"
}

start=$(date +%s)
base="src/platform/core/Text.cpp src/platform/core/FileUtilPosix.cpp src/shell/base/Log.cpp"
link fuzz_is_good_xml "-lexpat -lcrypto -lz" src/update/core/XmlRepair.cpp \
    src/shell/base/XmlTree.cpp src/update/core/XML_Qn.cpp src/article/core/HtmlEntities.cpp \
    src/platform/core/Hash.cpp src/platform/core/HashPosix.cpp src/platform/core/Base64.cpp $base
# The converter's direct walk is kept short so the fuzzer reaches its fallback too.
compile src/article/core/ExtractHTMLText.cpp "-DORVALIS_HTML_DIRECT_WALK_LIMIT=8" >/dev/null
link fuzz_html_text "" src/article/core/ExtractHTMLText.cpp src/article/core/HtmlEntities.cpp $base
link fuzz_entities "" src/article/core/HtmlEntities.cpp $base
link fuzz_key_value "" src/shell/base/IniFile.cpp $base
# Dates are formatted with the language table and the preferences; they bring the
# entity decoder and the hashes along.
link fuzz_date "-lexpat -lcrypto -lz" src/update/core/Date.cpp src/update/core/XML_Qn.cpp \
    src/shell/base/XmlTree.cpp src/shell/base/Lng.cpp src/shell/base/LngTable.cpp \
    src/shell/base/LngState.cpp src/shell/base/Prefs.cpp src/shell/base/IniFile.cpp \
    src/shell/base/PathTools.cpp src/article/core/HtmlEntities.cpp src/platform/core/Hash.cpp src/platform/core/HashPosix.cpp src/platform/core/Base64.cpp \
    $base
link fuzz_extractor_lines "-lexpat -lcrypto -lz" src/plugins/core/RunExtractor.cpp tests/fuzz/extractor_stubs.cpp \
    src/update/core/FeedParse.cpp src/update/net/UrlTools.cpp src/update/core/XmlRepair.cpp \
    src/update/core/Date.cpp src/update/core/XML_Qn.cpp \
    src/shell/base/XmlTree.cpp src/shell/base/Lng.cpp src/shell/base/LngTable.cpp \
    src/shell/base/LngState.cpp src/shell/base/Prefs.cpp src/shell/base/IniFile.cpp \
    src/shell/base/PathTools.cpp src/article/core/HtmlEntities.cpp src/platform/core/Hash.cpp src/platform/core/HashPosix.cpp src/platform/core/Base64.cpp \
    $base
# The OPML and feed-bank readers link the catalogue and the language table; the downloads and the
# selection windows they sit beside are stand-ins (bank_stubs.cpp).
opml="src/discovery/core/OPML.cpp src/catalogue/core/Records.cpp src/update/core/XmlRepair.cpp \
    src/update/core/XML_Qn.cpp src/shell/base/XmlTree.cpp src/article/core/HtmlEntities.cpp \
    src/platform/core/Hash.cpp src/platform/core/HashPosix.cpp src/platform/core/Base64.cpp"
link fuzz_opml "-lexpat -lcrypto -lz" $opml $base
link fuzz_bank "-lexpat -lcrypto -lz" src/discovery/core/BankExchange.cpp \
    src/discovery/core/FeedBank.cpp src/update/core/Date.cpp src/shell/base/Lng.cpp \
    src/shell/base/LngTable.cpp src/shell/base/LngState.cpp src/shell/base/Prefs.cpp \
    src/shell/base/IniFile.cpp src/shell/base/PathTools.cpp src/catalogue/core/RssList.cpp $opml \
    tests/fuzz/bank_stubs.cpp $base
echo "fuzz targets built in $(( $(date +%s) - start )) s"
[ "$secs" -gt 0 ] || exit 0

# seed DIR FILES...: a fresh corpus folder holding copies of the files.
seed() {
    dir=$1
    shift
    mkdir -p "$dir"
    for f in "$@"; do
        [ -f "$f" ] && cp "$f" "$dir/" || true
    done
}
seed "$out/corpus-xml" "$root"/tests/data/xml/*.xml "$root"/tests/data/feeds/*.xml \
    "$root"/tests/data/hostile/*.xml
mkdir -p "$out/corpus-html"
for f in "$root"/tests/data/html/*.html; do
    [ -f "$f" ] && printf '\077' | cat - "$f" > "$out/corpus-html/seed-$(basename "$f")"
done
seed "$out/corpus-entities" "$root"/tests/data/html/*.html
seed "$out/corpus-key-value" "$root"/tests/data/prefs/* "$root"/tests/data/catalogue/* \
    "$root"/tests/data/lang/* "$root"/tests/data/hostile/*.ini
seed "$out/corpus-date" "$root"/tests/data/hostile/*.date
seed "$out/corpus-opml" "$root"/tests/data/opml/*
mkdir -p "$out/corpus-bank"
for f in "$root"/tests/data/bank/*; do
    [ -f "$f" ] || continue
    for m in 0 1; do
        printf "\\00$m" | cat - "$f" > "$out/corpus-bank/seed-$m-$(basename "$f")"
    done
done
seed "$out/corpus-extractor" "$root"/tests/data/extractors/*.out "$root"/tests/data/hostile/*.out

failed=0
# run TARGET CORPUS [OPTIONS]: -timeout 10: one input taking over 10 s is a hang.
run() {
    target=$1
    corpus=$2
    shift 2
    echo "== $target ($secs s)"
    (cd "$out" && "./$target" "$corpus" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$@" 2>"$out/$target.log") || {
        failed=1
        tail -40 "$out/$target.log"
    }
    grep -E "^stat::number_of_executed_units|^Done" "$out/$target.log" || true
}
run fuzz_is_good_xml corpus-xml -max_len=16384 -dict="$root/tests/fuzz/xml.dict"
run fuzz_html_text corpus-html -max_len=8192 -dict="$root/tests/fuzz/html_text.dict"
run fuzz_entities corpus-entities -max_len=4096 -dict="$root/tests/fuzz/html_text.dict"
run fuzz_key_value corpus-key-value -max_len=4096
run fuzz_date corpus-date -max_len=256
run fuzz_extractor_lines corpus-extractor -max_len=8192
run fuzz_opml corpus-opml -max_len=16384 -dict="$root/tests/fuzz/xml.dict"
run fuzz_bank corpus-bank -max_len=8192
echo "fuzzing took $(( $(date +%s) - start )) s in all"
exit $failed

// libFuzzer target for the reader of extractor output (UTF-16LE lines of "key=value"):
// any bytes must split and apply without a crash, no line may keep a U+0011, and the
// output bounds must hold.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "plugins/core/RunExtractor.h"
#include "update/core/FeedParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    bool over = false;
    const std::vector<std::string> lines = Extractor_SplitUtf16Lines(bytes, &over);
    if (lines.size() > EXTRACTOR_MAX_LINES) std::abort();
    for (const std::string& line : lines) {
        if (line.find('\x11') != std::string::npos) std::abort();
        if (line.size() > EXTRACTOR_MAX_LINE * 2) std::abort();
    }
    ParsedItems.clear();
    (void)Extractor_ApplyLines(lines);
    ParsedItems.clear();
    return 0;
}

// libFuzzer target for the character-reference decoders and the small text cleaners of
// article texts: any input must decode without a crash, valid UTF-8 must stay valid, and
// the UTF-8 and UTF-32 decoders must agree.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "article/core/HtmlEntities.h"
#include "platform/core/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = DecodeHtmlEntities(text);
    (void)FixCp1252Controls(text);
    (void)RemoveHtmlTags(text);
    (void)ReplaceHtmlBreaks(text, "\n");
    (void)PlainQuotes(text);
    if (!IsValidUtf8(text)) return 0;
    if (!IsValidUtf8(decoded)) std::abort();
    const std::u32string wide = Utf8ToUtf32(text);
    if (Utf32ToUtf8(DecodeHtmlEntities32(wide)) != decoded) std::abort();
    (void)DecodeHtmlEntitiesLiteral32(wide);
    return 0;
}

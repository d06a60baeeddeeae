// libFuzzer target for the HTML-to-text converter and the character-reference decoder.
// Any input must convert without a crash, a hang or a read out of bounds, and the one-pass
// reference decoder must agree with the step-by-step one; the page converted from UTF-8
// and from characters gives the same text. Built by tests/fuzz/build.sh.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "article/core/ExtractHTMLText.h"
#include "article/core/HtmlEntities.h"
#include "platform/core/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t sw = data[0];
    const std::string page(reinterpret_cast<const char*>(data + 1), size - 1);

    HtmlTextState st;
    HtmlText_Init(st, page);
    st.KeepLinks = sw & 1;
    st.KeepDefinitionLists = sw & 2;
    st.KeepImages = sw & 4;
    st.KeepLists = sw & 8;
    st.KeepTables = sw & 16;
    st.WaitForText = sw & 32;
    HtmlTextState bytes; // the page kept in UTF-8, as the tool converts it
    HtmlText_InitPage(bytes, page);
    bytes.KeepLinks = st.KeepLinks;
    bytes.KeepDefinitionLists = st.KeepDefinitionLists;
    bytes.KeepImages = st.KeepImages;
    bytes.KeepLists = st.KeepLists;
    bytes.KeepTables = st.KeepTables;
    bytes.WaitForText = st.WaitForText;
    HtmlText_Convert(bytes);
    HtmlText_Convert(st);
    if (!IsValidUtf8(st.Result)) std::abort();
    if (bytes.Result != st.Result) std::abort();

    // The scanner's functions on their own, over the whole page.
    for (int32_t next = HtmlText_NextTag(st, 1); next != 0; next = HtmlText_NextTag(st, next)) {
        if (next <= st.TagEnd || st.TagStart < 1 || st.TagEnd > st.TextLength) std::abort();
        HtmlText_GetAttribute(st.LowerText, U"alt", st.TagStart, st.TagEnd);
    }
    HtmlText_FindTag(st, "a", 1);

    const std::u32string chars = Utf8ToUtf32(page);
    if (DecodeHtmlEntities32(chars) != DecodeHtmlEntitiesLiteral32(chars)) std::abort();
    if (IsValidUtf8(page) && DecodeHtmlEntities(page) != Utf32ToUtf8(DecodeHtmlEntities32(chars)))
        std::abort();
    RemoveHtmlTags(page);
    ReplaceHtmlBreaks(page, "\n");
    PlainQuotes(page);
    HtmlText_CleanLines(page);
    FixCp1252Controls(page);
    return 0;
}

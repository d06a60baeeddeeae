// orvalis-tool html2text FILE [FLAGS]: converts an HTML page to the text a reader hears.
#include <cstdio>
#include <string>
#include <vector>

#include "article/core/ExtractHTMLText.h"
#include "tool/ToolCommand.h"

// FLAGS in decimal or with "0x" in hexadecimal; false when it is not a whole number.
static bool ParseFlags(const std::string& s, uint32_t& flags) {
    if (s.empty()) return false;
    size_t i = 0;
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        i = 2;
    }
    unsigned long long v = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull) return false;
    }
    flags = static_cast<uint32_t>(v);
    return true;
}

static int CmdHtml2Text(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Tool_Fail("usage: html2text FILE [FLAGS]", 2);
    uint32_t flags = 0;
    if (args.size() == 2 && !ParseFlags(args[1], flags))
        return Tool_Fail("FLAGS must be a number (decimal or 0x...): \"" + args[1] + "\"", 2);
    std::string page;
    if (!Tool_ReadFile(args[0], page)) return Tool_Fail("cannot read \"" + args[0] + "\"");
    // A UTF-8 byte-order mark says how the file is written; it is not part of the page.
    if (page.size() >= 3 && page.compare(0, 3, "\xEF\xBB\xBF") == 0) page.erase(0, 3);

    HtmlTextState state;
    HtmlText_InitPage(state, std::move(page));
    HtmlText_ApplyExtractFlags(state, flags);
    HtmlText_Convert(state);
    if (!state.Result.empty() &&
        std::fwrite(state.Result.data(), 1, state.Result.size(), stdout) != state.Result.size())
        return Tool_Fail("cannot write the result");
    if (std::fflush(stdout) != 0) return Tool_Fail("cannot write the result");
    return 0;
}

static ToolCommand reg("html2text", "html2text FILE [FLAGS]", &CmdHtml2Text);

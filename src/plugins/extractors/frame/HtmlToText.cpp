#include "plugins/extractors/frame/HtmlToText.h"

#include "platform/core/Text.h"
#include "plugins/extractors/frame/HtmlPage.h"

#include <vector>

namespace {
struct Entity {
    const char* Name;
    unsigned char Byte;
};
} // namespace

// The HTML 4 names of the Windows-1252 characters 0x80-0x9F and 0xA1-0xFF (no yen sign);
// 0x8E has no name and is written as its number.
static const Entity kNamed[] = {
    {"&euro;", 0x80},   {"&sbquo;", 0x82},  {"&fnof;", 0x83},   {"&bdquo;", 0x84},
    {"&hellip;", 0x85}, {"&dagger;", 0x86}, {"&Dagger;", 0x87}, {"&circ;", 0x88},
    {"&permil;", 0x89}, {"&Scaron;", 0x8A}, {"&lsaquo;", 0x8B}, {"&OElig;", 0x8C},
    {"&#381;", 0x8E},   {"&lsquo;", 0x91},  {"&rsquo;", 0x92},  {"&ldquo;", 0x93},
    {"&rdquo;", 0x94},  {"&bull;", 0x95},   {"&ndash;", 0x96},  {"&mdash;", 0x97},
    {"&tilde;", 0x98},  {"&trade;", 0x99},  {"&scaron;", 0x9A}, {"&rsaquo;", 0x9B},
    {"&oelig;", 0x9C},  {"&Yuml;", 0x9F},   {"&iexcl;", 0xA1},  {"&cent;", 0xA2},
    {"&pound;", 0xA3},  {"&curren;", 0xA4}, {"&brvbar;", 0xA6}, {"&sect;", 0xA7},
    {"&uml;", 0xA8},    {"&copy;", 0xA9},   {"&ordf;", 0xAA},   {"&laquo;", 0xAB},
    {"&not;", 0xAC},    {"&shy;", 0xAD},    {"&reg;", 0xAE},    {"&macr;", 0xAF},
    {"&deg;", 0xB0},    {"&plusmn;", 0xB1}, {"&sup2;", 0xB2},   {"&sup3;", 0xB3},
    {"&acute;", 0xB4},  {"&micro;", 0xB5},  {"&para;", 0xB6},   {"&middot;", 0xB7},
    {"&cedil;", 0xB8},  {"&sup1;", 0xB9},   {"&ordm;", 0xBA},   {"&raquo;", 0xBB},
    {"&frac14;", 0xBC}, {"&frac12;", 0xBD}, {"&frac34;", 0xBE}, {"&iquest;", 0xBF},
    {"&Agrave;", 0xC0}, {"&Aacute;", 0xC1}, {"&Acirc;", 0xC2},  {"&Atilde;", 0xC3},
    {"&Auml;", 0xC4},   {"&Aring;", 0xC5},  {"&AElig;", 0xC6},  {"&Ccedil;", 0xC7},
    {"&Egrave;", 0xC8}, {"&Eacute;", 0xC9}, {"&Ecirc;", 0xCA},  {"&Euml;", 0xCB},
    {"&Igrave;", 0xCC}, {"&Iacute;", 0xCD}, {"&Icirc;", 0xCE},  {"&Iuml;", 0xCF},
    {"&ETH;", 0xD0},    {"&Ntilde;", 0xD1}, {"&Ograve;", 0xD2}, {"&Oacute;", 0xD3},
    {"&Ocirc;", 0xD4},  {"&Otilde;", 0xD5}, {"&Ouml;", 0xD6},   {"&times;", 0xD7},
    {"&Oslash;", 0xD8}, {"&Ugrave;", 0xD9}, {"&Uacute;", 0xDA}, {"&Ucirc;", 0xDB},
    {"&Uuml;", 0xDC},   {"&Yacute;", 0xDD}, {"&THORN;", 0xDE},  {"&szlig;", 0xDF},
    {"&agrave;", 0xE0}, {"&aacute;", 0xE1}, {"&acirc;", 0xE2},  {"&atilde;", 0xE3},
    {"&auml;", 0xE4},   {"&aring;", 0xE5},  {"&aelig;", 0xE6},  {"&ccedil;", 0xE7},
    {"&egrave;", 0xE8}, {"&eacute;", 0xE9}, {"&ecirc;", 0xEA},  {"&euml;", 0xEB},
    {"&igrave;", 0xEC}, {"&iacute;", 0xED}, {"&icirc;", 0xEE},  {"&iuml;", 0xEF},
    {"&eth;", 0xF0},    {"&ntilde;", 0xF1}, {"&ograve;", 0xF2}, {"&oacute;", 0xF3},
    {"&ocirc;", 0xF4},  {"&otilde;", 0xF5}, {"&ouml;", 0xF6},   {"&divide;", 0xF7},
    {"&oslash;", 0xF8}, {"&ugrave;", 0xF9}, {"&uacute;", 0xFA}, {"&ucirc;", 0xFB},
    {"&uuml;", 0xFC},   {"&yacute;", 0xFD}, {"&thorn;", 0xFE},  {"&yuml;", 0xFF},
};

// The 27 decimal references of the characters 0x80-0x9F.
static const Entity kDecimal[] = {
    {"&#8364;", 0x80}, {"&#8218;", 0x82}, {"&#402;", 0x83},  {"&#8222;", 0x84}, {"&#8230;", 0x85},
    {"&#8224;", 0x86}, {"&#8225;", 0x87}, {"&#710;", 0x88},  {"&#8240;", 0x89}, {"&#352;", 0x8A},
    {"&#8249;", 0x8B}, {"&#338;", 0x8C},  {"&#381;", 0x8E},  {"&#8216;", 0x91}, {"&#8217;", 0x92},
    {"&#8220;", 0x93}, {"&#8221;", 0x94}, {"&#8226;", 0x95}, {"&#8211;", 0x96}, {"&#8212;", 0x97},
    {"&#732;", 0x98},  {"&#8482;", 0x99}, {"&#353;", 0x9A},  {"&#8250;", 0x9B}, {"&#339;", 0x9C},
    {"&#382;", 0x9E},  {"&#376;", 0x9F},
};

std::string DecodeEntities(std::string_view text, std::string_view lineBreak) {
    std::string s = ReplaceAll(text, "\r", "\n");
    s = ReplaceAll(s, "\n", " ");
    s = ReplaceAll(s, "\x11", lineBreak);
    for (const char* br : {"<br>", "<br >", "<br/>", "<br />"})
        s = ReplaceAllNoCase(s, br, lineBreak);
    s = ReplaceAll(s, "&nbsp;", " ");
    s = ReplaceAll(s, "&quot;", "\"");
    s = ReplaceAll(s, "&rsquo;", "'");
    s = ReplaceAll(s, "&lt;", "<");
    s = ReplaceAll(s, "&gt;", ">");
    for (const Entity& e : kNamed)
        s = ReplaceAll(s, e.Name, std::string(1, static_cast<char>(e.Byte)));
    s = ReplaceAll(s, "\xA0", " ");
    for (const Entity& e : kDecimal)
        s = ReplaceAll(s, e.Name, std::string(1, static_cast<char>(e.Byte)));
    s = ReplaceAll(s, "&#39;", "'");
    s = ReplaceAll(s, "&#039;", "'");
    s = ReplaceAll(s, "&#34;", "\"");
    s = ReplaceAll(s, "&#034;", "\"");
    // Last, so that an escaped reference ("&amp;#39;") comes out as written, not decoded twice.
    s = ReplaceAll(s, "&amp;", "&");
    return s;
}

// Replaces every tag of this name with what `with` makes of it.
template <typename F> static void ReplaceEachTag(HtmlPage& page, const char* tag, F with) {
    long from = 1;
    for (;;) {
        const long p = FindTag(page, from, tag);
        if (p == 0) return;
        const std::string replacement = with(p);
        const size_t len = TagText(page, p).size();
        std::string text = page.Text;
        text.replace(static_cast<size_t>(p - 1), len, replacement);
        SetPage(page, std::move(text));
        from = p + static_cast<long>(replacement.size());
    }
}

std::string HtmlToText(std::string_view html, int options, std::string_view lineBreak) {
    HtmlPage page;
    SetPage(page, std::string(html));
    if (options & HTT_Images) {
        ReplaceEachTag(page, "img", [&](long p) {
            ParseTagAttributes(page, p);
            const std::string title = page.Attributes["title"];
            const std::string alt = page.Attributes["alt"];
            const std::string& longer = alt.size() > title.size() ? alt : title;
            return longer.empty() ? std::string() : ", " + longer + ", ";
        });
    }
    if (page.Text.find('\x11') != std::string::npos)
        SetPage(page, ReplaceAll(page.Text, "\x11", ""));
    if (options & HTT_Breaks) ReplaceEachTag(page, "br", [](long) { return std::string("\x11"); });
    if (options & HTT_RemoveLinks) RemoveElements(page, "a");
    std::string s = page.Text;
    if (options & HTT_RemoveTags) s = RemoveTags(s);
    if (options & HTT_Entities) s = DecodeEntities(s, "\n");
    if (options & HTT_TidyLines) {
        std::string joined;
        for (const std::string& line : Split(s, '\n')) {
            const std::string t = Trim(line);
            if (t.empty()) continue;
            if (!joined.empty()) joined.push_back('\n');
            joined += t;
        }
        s = joined;
    }
    if (lineBreak != "\n") s = ReplaceAll(s, "\n", lineBreak);
    return s;
}

std::string TagToText(const HtmlPage& page, long pos, int options) {
    if (pos <= 0) return {};
    return HtmlToText(TagContent(page, pos), options);
}

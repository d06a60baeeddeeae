#include "article/core/HtmlEntities.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/core/Text.h"

namespace {

struct NamedRef {
    const char* Name;
    char32_t Code;
};

// In decoding order. Windows-1252 names give U+0080-U+009F first; the last step turns
// those into their real characters, exactly as it does for raw ones.
const NamedRef kNamedRefs[] = {
    // 1
    {"quot", '"'},
    {"lt", '<'},
    {"gt", '>'},
    // 2
    {"euro", 0x80},
    {"sbquo", 0x82},
    {"fnof", 0x83},
    {"bdquo", 0x84},
    {"hellip", 0x85},
    {"Dagger", 0x87},
    {"dagger", 0x86},
    {"circ", 0x88},
    {"permil", 0x89},
    {"Scaron", 0x8A},
    {"lsaquo", 0x8B},
    {"OElig", 0x8C},
    {"lsquo", 0x91},
    {"rsquo", 0x92},
    {"ldquo", 0x93},
    {"rdquo", 0x94},
    {"bull", 0x95},
    {"ndash", 0x96},
    {"mdash", 0x97},
    {"tilde", 0x98},
    {"trade", 0x99},
    {"scaron", 0x9A},
    {"rsaquo", 0x9B},
    {"oelig", 0x9C},
    {"Yuml", 0x9F},
    // 3
    {"nbsp", ' '},
    // 4: U+00A1-U+00FF; the macron only as "hibar"
    {"iexcl", 0xA1},
    {"cent", 0xA2},
    {"pound", 0xA3},
    {"curren", 0xA4},
    {"yen", 0xA5},
    {"brvbar", 0xA6},
    {"sect", 0xA7},
    {"uml", 0xA8},
    {"copy", 0xA9},
    {"ordf", 0xAA},
    {"laquo", 0xAB},
    {"not", 0xAC},
    {"shy", 0xAD},
    {"reg", 0xAE},
    {"hibar", 0xAF},
    {"deg", 0xB0},
    {"plusmn", 0xB1},
    {"sup2", 0xB2},
    {"sup3", 0xB3},
    {"acute", 0xB4},
    {"micro", 0xB5},
    {"para", 0xB6},
    {"middot", 0xB7},
    {"cedil", 0xB8},
    {"sup1", 0xB9},
    {"ordm", 0xBA},
    {"raquo", 0xBB},
    {"frac14", 0xBC},
    {"frac12", 0xBD},
    {"frac34", 0xBE},
    {"iquest", 0xBF},
    {"Agrave", 0xC0},
    {"Aacute", 0xC1},
    {"Acirc", 0xC2},
    {"Atilde", 0xC3},
    {"Auml", 0xC4},
    {"Aring", 0xC5},
    {"AElig", 0xC6},
    {"Ccedil", 0xC7},
    {"Egrave", 0xC8},
    {"Eacute", 0xC9},
    {"Ecirc", 0xCA},
    {"Euml", 0xCB},
    {"Igrave", 0xCC},
    {"Iacute", 0xCD},
    {"Icirc", 0xCE},
    {"Iuml", 0xCF},
    {"ETH", 0xD0},
    {"Ntilde", 0xD1},
    {"Ograve", 0xD2},
    {"Oacute", 0xD3},
    {"Ocirc", 0xD4},
    {"Otilde", 0xD5},
    {"Ouml", 0xD6},
    {"times", 0xD7},
    {"Oslash", 0xD8},
    {"Ugrave", 0xD9},
    {"Uacute", 0xDA},
    {"Ucirc", 0xDB},
    {"Uuml", 0xDC},
    {"Yacute", 0xDD},
    {"THORN", 0xDE},
    {"szlig", 0xDF},
    {"agrave", 0xE0},
    {"aacute", 0xE1},
    {"acirc", 0xE2},
    {"atilde", 0xE3},
    {"auml", 0xE4},
    {"aring", 0xE5},
    {"aelig", 0xE6},
    {"ccedil", 0xE7},
    {"egrave", 0xE8},
    {"eacute", 0xE9},
    {"ecirc", 0xEA},
    {"euml", 0xEB},
    {"igrave", 0xEC},
    {"iacute", 0xED},
    {"icirc", 0xEE},
    {"iuml", 0xEF},
    {"eth", 0xF0},
    {"ntilde", 0xF1},
    {"ograve", 0xF2},
    {"oacute", 0xF3},
    {"ocirc", 0xF4},
    {"otilde", 0xF5},
    {"ouml", 0xF6},
    {"divide", 0xF7},
    {"oslash", 0xF8},
    {"ugrave", 0xF9},
    {"uacute", 0xFA},
    {"ucirc", 0xFB},
    {"uuml", 0xFC},
    {"yacute", 0xFD},
    {"thorn", 0xFE},
    {"yuml", 0xFF},
    // 5
    {"thinsp", ' '},
    {"prime", 0x2032},
    {"Prime", 0x2033},
    // 6
    {"amp", '&'},
};

constexpr size_t kLongestName = 6;

// Every name in its exact spelling, and the names without a case twin lower-cased.
// References never overlap (each starts with "&" and ends at its first ";"), and no
// replacement is a name character, so one forward pass that tries the names in this
// order gives exactly what the step-by-step replacements give.
struct NameTables {
    std::unordered_map<std::string, char32_t> Exact;
    std::unordered_map<std::string, char32_t> NoCase;
    NameTables() {
        std::unordered_map<std::string, int> lowerCount;
        for (const NamedRef& r : kNamedRefs)
            ++lowerCount[AsciiLower(r.Name)];
        for (const NamedRef& r : kNamedRefs) {
            Exact.emplace(r.Name, r.Code);
            const std::string low = AsciiLower(r.Name);
            if (lowerCount[low] == 1) NoCase.emplace(low, r.Code);
        }
    }
};

const NameTables& Tables() {
    static const NameTables tables;
    return tables;
}

bool IsAsciiAlnum(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Steps 1 to 6.
std::u32string DecodeNames(std::u32string_view t) {
    const NameTables& tables = Tables();
    std::u32string out;
    out.reserve(t.size());
    std::string name;
    const size_t n = t.size();
    for (size_t i = 0; i < n; ++i) {
        const char32_t c = t[i];
        if (c != '&') {
            out.push_back(c);
            continue;
        }
        size_t j = i + 1;
        while (j < n && j - i - 1 <= kLongestName && IsAsciiAlnum(t[j]))
            ++j;
        const size_t len = j - i - 1;
        if (len == 0 || len > kLongestName || j >= n || t[j] != ';') {
            out.push_back(c);
            continue;
        }
        name.assign(len, ' ');
        for (size_t k = 0; k < len; ++k)
            name[k] = static_cast<char>(t[i + 1 + k]);
        auto it = tables.Exact.find(name);
        if (it == tables.Exact.end()) {
            it = tables.NoCase.find(AsciiLower(name));
            if (it == tables.NoCase.end()) {
                out.push_back(c);
                continue;
            }
        }
        out.push_back(it->second);
        i = j;
    }
    return out;
}

// The number of a reference body (between "&#" and ";"): leading spaces, one sign, "x" or
// "X" for hexadecimal, digits up to the first other character. -1 when the reference names
// no character we can write (nothing readable, below 32, a surrogate, beyond U+10FFFF).
template <class View> long long RefValue(View body) {
    size_t i = 0;
    while (i < body.size() && body[i] == ' ')
        ++i;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) negative = body[i++] == '-';
    int base = 10;
    if (i < body.size() && (body[i] == 'x' || body[i] == 'X')) {
        base = 16;
        ++i;
    }
    long long v = 0;
    for (; i < body.size(); ++i) {
        const auto c = body[i];
        int d;
        if (c >= '0' && c <= '9')
            d = static_cast<int>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = static_cast<int>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = static_cast<int>(c - 'A' + 10);
        else
            break;
        v = v * base + d; // at most 7 characters: no overflow
    }
    if (negative) v = -v;
    if (v < 32 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return -1;
    return v;
}

// Position of the ";" that closes a reference starting at `amp` when it stands fewer than
// 10 characters after the "&"; npos otherwise.
size_t RefEnd(std::u32string_view t, size_t amp) {
    for (size_t k = amp + 2; k < t.size() && k < amp + 10; ++k)
        if (t[k] == ';') return k;
    return std::u32string::npos;
}

std::u32string ReplaceAll32(std::u32string_view s, std::u32string_view from, char32_t to) {
    std::u32string r;
    r.reserve(s.size());
    size_t i = 0;
    for (;;) {
        const size_t p = s.find(from, i);
        if (p == std::u32string::npos) break;
        r.append(s.substr(i, p - i));
        r.push_back(to);
        i = p + from.size();
    }
    r.append(s.substr(i));
    return r;
}

// Step 7 as written: each reference found replaces every occurrence of itself in the
// whole text, and the scan goes on one position after its "&". Quadratic, so it only runs
// on the rare texts where the single pass below could differ from it.
std::u32string DecodeNumericLiteral(std::u32string t) {
    size_t pos = 0;
    for (;;) {
        const size_t a = t.find(U"&#", pos);
        if (a == std::u32string::npos) break;
        const size_t s = RefEnd(t, a);
        if (s != std::u32string::npos) {
            const long long v = RefValue(std::u32string_view(t).substr(a + 2, s - a - 2));
            if (v >= 0) {
                const std::u32string ref = t.substr(a, s - a + 1);
                t = ReplaceAll32(t, ref, static_cast<char32_t>(v));
            }
        }
        pos = a + 1;
    }
    return t;
}

// Step 7 in one pass. It equals the step as written unless a replacement can build or
// change another reference: a reference holding a second "&", a decoded reference within
// the reach (9 characters) of one left as written, or a decoded "&" followed by "#" or a
// decoded "#" after an "&". Those cases go to the literal version.
std::u32string DecodeNumeric(const std::u32string& t) {
    std::u32string out;
    out.reserve(t.size());
    const size_t n = t.size();
    size_t lastKept = std::u32string::npos; // position in `out` of the last "&#" left as is
    for (size_t i = 0; i < n;) {
        const char32_t c = t[i];
        if (c != '&' || i + 1 >= n || t[i + 1] != '#') {
            out.push_back(c);
            ++i;
            continue;
        }
        const size_t s = RefEnd(t, i);
        long long v = -1;
        if (s != std::u32string::npos)
            v = RefValue(std::u32string_view(t).substr(i + 2, s - i - 2));
        if (v < 0) {
            lastKept = out.size();
            out.push_back('&');
            ++i;
            continue;
        }
        bool unsafe = lastKept != std::u32string::npos && out.size() - lastKept <= 9;
        for (size_t k = i + 2; k < s && !unsafe; ++k)
            unsafe = t[k] == '&';
        if (v == '&' && s + 1 < n && t[s + 1] == '#') unsafe = true;
        if (v == '#' && !out.empty() && out.back() == '&') unsafe = true;
        if (unsafe) return DecodeNumericLiteral(t);
        out.push_back(static_cast<char32_t>(v));
        i = s + 1;
    }
    return out;
}

// ASCII-case-insensitive replacement of every occurrence, left to right.
std::u32string ReplaceAllNoCase32(std::u32string_view s, std::u32string_view from, char32_t to) {
    auto low = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    std::u32string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        bool hit = i + from.size() <= s.size();
        for (size_t k = 0; hit && k < from.size(); ++k)
            hit = low(s[i + k]) == low(from[k]);
        if (hit) {
            r.push_back(to);
            i += from.size();
        } else {
            r.push_back(s[i++]);
        }
    }
    return r;
}

bool HasAmpersand(std::string_view s) {
    return s.find('&') != std::string_view::npos;
}

} // namespace

void FixCp1252Controls32(std::u32string& text) {
    for (char32_t& c : text)
        if (c >= 0x80 && c <= 0x9F) c = Cp1252ToCodePoint(static_cast<unsigned char>(c));
}

std::u32string DecodeHtmlEntities32(std::u32string_view text) {
    std::u32string t =
        text.find(U'&') == std::u32string_view::npos ? std::u32string(text) : DecodeNames(text);
    if (t.find(U"&#") != std::u32string::npos) t = DecodeNumeric(t);
    FixCp1252Controls32(t);
    return t;
}

std::u32string DecodeHtmlEntitiesLiteral32(std::u32string_view text) {
    const NameTables& tables = Tables();
    std::u32string t(text);
    for (const NamedRef& r : kNamedRefs) {
        std::u32string pat = U"&";
        for (const char* c = r.Name; *c; ++c)
            pat.push_back(static_cast<char32_t>(*c));
        pat.push_back(';');
        if (tables.NoCase.count(AsciiLower(r.Name)))
            t = ReplaceAllNoCase32(t, pat, r.Code);
        else
            t = ReplaceAll32(t, pat, r.Code);
    }
    t = DecodeNumericLiteral(t);
    FixCp1252Controls32(t);
    return t;
}

namespace {

// The same steps on UTF-8 bytes, for valid UTF-8. Names and numbers are ASCII, so a byte
// walk finds the same references as a character walk; only the reach of a numeric
// reference (in characters) needs counting.

// IsValidUtf8 with a quick walk over the ASCII part, eight bytes at a time.
bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ull) break;
    }
    return IsValidUtf8(s.substr(i));
}

// True when the text holds a character U+0080-U+009F (C2 80 .. C2 9F).
bool HasCp1252Control(std::string_view t) {
    for (size_t i = t.find('\xC2'); i != std::string_view::npos; i = t.find('\xC2', i + 1))
        if (i + 1 < t.size() && static_cast<unsigned char>(t[i + 1]) <= 0x9F &&
            static_cast<unsigned char>(t[i + 1]) >= 0x80)
            return true;
    return false;
}

inline size_t Utf8LeadLength(unsigned char b) {
    return b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
}

std::string DecodeNames8(std::string_view t) {
    const NameTables& tables = Tables();
    std::string out;
    out.reserve(t.size());
    std::string name;
    const size_t n = t.size();
    size_t i = 0;
    while (i < n) {
        const size_t amp = t.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(t.substr(i));
            break;
        }
        out.append(t.substr(i, amp - i));
        size_t j = amp + 1;
        while (j < n && j - amp - 1 <= kLongestName &&
               IsAsciiAlnum(static_cast<unsigned char>(t[j])))
            ++j;
        const size_t len = j - amp - 1;
        if (len == 0 || len > kLongestName || j >= n || t[j] != ';') {
            out.push_back('&');
            i = amp + 1;
            continue;
        }
        name.assign(t.substr(amp + 1, len));
        auto it = tables.Exact.find(name);
        if (it == tables.Exact.end()) {
            it = tables.NoCase.find(AsciiLower(name));
            if (it == tables.NoCase.end()) {
                out.push_back('&');
                i = amp + 1;
                continue;
            }
        }
        Utf8Append(out, it->second);
        i = j + 1;
    }
    return out;
}

// Byte index of the ";" standing fewer than 10 characters after the "&" at `amp`, or npos.
size_t RefEnd8(std::string_view t, size_t amp) {
    size_t k = amp + 2;
    for (int chars = 2; k < t.size() && chars < 10; ++chars) {
        if (t[k] == ';') return k;
        k += Utf8LeadLength(static_cast<unsigned char>(t[k]));
    }
    return std::string_view::npos;
}

// True when `s` from byte `from` to its end holds at most `most` characters.
bool AtMostChars(std::string_view s, size_t from, size_t most) {
    size_t count = 0;
    for (size_t i = from; i < s.size(); i += Utf8LeadLength(static_cast<unsigned char>(s[i])))
        if (++count > most) return false;
    return true;
}

// DecodeNumeric on bytes; false when a case for the literal version was met.
bool DecodeNumeric8(std::string_view t, std::string& out) {
    out.clear();
    out.reserve(t.size());
    const size_t n = t.size();
    size_t lastKept = std::string::npos;
    size_t i = 0;
    while (i < n) {
        const size_t amp = t.find("&#", i);
        if (amp == std::string_view::npos) {
            out.append(t.substr(i));
            break;
        }
        out.append(t.substr(i, amp - i));
        const size_t s = RefEnd8(t, amp);
        long long v = -1;
        if (s != std::string_view::npos) v = RefValue(t.substr(amp + 2, s - amp - 2));
        if (v < 0) {
            lastKept = out.size();
            out.push_back('&');
            i = amp + 1;
            continue;
        }
        bool unsafe = lastKept != std::string::npos && AtMostChars(out, lastKept, 9);
        if (!unsafe && t.substr(amp + 2, s - amp - 2).find('&') != std::string_view::npos)
            unsafe = true;
        if (v == '&' && s + 1 < n && t[s + 1] == '#') unsafe = true;
        if (v == '#' && !out.empty() && out.back() == '&') unsafe = true;
        if (unsafe) return false;
        Utf8Append(out, static_cast<char32_t>(v));
        i = s + 1;
    }
    return true;
}

} // namespace

std::string DecodeHtmlEntities(std::string_view text) {
    if (!HasAmpersand(text)) return FixCp1252Controls(text);
    const size_t first = text.find('&');
    if (!ValidUtf8(text.substr(first))) {
        // Invalid bytes are read as U+FFFD by the character walk.
        std::string out = FixCp1252Controls(text.substr(0, first));
        out += Utf32ToUtf8(DecodeHtmlEntities32(Utf8ToUtf32(text.substr(first))));
        return out;
    }
    std::string t = DecodeNames8(text);
    if (t.find("&#") != std::string::npos) {
        std::string numeric;
        if (DecodeNumeric8(t, numeric))
            t.swap(numeric);
        else
            t = Utf32ToUtf8(DecodeNumericLiteral(Utf8ToUtf32(t)));
    }
    if (HasCp1252Control(t)) t = FixCp1252Controls(t);
    return t;
}

std::string FixCp1252Controls(std::string_view text) {
    // U+0080-U+009F are the two bytes C2 80 .. C2 9F; everything else passes untouched, in
    // runs between the C2 bytes.
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    const size_t n = text.size();
    size_t run = 0;
    for (size_t i = text.find('\xC2'); i != std::string_view::npos; i = text.find('\xC2', i + 1)) {
        if (i + 1 >= n) break;
        const unsigned char b2 = static_cast<unsigned char>(text[i + 1]);
        if (b2 < 0x80 || b2 > 0x9F) continue;
        out.append(text.substr(run, i - run));
        Utf8Append(out, Cp1252ToCodePoint(b2));
        run = i + 2;
        ++i;
    }
    out.append(text.substr(run));
    return out;
}

std::string RemoveHtmlTags(std::string_view text) {
    // A tag runs from a "<" to the ">" that brings the counts back to equal: that is the
    // ">" matching the "<" as brackets. Matching them all with a stack in one pass gives
    // the same tags as counting from each "<" in turn, and removing a balanced tag does not
    // change how the others match.
    const size_t n = text.size();
    std::vector<size_t> open;
    std::vector<size_t> match; // for each "<" in order: position of its ">" or npos
    std::vector<size_t> opens;
    for (size_t i = 0; i < n; ++i) {
        if (text[i] == '<') {
            open.push_back(opens.size());
            opens.push_back(i);
            match.push_back(std::string::npos);
        } else if (text[i] == '>' && !open.empty()) {
            match[open.back()] = i;
            open.pop_back();
        }
    }
    if (opens.empty()) return std::string(text);
    std::string out;
    out.reserve(n);
    size_t i = 0;
    for (size_t k = 0; k < opens.size(); ++k) {
        const size_t p = opens[k];
        if (p < i || match[k] == std::string::npos) continue; // inside a removed tag, or text
        out.append(text.substr(i, p - i));
        i = match[k] + 1;
    }
    out.append(text.substr(i));
    return out;
}

std::string ReplaceHtmlBreaks(std::string_view text, std::string_view replacement) {
    static const char* const kBreaks[] = {"<br>", "<br >", "<br/>", "<br />"};
    std::string r(text);
    for (const char* b : kBreaks)
        if (FindNoCase(r, b) != std::string::npos) r = ReplaceAllNoCase(r, b, replacement);
    return r;
}

std::string PlainQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        if (b == 0xC2 && i + 1 < n) {
            const unsigned char b2 = static_cast<unsigned char>(text[i + 1]);
            if (b2 == 0x91 || b2 == 0x92) {
                out.push_back('\'');
                ++i;
                continue;
            }
            if (b2 == 0x93 || b2 == 0x94) {
                out.push_back('"');
                ++i;
                continue;
            }
            if (b2 == 0xA0) {
                out.push_back(' ');
                ++i;
                continue;
            }
        } else if (b == 0xE2 && i + 2 < n && static_cast<unsigned char>(text[i + 1]) == 0x80) {
            const unsigned char b3 = static_cast<unsigned char>(text[i + 2]);
            if (b3 == 0x98 || b3 == 0x99) { // U+2018 U+2019
                out.push_back('\'');
                i += 2;
                continue;
            }
            if (b3 == 0x9C || b3 == 0x9D) { // U+201C U+201D
                out.push_back('"');
                i += 2;
                continue;
            }
        }
        out.push_back(static_cast<char>(b));
    }
    return out;
}

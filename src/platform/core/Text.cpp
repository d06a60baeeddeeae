#include "platform/core/Text.h"

#include <algorithm>
#include <climits>
#include <cstring>

static size_t DecodeOne(std::string_view s, size_t i, char32_t& out) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        out = c;
        return 1;
    }
    int need = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((c & 0xE0) == 0xC0) {
        need = 1;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        need = 2;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        need = 3;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        out = 0xFFFD;
        return 1;
    }
    if (i + static_cast<size_t>(need) >= s.size()) {
        out = 0xFFFD;
        return 1;
    }
    for (int k = 1; k <= need; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) {
            out = 0xFFFD;
            return static_cast<size_t>(k);
        }
        cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    out = cp;
    return static_cast<size_t>(need) + 1;
}

std::u32string Utf8ToUtf32(std::string_view s) {
    // Sized once and written through a pointer: this runs over whole pages.
    std::u32string r(s.size(), U'\0');
    char32_t* out = r.data();
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            *out++ = c;
            ++i;
            continue;
        }
        char32_t cp;
        i += DecodeOne(s, i, cp);
        *out++ = cp;
    }
    r.resize(static_cast<size_t>(out - r.data()));
    return r;
}

void Utf8Append(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c <= 0x10FFFF) {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        Utf8Append(out, 0xFFFD);
    }
}

static size_t Utf8Size(char32_t c) {
    if (c < 0x80) return 1;
    if (c < 0x800) return 2;
    if (c < 0x10000) return 3;
    return c <= 0x10FFFF ? 4 : 3; // out of range becomes U+FFFD
}

std::string Utf32ToUtf8(std::u32string_view s) {
    size_t size = 0;
    for (char32_t c : s)
        size += Utf8Size(c);
    std::string r(size, '\0');
    char* out = r.data();
    for (char32_t c : s) {
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000 || c > 0x10FFFF) {
            if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return r;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t c;
        i += DecodeOne(s, i, c);
        if (c >= 0x10000) {
            c -= 0x10000;
            r.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            r.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            r.push_back(static_cast<char16_t>(c));
        }
    }
    return r;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        Utf8Append(r, c);
    }
    return r;
}

std::string Utf8ToUtf16LEBytes(std::string_view s) {
    const std::u16string w = Utf8ToUtf16(s);
    std::string r;
    r.reserve(w.size() * 2);
    for (char16_t c : w) {
        r.push_back(static_cast<char>(c & 0xFF));
        r.push_back(static_cast<char>(c >> 8));
    }
    return r;
}

std::string Utf16LEBytesToUtf8(std::string_view bytes) {
    std::u16string w;
    w.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        w.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return Utf16ToUtf8(w);
}

bool IsValidUtf8(std::string_view s) {
    // The well-formed byte sequences of the Unicode standard (no overlong form, no
    // surrogate, nothing beyond U+10FFFF): exactly what DecodeOne reads without U+FFFD.
    // Runs of ASCII are skipped eight bytes at a time.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            const uint64_t w = LoadBytes8(p + i);
            const uint64_t high = w & 0x8080808080808080ull;
            if (!high) {
                i += 8;
                continue;
            }
            i += FirstFlaggedByte(high); // the first byte 0x80 and above
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t len = Utf8SequenceLength(p + i, n - i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

static const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char c) {
    if (c >= 0x80 && c < 0xA0) return kCp1252High[c - 0x80];
    return c;
}

std::string Cp1252ToUtf8(std::string_view s) {
    std::string r;
    r.reserve(s.size() + s.size() / 8);
    for (char ch : s)
        Utf8Append(r, Cp1252ToCodePoint(static_cast<unsigned char>(ch)));
    return r;
}

std::string Utf8ToCp1252(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t c;
        i += DecodeOne(s, i, c);
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            r.push_back(static_cast<char>(c));
            continue;
        }
        char out = '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == c) {
                out = static_cast<char>(0x80 + k);
                break;
            }
        r.push_back(out);
    }
    return r;
}

size_t Utf8Length(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size();) {
        char32_t c;
        i += DecodeOne(s, i, c);
        ++n;
    }
    return n;
}

size_t Utf8Offset(std::string_view s, size_t chars) {
    size_t i = 0;
    while (chars > 0 && i < s.size()) {
        char32_t c;
        i += DecodeOne(s, i, c);
        --chars;
    }
    return i;
}

std::string Utf8Left(std::string_view s, size_t chars) {
    return std::string(s.substr(0, Utf8Offset(s, chars)));
}

std::string Utf8Mid(std::string_view s, size_t start, size_t chars) {
    const size_t b = Utf8Offset(s, start);
    if (chars == std::string::npos) return std::string(s.substr(b));
    const size_t e = b + Utf8Offset(s.substr(b), chars);
    return std::string(s.substr(b, e - b));
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
static char AsciiUpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string AsciiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiLower(c);
    return r;
}

std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AsciiUpperChar(c);
    return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool StartsWithNoCase(std::string_view s, std::string_view p) {
    return s.size() >= p.size() && EqualsNoCase(s.substr(0, p.size()), p);
}

bool EndsWithNoCase(std::string_view s, std::string_view p) {
    return s.size() >= p.size() && EqualsNoCase(s.substr(s.size() - p.size()), p);
}

size_t FindNoCase(std::string_view s, std::string_view needle, size_t from) {
    if (needle.empty()) return from <= s.size() ? from : std::string::npos;
    if (needle.size() > s.size()) return std::string::npos;
    const char first = AsciiLower(needle[0]);
    for (size_t i = from; i + needle.size() <= s.size(); ++i) {
        if (AsciiLower(s[i]) != first) continue;
        if (EqualsNoCase(s.substr(i, needle.size()), needle)) return i;
    }
    return std::string::npos;
}

char32_t UnicodeLower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c >= 0x100 && c <= 0x137) return c | 1;
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
    if (c >= 0x14A && c <= 0x177) return c | 1;
    if (c == 0x178) return 0xFF;
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c + 1 : c;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

char32_t UnicodeUpper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x137) return c & ~static_cast<char32_t>(1);
    if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
    if (c >= 0x14A && c <= 0x177) return c & ~static_cast<char32_t>(1);
    if (c >= 0x179 && c <= 0x17E) return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return c - 32;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    return c;
}

std::string Utf8Lower(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            r.push_back(AsciiLower(static_cast<char>(b)));
            ++i;
            continue;
        }
        char32_t c;
        i += DecodeOne(s, i, c);
        Utf8Append(r, UnicodeLower(c));
    }
    return r;
}

std::string Utf8Upper(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            r.push_back(AsciiUpperChar(static_cast<char>(b)));
            ++i;
            continue;
        }
        char32_t c;
        i += DecodeOne(s, i, c);
        Utf8Append(r, UnicodeUpper(c));
    }
    return r;
}

static bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
static bool IsSpaceAny(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string TrimBlanks(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpaceAny(s[b]))
        ++b;
    while (e > b && IsSpaceAny(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsSpaceAny(s[b]))
        ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsSpaceAny(s[e - 1]))
        --e;
    return std::string(s.substr(0, e));
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    for (;;) {
        const size_t p = s.find(from, i);
        if (p == std::string_view::npos) break;
        r.append(s.substr(i, p - i));
        r.append(to);
        i = p + from.size();
    }
    r.append(s.substr(i));
    return r;
}

std::string ReplaceAllNoCase(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    for (;;) {
        const size_t p = FindNoCase(s, from, i);
        if (p == std::string::npos) break;
        r.append(s.substr(i, p - i));
        r.append(to);
        i = p + from.size();
    }
    r.append(s.substr(i));
    return r;
}

std::vector<std::string> Split(std::string_view s, char sep) {
    std::vector<std::string> r;
    size_t i = 0;
    for (;;) {
        const size_t p = s.find(sep, i);
        if (p == std::string_view::npos) {
            r.emplace_back(s.substr(i));
            break;
        }
        r.emplace_back(s.substr(i, p - i));
        i = p + 1;
    }
    return r;
}

int64_t ValInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsSpaceAny(s[i]))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        neg = s[i] == '-';
        ++i;
    }
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v > (INT64_MAX - 9) / 10) {
            v = INT64_MAX;
            break;
        }
        v = v * 10 + (s[i] - '0');
    }
    return neg ? -v : v;
}

int32_t ValInt32(std::string_view s) {
    const int64_t v = ValInt(s);
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string ToNativeSeparators(std::string_view path) {
    // '/' on every system: Windows takes it in every path, and the program's own path
    // code (folders ending in '/', parents found at the last '/') then runs unchanged.
    std::string r(path);
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

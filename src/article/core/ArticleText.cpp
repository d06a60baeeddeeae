#include "article/core/ArticleText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "article/core/ExtractHTMLText.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"

// ---------------------------------------------------------------- helpers

// Spaces removed at both ends (only spaces: the rules speak of spaces).
static std::string TrimSpaces(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ')
        ++a;
    while (b > a && s[b - 1] == ' ')
        --b;
    return std::string(s.substr(a, b - a));
}

static std::u32string TrimSpaces32(std::u32string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == U' ')
        ++a;
    while (b > a && s[b - 1] == U' ')
        --b;
    return std::u32string(s.substr(a, b - a));
}

// PlainQuotes, then lower-cased, as characters: one pass over the decoded text, with the
// same character positions as the text itself.
static char32_t PlainQuote(char32_t c) {
    switch (c) {
    case 0x91:
    case 0x92:
    case 0x2018:
    case 0x2019:
        return U'\'';
    case 0x93:
    case 0x94:
    case 0x201C:
    case 0x201D:
        return U'"';
    case 0xA0:
        return U' ';
    default:
        return c;
    }
}

static std::u32string SearchForm(std::string_view text) {
    std::u32string s = Utf8ToUtf32(text);
    for (char32_t& c : s)
        c = c < 0x80 ? (c >= U'A' && c <= U'Z' ? c + 32 : c) : UnicodeLower(PlainQuote(c));
    return s;
}

static std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (;;) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

// True when `key` is a whole number written back the same way: an optional "-" and
// digits without a leading zero (or "0" alone), small enough to be read as a number.
static bool IsPlainNumber(std::string_view key) {
    std::string_view d = key;
    if (!d.empty() && d[0] == '-') d.remove_prefix(1);
    if (d.empty() || d.size() > 18) return false;
    for (char c : d)
        if (c < '0' || c > '9') return false;
    if (d.size() > 1 && d[0] == '0') return false;
    if (d == "0" && key.size() > 1) return false; // "-0" reads back as "0"
    return true;
}

// ---------------------------------------------------------------- page clean-up

std::string CleanPage_FilterLines(std::string_view text) {
    static constexpr std::string_view noise = "rss#tweet#tweeter#";
    std::string out;
    out.reserve(text.size() + 1);
    std::unordered_set<std::string> kept;
    for (std::string_view line : SplitLines(text)) {
        std::string_view trimmed = line;
        while (!trimmed.empty() && trimmed.front() == ' ')
            trimmed.remove_prefix(1);
        while (!trimmed.empty() && trimmed.back() == ' ')
            trimmed.remove_suffix(1);
        std::string key = Utf8Lower(trimmed);
        if (IsPlainNumber(key)) continue;
        if (key.size() < noise.size() && noise.find(key + "#") != std::string_view::npos) continue;
        if (key.rfind("(image", 0) == 0 && key.back() == ')') continue;
        if (!kept.insert(std::move(key)).second) continue;
        out.append(line);
        out.push_back('\n');
    }
    return out;
}

// Cut a clue line as the search wants it: trimmed, at most 100 characters; a line of 23
// characters or more ends before its first "." and, when it holds "[", before the
// character that precedes the "[".
static std::u32string ClueLine(std::string_view line) {
    std::u32string l = TrimSpaces32(Utf8ToUtf32(line));
    if (l.size() > 100) l.resize(100);
    if (l.size() >= 23) {
        const size_t dot = l.find(U'.');
        if (dot != std::u32string::npos) l.resize(dot);
        const size_t bracket = l.find(U'[');
        if (bracket != std::u32string::npos) l.resize(bracket > 0 ? bracket - 1 : 0);
    }
    for (char32_t& c : l)
        c = UnicodeLower(PlainQuote(c));
    return l;
}

std::string CleanPage_FindStart(std::string_view text, std::string_view title,
                                std::string_view clue) {
    const std::u32string low = SearchForm(text);
    const std::u32string t = SearchForm(title);
    auto find = [&](const std::u32string& what) -> size_t {
        if (what.empty()) return std::u32string::npos;
        return low.find(what);
    };

    size_t start = find(t);
    if (start == std::u32string::npos) {
        const size_t dash = t.find(U" - ");
        if (dash != std::u32string::npos) start = find(TrimSpaces32(t.substr(0, dash)));
    }
    if (start == std::u32string::npos) {
        const size_t colon = t.find(U" : ");
        if (colon != std::u32string::npos) {
            const std::u32string after = TrimSpaces32(t.substr(colon + 3));
            start = find(after);
            if (start == std::u32string::npos) {
                const size_t paren = after.find(U'(');
                if (paren != std::u32string::npos)
                    start = find(TrimSpaces32(after.substr(0, paren)));
            }
            if (start == std::u32string::npos) start = find(TrimSpaces32(t.substr(0, colon)));
        }
    }

    // The description's first two lines: the first found past the page's first character.
    size_t described = std::u32string::npos;
    {
        const std::string plain = ReplaceAll(clue, "\r", "");
        const std::vector<std::string_view> lines = SplitLines(plain);
        for (size_t i = 0; i < lines.size() && i < 2; ++i) {
            const std::u32string l = ClueLine(lines[i]);
            const size_t at = l.empty() ? std::u32string::npos : low.find(l);
            if (at != std::u32string::npos && at >= 1) {
                described = at;
                break;
            }
        }
    }

    // Cut point: the number of characters before the article's start.
    size_t cut = described != std::u32string::npos ? described
                 : start != std::u32string::npos   ? start
                                                   : 0;
    std::string result;
    if (cut > 0 && cut < low.size()) {
        const size_t at = Utf8Offset(text, cut); // the same character, as a byte offset
        result.reserve(text.size() + 32);
        result.append(text.substr(at));
        result.append("\r\n=== Haut de texte ====\r\n");
        result.append(text.substr(0, at));
    } else {
        result.assign(text);
    }

    // A first line that the second repeats goes.
    const size_t lf1 = result.find('\n');
    if (lf1 != std::string::npos) {
        const size_t lf2 = result.find('\n', lf1 + 1);
        const std::string_view first(result.data(), lf1);
        const std::string_view second = std::string_view(result).substr(
            lf1 + 1, lf2 == std::string::npos ? std::string::npos : lf2 - lf1 - 1);
        auto norm = [](std::string_view s) { return Utf8Lower(PlainQuotes(Trim(s))); };
        if (norm(first) == norm(second)) result.erase(0, lf1 + 1);
    }
    return result;
}

std::string CleanPage_CrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

static std::string Fixed2(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.2f", v);
    return b;
}

std::string CleanPage_Statistics(int64_t bytes, int32_t downloadMs, size_t characters,
                                 int64_t extractMs) {
    return "\r\nT\xC3\xA9l\xC3\xA9"
           "chargement de " +
           Fixed2(static_cast<double>(bytes) / 1024.0) + " Ko en " +
           Fixed2(static_cast<double>(downloadMs) / 1000.0) + " secondes. Extraction de " +
           Fixed2(static_cast<double>(characters) / 1024.0) + " Ko en " +
           Fixed2(static_cast<double>(extractMs) / 1000.0) + " secondes.";
}

std::string CleanPage_Build(const CleanPageInput& in, const std::function<void(int)>& progress) {
    HtmlTextState state;
    HtmlText_Init(state, in.Html);
    HtmlText_ApplyExtractFlags(state, in.ExtractFlags);
    const auto started = std::chrono::steady_clock::now();
    HtmlText_Convert(state, progress);
    if (state.Result.empty()) return {};
    std::string text = CleanPage_FilterLines(state.Result);
    state = HtmlTextState{}; // the page's copies are no longer needed
    text = CleanPage_FindStart(text, in.Title, in.Clue);
    text = CleanPage_CrLf(text);
    text += "\r\nTitre = " + in.Title + "\r\nSource = " + in.Url;
    const int64_t elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - started)
                                .count();
    text += CleanPage_Statistics(in.Bytes, in.Milliseconds, Utf8Length(text), elapsed);
    if (!in.Channel.empty()) text = "Chaine YouTube : " + in.Channel + "\r\n" + text;
    return text;
}

// ---------------------------------------------------------------- links

static std::string WithoutStars(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '*'), s.end());
    return s;
}

std::string GetArticleLinks(std::string_view html) {
    static constexpr int maxLinks = 25;
    HtmlTextState state;
    HtmlText_Init(state, html);
    std::vector<ArticleLink> links;
    std::unordered_set<std::string> seen;
    int32_t pos = 1;
    while (static_cast<int>(links.size()) < maxLinks) {
        const int32_t after = HtmlText_FindTag(state, std::string_view("a"), pos);
        if (after == 0) break;
        const std::string url =
            WithoutStars(HtmlText_GetAttribute(state, "href", state.TagStart, state.TagEnd));
        pos = after;
        if (url.empty()) continue;
        const int32_t close = HtmlText_FindTag(state, std::string_view("/a"), after);
        if (close == 0) continue;
        const int32_t from = after, to = state.TagStart; // the text between the two tags
        const std::string inner = to > from
                                      ? Utf32ToUtf8(std::u32string_view(state.Text)
                                                        .substr(static_cast<size_t>(from - 1),
                                                                static_cast<size_t>(to - from)))
                                      : std::string();
        const std::string text = WithoutStars(DecodeHtmlEntities(RemoveHtmlTags(inner)));
        if (seen.insert(Utf8Lower(url)).second) links.push_back({url, text});
        pos = close;
    }
    std::string out;
    for (const ArticleLink& l : links)
        out += l.Address + "*" + l.Text + "*";
    return out;
}

std::vector<ArticleLink> ArticleLinks_Parse(std::string_view links) {
    std::vector<ArticleLink> out;
    const std::vector<std::string> f = Split(links, '*');
    for (size_t i = 0; i + 1 < f.size(); i += 2)
        out.push_back({f[i], f[i + 1]});
    return out;
}

std::string ArticleLinks_Address(std::string_view links, int n) {
    if (n < 0) return {};
    const std::vector<ArticleLink> all = ArticleLinks_Parse(links);
    return static_cast<size_t>(n) < all.size() ? all[static_cast<size_t>(n)].Address
                                               : std::string();
}

bool ArticleLink_IsOpenable(std::string_view address) {
    for (std::string_view scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (StartsWithNoCase(address, scheme) && address.size() > scheme.size()) return true;
    return false;
}

// ---------------------------------------------------------------- encoding

std::string UrlEncodeText(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool encode = (c >= 1 && c <= 47) || ch == ':' || ch == ';' || ch == '?' ||
                            ch == '<' || ch == '=' || ch == '>' || ch == '\\';
        if (encode) {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back(ch);
        }
    }
    return TrimSpaces(out);
}

// ---------------------------------------------------------------- saving

std::string SaveArticle_FileName(std::string_view title) {
    std::string name;
    for (char c : title)
        if (c != '?' && c != ':' && c != '\\' && c != '/') name.push_back(c);
    return name + ".Txt";
}

std::string SaveArticle_Bytes(std::string_view text, bool ansi, size_t* lost) {
    if (lost) *lost = 0;
    if (!ansi) return "\xEF\xBB\xBF" + std::string(text);
    // Windows-1252 byte by byte; each character it cannot hold comes out as "?".
    static const std::unordered_map<char32_t, char> upper = [] {
        std::unordered_map<char32_t, char> m;
        for (int b = 0x80; b < 0x100; ++b)
            m[Cp1252ToCodePoint(static_cast<unsigned char>(b))] = static_cast<char>(b);
        return m;
    }();
    std::string out;
    out.reserve(text.size());
    size_t n = 0;
    for (char32_t c : Utf8ToUtf32(text)) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (auto it = upper.find(c); it != upper.end()) {
            out.push_back(it->second);
        } else {
            out.push_back('?');
            ++n;
        }
    }
    if (lost) *lost = n;
    return out;
}

bool SaveArticle_Write(const std::string& path, std::string_view text, bool ansi, size_t* lost) {
    return File_WriteAtomic(path, SaveArticle_Bytes(text, ansi, lost));
}

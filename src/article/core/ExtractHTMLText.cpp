#include "article/core/ExtractHTMLText.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>

#include "platform/core/Text.h"

namespace {

constexpr size_t npos = std::u32string::npos;

// A walk for the ">" that balances a "<" longer than this switches to the bracket table,
// so a page full of unbalanced "<" is not walked to its end once per "<". The fuzz build
// sets it low so that its small inputs reach the table too.
#ifndef ORVALIS_HTML_DIRECT_WALK_LIMIT
#define ORVALIS_HTML_DIRECT_WALK_LIMIT 4096
#endif
constexpr size_t kDirectWalkLimit = ORVALIS_HTML_DIRECT_WALK_LIMIT;

std::u32string U32(std::string_view s) {
    return Utf8ToUtf32(s);
}

// 0-based index from a 1-based position (0 or less means the start).
size_t Index(int32_t pos) {
    return pos > 0 ? static_cast<size_t>(pos - 1) : 0;
}
int32_t Pos(size_t index) {
    return static_cast<int32_t>(index + 1);
}

void BuildBracketMatch(HtmlTextState& st) {
    const std::u32string& low = st.LowerText;
    st.BracketMatch.assign(low.size(), -1);
    std::vector<int32_t> open;
    for (size_t i = 0; i < low.size(); ++i) {
        if (low[i] == '<') {
            open.push_back(static_cast<int32_t>(i));
        } else if (low[i] == '>' && !open.empty()) {
            st.BracketMatch[open.back()] = static_cast<int32_t>(i);
            open.pop_back();
        }
    }
    st.BracketMatchBuilt = true;
}

// Index of the ">" where the counts of "<" and ">" from `start` (a "<") become equal.
size_t BalancedEnd(HtmlTextState& st, size_t start) {
    const std::u32string& low = st.LowerText;
    if (!st.BracketMatchBuilt) {
        const size_t limit = std::min(low.size(), start + kDirectWalkLimit);
        long depth = 0;
        size_t i = start;
        for (; i < limit; ++i) {
            if (low[i] == '<')
                ++depth;
            else if (low[i] == '>' && --depth == 0)
                return i;
        }
        if (i == low.size()) return npos;
        BuildBracketMatch(st);
    }
    const int32_t m = st.BracketMatch[start];
    return m < 0 ? npos : static_cast<size_t>(m);
}

std::u32string NameOfTag(const std::u32string& tagText) {
    std::u32string name;
    const size_t sp = tagText.find(U' ');
    if (sp != npos)
        name = tagText.substr(0, sp);
    else if (!tagText.empty() && tagText.back() == '/')
        name = tagText.substr(0, tagText.size() - 1);
    else
        name = tagText;
    for (char32_t& c : name)
        c = UnicodeLower(c);
    return name;
}

// Comment starting at `start` ("<!--"): ends at the "-->" that closes as many comments as
// were opened, so comments nest. npos when it never closes.
size_t CommentEnd(const HtmlTextState& st, size_t start) {
    long closings = 0, openings = 0;
    size_t cursor = start;
    size_t from = start;
    for (;;) {
        const size_t close = st.Text.find(U"-->", from);
        if (close == npos) return npos;
        ++closings;
        while (cursor != npos && cursor < close) {
            cursor = st.LowerText.find(U"<!--", cursor + 1);
            ++openings;
        }
        if (openings == closings) return close + 2;
        from = close + 1;
    }
}

// Value bounds [begin, end) of attribute `name` in searchText between 0-based `from` and
// `to`; false when absent.
bool AttributeBounds(std::u32string_view s, std::u32string_view name, size_t from, size_t to,
                     size_t& begin, size_t& end) {
    std::u32string pat(name);
    pat.push_back('=');
    size_t hit = npos;
    for (size_t p = from; p < to && p < s.size(); ++p) {
        if (s.compare(p, pat.size(), pat) == 0) {
            hit = p;
            break;
        }
    }
    if (hit == npos) return false;
    begin = hit + pat.size();
    if (begin < s.size() && (s[begin] == '"' || s[begin] == '\'')) {
        const char32_t q = s[begin];
        ++begin;
        end = to;
        for (size_t p = begin; p < to && p < s.size(); ++p)
            if (s[p] == q) {
                end = p;
                break;
            }
    } else {
        const size_t sp = s.find(U' ', begin);
        if (sp != npos) {
            end = std::min(sp, to);
        } else {
            const size_t gt = s.find(U'>', begin);
            end = gt == npos ? to : std::min(gt, to);
        }
    }
    if (end > s.size()) end = s.size();
    if (end < begin) end = begin;
    return true;
}

std::u32string TrimSpaces(std::u32string_view v) {
    size_t b = 0, e = v.size();
    while (b < e && v[b] == ' ')
        ++b;
    while (e > b && v[e - 1] == ' ')
        --e;
    return std::u32string(v.substr(b, e - b));
}

enum class TagAction {
    Other,
    EndBody,
    A,
    Nothing,
    Br,
    Div,
    EndDiv,
    Dl,
    EndDl,
    Dt,
    EndDt,
    Dd,
    EndDd,
    H,
    EndH,
    Img,
    Li,
    EndLi,
    Ol,
    EndOl,
    Ul,
    EndUl,
    P,
    EndP,
    Span,
    Skip,
    Table,
    EndTable,
    Tr,
    EndTr,
    Cell,
    EndCell,
};

// Tag names as compared (lower-cased, up to the first ":").
const std::unordered_map<std::string_view, TagAction>& TagTable() {
    static const std::unordered_map<std::string_view, TagAction> table = [] {
        std::unordered_map<std::string_view, TagAction> t;
        t["/body"] = TagAction::EndBody;
        t["a"] = TagAction::A;
        for (const char* n :
             {"/a", "blockquote", "/blockquote", "em", "i", "/em", "/i", "pre", "/pre", "stricked",
              "del", "/stricked", "/del", "strong", "b", "/strong", "/b", "u", "/u"})
            t[n] = TagAction::Nothing;
        t["br"] = TagAction::Br;
        t["div"] = TagAction::Div;
        t["/div"] = TagAction::EndDiv;
        t["dl"] = TagAction::Dl;
        t["/dl"] = TagAction::EndDl;
        t["dt"] = TagAction::Dt;
        t["/dt"] = TagAction::EndDt;
        t["dd"] = TagAction::Dd;
        t["/dd"] = TagAction::EndDd;
        for (const char* n : {"h1", "h2", "h3", "h4", "h5", "h6"})
            t[n] = TagAction::H;
        for (const char* n : {"/h1", "/h2", "/h3", "/h4", "/h5", "/h6"})
            t[n] = TagAction::EndH;
        t["img"] = TagAction::Img;
        t["li"] = TagAction::Li;
        t["/li"] = TagAction::EndLi;
        t["ol"] = TagAction::Ol;
        t["/ol"] = TagAction::EndOl;
        t["ul"] = TagAction::Ul;
        t["/ul"] = TagAction::EndUl;
        t["p"] = TagAction::P;
        t["/p"] = TagAction::EndP;
        t["span"] = TagAction::Span;
        t["script"] = TagAction::Skip;
        t["noscript"] = TagAction::Skip;
        t["style"] = TagAction::Skip;
        t["table"] = TagAction::Table;
        t["/table"] = TagAction::EndTable;
        t["tr"] = TagAction::Tr;
        t["/tr"] = TagAction::EndTr;
        t["td"] = TagAction::Cell;
        t["th"] = TagAction::Cell;
        t["/td"] = TagAction::EndCell;
        t["/th"] = TagAction::EndCell;
        return t;
    }();
    return table;
}

// In place: each step only removes or replaces characters, so one buffer serves.
template <class S> void CleanLinesT(S& t) {
    using C = typename S::value_type;
    // 1. tabs become spaces; runs of spaces become one
    size_t w = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        C c = t[i];
        if (c == C('\t')) c = C(' ');
        if (c == C(' ') && w > 0 && t[w - 1] == C(' ')) continue;
        t[w++] = c;
    }
    t.resize(w);
    // 2. CR becomes LF; a space right after a LF goes; runs of LF become one
    w = 0;
    C prev = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        C c = t[i];
        if (c == C('\r')) c = C('\n');
        const C before = prev;
        prev = c;
        if (c == C(' ') && before == C('\n')) continue;
        if (c == C('\n') && w > 0 && t[w - 1] == C('\n')) continue;
        t[w++] = c;
    }
    t.resize(w);
    // 3. trim spaces at both ends, then one leading LF
    size_t b = 0, e = t.size();
    while (b < e && t[b] == C(' '))
        ++b;
    while (e > b && t[e - 1] == C(' '))
        --e;
    if (b < e && t[b] == C('\n')) ++b;
    t.resize(e);
    t.erase(0, b);
}

} // namespace

static void SetDefaults(HtmlTextState& st) {
    st.DivOpen = "\n";
    st.DivClose = "\n";
    st.DlOpen = "\n";
    st.DlClose = "\n";
    st.DdOpen = " = ";
    st.DdClose = "\n";
    st.DtOpen = "\n";
    st.DtClose = "";
    for (std::string* h :
         {&st.H1Open, &st.H1Close, &st.H2Open, &st.H2Close, &st.H3Open, &st.H3Close, &st.H4Open,
          &st.H4Close, &st.H5Open, &st.H5Close, &st.H6Open, &st.H6Close})
        *h = "\n";
    st.OlOpen = "\n";
    st.OlClose = "\n";
    st.UlOpen = "\n";
    st.UlClose = "\n";
    st.LiOpen = "\n";
    st.LiClose = "";
    st.TableOpen = "\n";
    st.TableClose = "\n";
    st.CellOpen = "";
    st.CellClose = "; ";
    st.TrOpen = "\n";
    st.TrClose = "";
    st.POpen = "\n";
    st.PClose = "\n";
    st.KeepLinks = 1;
    st.KeepDefinitionLists = 1;
    st.KeepImages = 1;
    st.KeepLists = 1;
    st.KeepTables = 1;
    st.WaitForText = 0;
}

static char32_t LowerChar(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return UnicodeLower(c);
}

// Blanks every "<!-->" in LowerText (it neither opens a comment nor counts as one when
// comments nest) and sets the remaining fields.
static void FinishInit(HtmlTextState& st) {
    std::u32string& low = st.LowerText;
    const size_t n = low.size();
    for (size_t p = 0; p + 5 <= n; ++p) {
        if (low[p] == '<' && low[p + 1] == '!' && low[p + 2] == '-' && low[p + 3] == '-' &&
            low[p + 4] == '>') {
            for (size_t k = 0; k < 5; ++k)
                low[p + k] = ' ';
            p += 4;
        }
    }
    st.TextLength = static_cast<int32_t>(st.Text.size());
    st.BracketMatch.clear();
    st.BracketMatchBuilt = false;
}

// Only the tag strings write line breaks from here on. NUL goes with the other control
// characters: it is never text.
static bool KeepChar(char32_t& c) {
    if (c >= 32) return true;
    if (c == '\r' || c == '\n' || c == '\t') {
        c = ' ';
        return true;
    }
    return false;
}

void HtmlText_Init(HtmlTextState& st) {
    SetDefaults(st);
    std::u32string& t = st.Text;
    size_t w = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (KeepChar(c)) t[w++] = c;
    }
    t.resize(w);
    st.LowerText.clear();
    st.LowerText.reserve(t.size());
    for (char32_t c : t)
        st.LowerText.push_back(LowerChar(c));
    FinishInit(st);
}

void HtmlText_Init(HtmlTextState& st, std::string_view page) {
    // Decodes, cleans and lower-cases in one pass. Runs of non-ASCII bytes go through the
    // shared decoder (an ASCII byte never belongs to a sequence, valid or not), so invalid
    // bytes read exactly as Utf8ToUtf32 reads them.
    SetDefaults(st);
    std::u32string& t = st.Text;
    std::u32string& low = st.LowerText;
    t.clear();
    low.clear();
    t.reserve(page.size());
    low.reserve(page.size());
    const size_t n = page.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = static_cast<unsigned char>(page[i]);
        if (b < 0x80) {
            char32_t c = b;
            if (KeepChar(c)) {
                t.push_back(c);
                low.push_back(LowerChar(c));
            }
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && static_cast<unsigned char>(page[j]) >= 0x80)
            ++j;
        for (char32_t c : Utf8ToUtf32(page.substr(i, j - i))) {
            t.push_back(c);
            low.push_back(UnicodeLower(c));
        }
        i = j;
    }
    FinishInit(st);
}

void HtmlText_ApplyExtractFlags(HtmlTextState& st, uint32_t flags) {
    if (!(flags & 0x20000)) return;
    st.KeepLinks = static_cast<int32_t>(flags & 0x1000);
    st.KeepImages = static_cast<int32_t>(flags & 0x8000);
    st.KeepDefinitionLists = static_cast<int32_t>(flags & 0x2000);
    st.KeepLists = static_cast<int32_t>(flags & 0x2000);
    st.KeepTables = static_cast<int32_t>(flags & 0x4000);
    st.WaitForText = static_cast<int32_t>(flags & 0x10000);
}

int32_t HtmlText_NextTag(HtmlTextState& st, int32_t from) {
    const std::u32string& text = st.Text;
    const size_t n = text.size();
    size_t p = text.find(U'<', Index(from));
    for (;;) {
        while (p != npos && p + 1 < n && text[p + 1] == ' ')
            p = text.find(U'<', p + 1);
        if (p == npos) return 0;
        st.TagStart = Pos(p);
        if (st.LowerText[p] == ' ') { // a blanked "<!-->": an empty comment, dropped whole
            st.TagEnd = Pos(p + 4);
            st.TagText = U"!--";
            st.TagName = U"!--";
            return st.TagEnd + 1;
        }
        if (st.LowerText.compare(p + 1, 3, U"!--") == 0) {
            const size_t end = CommentEnd(st, p);
            if (end == npos) return 0;
            st.TagEnd = Pos(end);
            st.TagText = text.substr(p + 1, end - p - 1);
            st.TagName = U"!--";
            return st.TagEnd + 1;
        }
        const size_t end = BalancedEnd(st, p);
        if (end == npos) {
            p = text.find(U'<', p + 1);
            continue;
        }
        st.TagEnd = Pos(end);
        st.TagText = text.substr(p + 1, end - p - 1);
        st.TagName = NameOfTag(st.TagText);
        return st.TagEnd + 1;
    }
}

int32_t HtmlText_FindTag(HtmlTextState& st, std::u32string_view name, int32_t from) {
    std::u32string pat = U"<";
    for (char32_t c : name)
        pat.push_back(UnicodeLower(c));
    const std::u32string& low = st.LowerText;
    size_t f = Index(from);
    for (;;) {
        const size_t hit = low.find(pat, f);
        if (hit == npos) return 0;
        const size_t after = hit + pat.size();
        // No ">" after this hit means none after any later hit either.
        if (low.find(U'>', after) == npos) return 0;
        if (after < low.size() && (low[after] == ' ' || low[after] == '>' || low[after] == '/')) {
            const size_t end = low.find(U'>', hit + 1);
            st.TagStart = Pos(hit);
            st.TagEnd = Pos(end);
            if (end > hit + 1) st.TagText = st.Text.substr(hit + 1, end - hit - 1);
            return st.TagEnd + 1;
        }
        f = hit + 1;
    }
}

int32_t HtmlText_FindTag(HtmlTextState& st, std::string_view nameUtf8, int32_t from) {
    return HtmlText_FindTag(st, std::u32string_view(U32(nameUtf8)), from);
}

std::u32string HtmlText_GetAttribute(std::u32string_view searchText, std::u32string_view name,
                                     int32_t from, int32_t to) {
    size_t b, e;
    if (to < 1 || !AttributeBounds(searchText, name, Index(from), Index(to), b, e)) return {};
    return std::u32string(searchText.substr(b, e - b));
}

std::string HtmlText_GetAttribute(const HtmlTextState& st, std::string_view name, int32_t from,
                                  int32_t to) {
    std::u32string low;
    for (char32_t c : U32(name))
        low.push_back(UnicodeLower(c));
    size_t b, e;
    if (to < 1 || !AttributeBounds(st.LowerText, low, Index(from), Index(to), b, e)) return {};
    return Utf32ToUtf8(std::u32string_view(st.Text).substr(b, e - b));
}

// ---------------------------------------------------------------- conversion on UTF-8
//
// The converter walks the page as UTF-8 bytes. Every rule works the same on bytes as on
// characters: all the characters it looks for are ASCII, an ASCII byte is never part of
// another character, and lower-casing (UnicodeLower) turns no other character into ASCII
// and keeps each character's length in bytes. So the lower-case copy is never built:
// tag names and searched names are lower-cased where they are compared, and only the
// rare "<!-->" needs a copy of the page (blanked in it).

namespace {

struct PageScan {
    std::string_view Text; // the cleaned page
    std::string_view Low;  // Text with each "<!-->" blanked (Text itself when there is none)
    std::string Masked;    // storage of Low when it differs from Text
    size_t LastGt = npos;  // the last ">" of Low
    // The bracket table, built on demand: each "<" of Low in order and its balancing ">".
    std::vector<uint32_t> Opens;
    std::vector<int32_t> Matches;
    bool TableBuilt = false;
    // Closing tags searched for in vain, with the index the search started from: a later
    // search from there or further fails as well, so a page of unclosed elements to skip
    // is not searched to its end once per element.
    std::unordered_map<std::string, size_t> Missing;
    // The last tag found.
    size_t TagStart = 0, TagEnd = 0;
    std::string_view TagText;
    std::string TagName;
};

// Lower-cased character at byte `i` of `s`, written to `out`; returns its length in bytes.
inline size_t LowerAt(std::string_view s, size_t i, char (&out)[4]) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        out[0] = static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF && i + 1 < s.size()) {
        // Only two-byte characters change, into two-byte characters.
        const unsigned char b2 = static_cast<unsigned char>(s[i + 1]);
        const char32_t c = UnicodeLower((char32_t(b & 0x1F) << 6) | (b2 & 0x3F));
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    out[0] = static_cast<char>(b);
    return 1;
}

void LowerInto(std::string& out, std::string_view s) {
    out.clear();
    char buf[4];
    for (size_t i = 0; i < s.size();) {
        const size_t k = LowerAt(s, i, buf);
        out.append(buf, k);
        i += k;
    }
}

// True when the characters of `s` from byte `i`, lower-cased, begin with `lowered`.
bool MatchesLowered(std::string_view s, size_t i, std::string_view lowered) {
    if (i + lowered.size() > s.size()) return false;
    char buf[4];
    for (size_t j = 0; j < lowered.size();) {
        const size_t k = LowerAt(s, i + j, buf);
        if (j + k > lowered.size() || std::memcmp(buf, lowered.data() + j, k) != 0) return false;
        j += k;
    }
    return true;
}

void BuildTable(PageScan& sc) {
    std::vector<size_t> stack;
    const std::string_view low = sc.Low;
    for (size_t i = 0; i < low.size(); ++i) {
        if (low[i] == '<') {
            stack.push_back(sc.Opens.size());
            sc.Opens.push_back(static_cast<uint32_t>(i));
            sc.Matches.push_back(-1);
        } else if (low[i] == '>' && !stack.empty()) {
            sc.Matches[stack.back()] = static_cast<int32_t>(i);
            stack.pop_back();
        }
    }
    sc.TableBuilt = true;
}

// Index of the ">" where the counts of "<" and ">" from `start` (a "<") become equal.
size_t BalancedEndUtf8(PageScan& sc, size_t start) {
    const std::string_view low = sc.Low;
    if (!sc.TableBuilt) {
        const size_t limit = std::min(low.size(), start + kDirectWalkLimit);
        long depth = 0;
        size_t i = start;
        for (; i < limit; ++i) {
            if (low[i] == '<')
                ++depth;
            else if (low[i] == '>' && --depth == 0)
                return i;
        }
        if (i == low.size()) return npos;
        BuildTable(sc);
    }
    const auto it = std::lower_bound(sc.Opens.begin(), sc.Opens.end(), start);
    const int32_t m = sc.Matches[static_cast<size_t>(it - sc.Opens.begin())];
    return m < 0 ? npos : static_cast<size_t>(m);
}

size_t CommentEndUtf8(const PageScan& sc, size_t start) {
    long closings = 0, openings = 0;
    size_t cursor = start;
    size_t from = start;
    for (;;) {
        const size_t close = sc.Text.find("-->", from);
        if (close == npos) return npos;
        ++closings;
        while (cursor != npos && cursor < close) {
            cursor = sc.Low.find("<!--", cursor + 1);
            ++openings;
        }
        if (openings == closings) return close + 2;
        from = close + 1;
    }
}

// Index just after the next tag at or after `from`, or npos.
size_t NextTagUtf8(PageScan& sc, size_t from) {
    const std::string_view text = sc.Text;
    const size_t n = text.size();
    size_t p = text.find('<', from);
    for (;;) {
        while (p != npos && p + 1 < n && text[p + 1] == ' ')
            p = text.find('<', p + 1);
        if (p == npos) return npos;
        sc.TagStart = p;
        if (sc.Low[p] == ' ') { // a blanked "<!-->": an empty comment, dropped whole
            sc.TagEnd = p + 4;
            sc.TagText = "!--";
            sc.TagName = "!--";
            return sc.TagEnd + 1;
        }
        if (sc.Low.compare(p + 1, 3, "!--") == 0) {
            const size_t end = CommentEndUtf8(sc, p);
            if (end == npos) return npos;
            sc.TagEnd = end;
            sc.TagText = text.substr(p + 1, end - p - 1);
            sc.TagName = "!--";
            return end + 1;
        }
        const size_t end = BalancedEndUtf8(sc, p);
        if (end == npos) {
            p = text.find('<', p + 1);
            continue;
        }
        sc.TagEnd = end;
        sc.TagText = text.substr(p + 1, end - p - 1);
        const size_t sp = sc.TagText.find(' ');
        std::string_view name = sc.TagText;
        if (sp != npos)
            name = name.substr(0, sp);
        else if (!name.empty() && name.back() == '/')
            name.remove_suffix(1);
        LowerInto(sc.TagName, name);
        return end + 1;
    }
}

// Index just after the next tag named `lowered` (already lower-cased) at or after `from`,
// or npos; sets TagStart and TagEnd.
size_t FindTagUtf8(PageScan& sc, const std::string& lowered, size_t from) {
    const auto missing = sc.Missing.find(lowered);
    if (missing != sc.Missing.end() && from >= missing->second) return npos;
    const std::string_view low = sc.Low;
    size_t f = from;
    for (;;) {
        size_t hit = low.find('<', f);
        while (hit != npos && !MatchesLowered(low, hit + 1, lowered))
            hit = low.find('<', hit + 1);
        const size_t after = hit == npos ? npos : hit + 1 + lowered.size();
        // No ">" after this hit means none after any later hit either.
        if (hit == npos || sc.LastGt == npos || sc.LastGt < after) {
            size_t& known = sc.Missing[lowered];
            known = missing == sc.Missing.end() ? from : std::min(known, from);
            return npos;
        }
        if (after < low.size() && (low[after] == ' ' || low[after] == '>' || low[after] == '/')) {
            sc.TagStart = hit;
            sc.TagEnd = low.find('>', hit + 1);
            return sc.TagEnd + 1;
        }
        f = hit + 1;
    }
}

// Value of attribute `name` (lower-case ASCII) of the tag between `from` and `to`: found
// in the lower-cased page, read from the page.
std::string_view AttributeUtf8(const PageScan& sc, std::string_view name, size_t from, size_t to) {
    const std::string_view s = sc.Low;
    std::string pat(name);
    pat.push_back('=');
    size_t hit = npos;
    for (size_t p = from; p < to && p < s.size(); ++p)
        if (MatchesLowered(s, p, pat)) {
            hit = p;
            break;
        }
    if (hit == npos) return {};
    size_t begin = hit + pat.size(), end;
    if (begin < s.size() && (s[begin] == '"' || s[begin] == '\'')) {
        const char q = s[begin];
        ++begin;
        end = to;
        for (size_t p = begin; p < to && p < s.size(); ++p)
            if (s[p] == q) {
                end = p;
                break;
            }
    } else {
        const size_t sp = s.find(' ', begin);
        if (sp != npos) {
            end = std::min(sp, to);
        } else {
            const size_t gt = s.find('>', begin);
            end = gt == npos ? to : std::min(gt, to);
        }
    }
    if (end > s.size()) end = s.size();
    if (end < begin) end = begin;
    return sc.Text.substr(begin, end - begin);
}

std::string_view TrimSpaces8(std::string_view v) {
    while (!v.empty() && v.front() == ' ')
        v.remove_prefix(1);
    while (!v.empty() && v.back() == ' ')
        v.remove_suffix(1);
    return v;
}

// Cleans a UTF-8 page as HtmlText_Init cleans Text: CR, LF and tab become spaces, other
// ASCII controls go; a run of non-ASCII bytes that is not valid UTF-8 is read as the
// shared decoder reads it (U+FFFD for each bad sequence). In place when the page is valid.
std::string CleanPage(std::string page) {
    if (IsValidUtf8(page)) {
        size_t w = 0;
        for (size_t i = 0; i < page.size(); ++i) {
            char32_t c = static_cast<unsigned char>(page[i]);
            if (c >= 0x80 || KeepChar(c)) page[w++] = static_cast<char>(c);
        }
        page.resize(w);
        return page;
    }
    std::string out;
    out.reserve(page.size() + page.size() / 8);
    const size_t n = page.size();
    for (size_t i = 0; i < n;) {
        const unsigned char b = static_cast<unsigned char>(page[i]);
        if (b < 0x80) {
            char32_t c = b;
            if (KeepChar(c)) out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && static_cast<unsigned char>(page[j]) >= 0x80)
            ++j;
        const std::string_view run(page.data() + i, j - i);
        if (IsValidUtf8(run))
            out.append(run);
        else
            out += Utf32ToUtf8(Utf8ToUtf32(run));
        i = j;
    }
    return out;
}

} // namespace

void HtmlText_InitPage(HtmlTextState& st, std::string page) {
    SetDefaults(st);
    st.Text.clear();
    st.LowerText.clear();
    st.Page = CleanPage(std::move(page));
    st.TextLength = static_cast<int32_t>(st.Page.size());
}

void HtmlText_Convert(HtmlTextState& st, const std::function<void(int)>& progress) {
    bool textStarted = st.WaitForText == 0;
    PageScan sc;
    std::string page = st.Text.empty() ? std::move(st.Page) : Utf32ToUtf8(st.Text);
    st.Page.clear();
    sc.Text = page;
    sc.Low = sc.Text;
    if (sc.Text.find("<!-->") != npos) {
        sc.Masked.assign(sc.Text);
        for (size_t p = sc.Masked.find("<!-->"); p != npos; p = sc.Masked.find("<!-->", p + 5))
            sc.Masked.replace(p, 5, 5, ' ');
        sc.Low = sc.Masked;
    }
    sc.LastGt = sc.Low.rfind('>');
    const size_t length = sc.Text.size();
    std::string out;
    try {
        out.reserve(length / 2 + 256);
    } catch (const std::bad_alloc&) {
        st.Result.clear();
        return;
    }
    const auto& table = TagTable();
    const std::string_view text = sc.Text;
    static const std::string kBody = "body";

    size_t position = FindTagUtf8(sc, kBody, 0);
    if (position == npos) position = 0;
    size_t next = NextTagUtf8(sc, position);
    bool appendRest = true;
    std::string closing;
    try {
        while (next != npos) {
            if (progress && length > 0)
                progress(static_cast<int>(int64_t(next + 1) * 100 / length));
            if (sc.TagStart > position) out.append(text.substr(position, sc.TagStart - position));

            const std::string_view tagName = sc.TagName;
            const std::string_view name = tagName.substr(0, tagName.find(':'));
            const auto it = table.find(name);
            const TagAction action = it == table.end() ? TagAction::Other : it->second;
            bool skip = false;
            switch (action) {
            case TagAction::EndBody:
                appendRest = false;
                break;
            case TagAction::A:
                skip = !(textStarted && st.KeepLinks);
                break;
            case TagAction::Nothing:
                break;
            case TagAction::Br:
                out.push_back('\n');
                break;
            case TagAction::Div:
                out += st.DivOpen;
                break;
            case TagAction::EndDiv:
                out += st.DivClose;
                break;
            case TagAction::Dl:
                if (textStarted && st.KeepDefinitionLists)
                    out += st.DlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndDl:
                if (textStarted && st.KeepDefinitionLists) out += st.DlClose;
                break;
            case TagAction::Dt:
                out += st.DtOpen;
                break;
            case TagAction::EndDt:
                out += st.DtClose;
                break;
            case TagAction::Dd:
                out += st.DdOpen;
                break;
            case TagAction::EndDd:
                out += st.DdClose;
                break;
            case TagAction::H: {
                const std::string* open[6] = {&st.H1Open, &st.H2Open, &st.H3Open,
                                              &st.H4Open, &st.H5Open, &st.H6Open};
                out += *open[name[1] - '1'];
                textStarted = true;
                break;
            }
            case TagAction::EndH: {
                const std::string* close[6] = {&st.H1Close, &st.H2Close, &st.H3Close,
                                               &st.H4Close, &st.H5Close, &st.H6Close};
                out += *close[name[2] - '1'];
                break;
            }
            case TagAction::Img:
                if (textStarted && st.KeepImages) {
                    // Found without regard to case, read from the page with the author's case.
                    std::string_view desc = AttributeUtf8(sc, "alt", sc.TagStart, sc.TagEnd);
                    if (desc.empty()) desc = AttributeUtf8(sc, "title", sc.TagStart, sc.TagEnd);
                    desc = TrimSpaces8(desc);
                    if (!desc.empty()) {
                        out += " (Image= ";
                        out += desc;
                        out += ") ";
                    }
                } else {
                    skip = true;
                }
                break;
            case TagAction::Li:
                out += st.LiOpen;
                break;
            case TagAction::EndLi:
                out += st.LiClose;
                break;
            case TagAction::Ol:
                if (textStarted && st.KeepLists)
                    out += st.OlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndOl:
                out += st.OlClose;
                break;
            case TagAction::Ul:
                if (textStarted && st.KeepLists)
                    out += st.UlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndUl:
                out += st.UlClose;
                break;
            case TagAction::P:
                out += st.POpen;
                textStarted = true;
                break;
            case TagAction::EndP:
                out += st.PClose;
                break;
            case TagAction::Span:
                textStarted = true;
                break;
            case TagAction::Skip:
                skip = true;
                break;
            case TagAction::Table:
                if (st.KeepTables)
                    out += st.TableOpen;
                else
                    skip = true;
                break;
            case TagAction::EndTable:
                if (st.KeepTables) out += st.TableClose;
                break;
            case TagAction::Tr:
                out += st.TrOpen;
                break;
            case TagAction::EndTr:
                out += st.TrClose;
                break;
            case TagAction::Cell:
                out += st.CellOpen;
                break;
            case TagAction::EndCell:
                out += st.CellClose;
                break;
            case TagAction::Other: {
                const bool comment =
                    tagName.starts_with("!--") || (tagName.size() >= 2 && tagName.ends_with("--"));
                if (!comment && tagName.starts_with("![cdata[")) {
                    // A section whose own "]]>" closed the tag is complete already; looking
                    // for another "]]>" would drop the text up to the next section's end.
                    if (!sc.TagText.ends_with("]]")) {
                        const size_t close = sc.Low.find("]]>", next);
                        if (close != npos) next = close + 3;
                    }
                }
                break;
            }
            }
            if (action == TagAction::EndBody) break;
            if (skip) {
                closing.assign("/");
                closing += sc.TagName;
                const size_t after = FindTagUtf8(sc, closing, next);
                if (after != npos) next = after;
            }
            position = next;
            next = NextTagUtf8(sc, next);
        }
        if (appendRest && next == npos && position < text.size()) out.append(text.substr(position));
    } catch (const std::bad_alloc&) {
        // Out of memory while growing: keep what was written so far.
    }
    // The page is no longer needed: its memory goes before the decoding's.
    sc = PageScan();
    std::string().swap(page);
    try {
        out = DecodeHtmlEntities(out);
        CleanLinesT(out);
        st.Result = std::move(out);
    } catch (const std::bad_alloc&) {
        st.Result.clear();
    }
}

std::u32string HtmlText_CleanLines32(std::u32string_view text) {
    std::u32string t(text);
    CleanLinesT(t);
    return t;
}

std::string HtmlText_CleanLines(std::string_view text) {
    std::string t(text);
    CleanLinesT(t);
    return t;
}

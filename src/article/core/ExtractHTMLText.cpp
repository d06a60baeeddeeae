#include "article/core/ExtractHTMLText.h"

#include <new>
#include <unordered_map>

#include "platform/core/Text.h"

namespace {

constexpr size_t npos = std::u32string::npos;

// A walk for the ">" that balances a "<" longer than this switches to the bracket table,
// so a page full of unbalanced "<" is not walked to its end once per "<".
constexpr size_t kDirectWalkLimit = 4096;

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

const std::unordered_map<std::u32string, TagAction>& TagTable() {
    static const std::unordered_map<std::u32string, TagAction> table = [] {
        std::unordered_map<std::u32string, TagAction> t;
        t[U"/body"] = TagAction::EndBody;
        t[U"a"] = TagAction::A;
        for (const char32_t* n : {U"/a", U"blockquote", U"/blockquote", U"em", U"i", U"/em", U"/i",
                                  U"pre", U"/pre", U"stricked", U"del", U"/stricked", U"/del",
                                  U"strong", U"b", U"/strong", U"/b", U"u", U"/u"})
            t[n] = TagAction::Nothing;
        t[U"br"] = TagAction::Br;
        t[U"div"] = TagAction::Div;
        t[U"/div"] = TagAction::EndDiv;
        t[U"dl"] = TagAction::Dl;
        t[U"/dl"] = TagAction::EndDl;
        t[U"dt"] = TagAction::Dt;
        t[U"/dt"] = TagAction::EndDt;
        t[U"dd"] = TagAction::Dd;
        t[U"/dd"] = TagAction::EndDd;
        for (const char32_t* n : {U"h1", U"h2", U"h3", U"h4", U"h5", U"h6"})
            t[n] = TagAction::H;
        for (const char32_t* n : {U"/h1", U"/h2", U"/h3", U"/h4", U"/h5", U"/h6"})
            t[n] = TagAction::EndH;
        t[U"img"] = TagAction::Img;
        t[U"li"] = TagAction::Li;
        t[U"/li"] = TagAction::EndLi;
        t[U"ol"] = TagAction::Ol;
        t[U"/ol"] = TagAction::EndOl;
        t[U"ul"] = TagAction::Ul;
        t[U"/ul"] = TagAction::EndUl;
        t[U"p"] = TagAction::P;
        t[U"/p"] = TagAction::EndP;
        t[U"span"] = TagAction::Span;
        t[U"script"] = TagAction::Skip;
        t[U"noscript"] = TagAction::Skip;
        t[U"style"] = TagAction::Skip;
        t[U"table"] = TagAction::Table;
        t[U"/table"] = TagAction::EndTable;
        t[U"tr"] = TagAction::Tr;
        t[U"/tr"] = TagAction::EndTr;
        t[U"td"] = TagAction::Cell;
        t[U"th"] = TagAction::Cell;
        t[U"/td"] = TagAction::EndCell;
        t[U"/th"] = TagAction::EndCell;
        return t;
    }();
    return table;
}

// The emitted strings, converted once per conversion.
struct Emitted {
    std::u32string DivOpen, DivClose, DlOpen, DlClose, DdOpen, DdClose, DtOpen, DtClose;
    std::u32string HOpen[6], HClose[6];
    std::u32string OlOpen, OlClose, UlOpen, UlClose, LiOpen, LiClose;
    std::u32string TableOpen, TableClose, CellOpen, CellClose, TrOpen, TrClose, POpen, PClose;
    explicit Emitted(const HtmlTextState& s)
        : DivOpen(U32(s.DivOpen)), DivClose(U32(s.DivClose)), DlOpen(U32(s.DlOpen)),
          DlClose(U32(s.DlClose)), DdOpen(U32(s.DdOpen)), DdClose(U32(s.DdClose)),
          DtOpen(U32(s.DtOpen)), DtClose(U32(s.DtClose)), OlOpen(U32(s.OlOpen)),
          OlClose(U32(s.OlClose)), UlOpen(U32(s.UlOpen)), UlClose(U32(s.UlClose)),
          LiOpen(U32(s.LiOpen)), LiClose(U32(s.LiClose)), TableOpen(U32(s.TableOpen)),
          TableClose(U32(s.TableClose)), CellOpen(U32(s.CellOpen)), CellClose(U32(s.CellClose)),
          TrOpen(U32(s.TrOpen)), TrClose(U32(s.TrClose)), POpen(U32(s.POpen)),
          PClose(U32(s.PClose)) {
        const std::string* open[6] = {&s.H1Open, &s.H2Open, &s.H3Open,
                                      &s.H4Open, &s.H5Open, &s.H6Open};
        const std::string* close[6] = {&s.H1Close, &s.H2Close, &s.H3Close,
                                       &s.H4Close, &s.H5Close, &s.H6Close};
        for (int k = 0; k < 6; ++k) {
            HOpen[k] = U32(*open[k]);
            HClose[k] = U32(*close[k]);
        }
    }
};

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

void HtmlText_Convert(HtmlTextState& st, const std::function<void(int)>& progress) {
    bool textStarted = st.WaitForText == 0;
    std::u32string out;
    try {
        out.reserve(st.Text.size() / 2 + 256);
    } catch (const std::bad_alloc&) {
        st.Result.clear();
        return;
    }
    const Emitted em(st);
    const auto& table = TagTable();
    const std::u32string_view text(st.Text);

    int32_t position = HtmlText_FindTag(st, std::u32string_view(U"body"), 1);
    if (position == 0) position = 1;
    int32_t next = HtmlText_NextTag(st, position);
    bool appendRest = true;
    try {
        while (next != 0) {
            if (progress && st.TextLength > 0)
                progress(static_cast<int>(int64_t(next) * 100 / st.TextLength));
            const size_t chunkStart = Index(position), chunkEnd = Index(st.TagStart);
            if (chunkEnd > chunkStart) out.append(text.substr(chunkStart, chunkEnd - chunkStart));

            const std::u32string& tagName = st.TagName;
            const size_t colon = tagName.find(U':');
            const std::u32string name = colon == npos ? tagName : tagName.substr(0, colon);
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
                out += em.DivOpen;
                break;
            case TagAction::EndDiv:
                out += em.DivClose;
                break;
            case TagAction::Dl:
                if (textStarted && st.KeepDefinitionLists)
                    out += em.DlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndDl:
                if (textStarted && st.KeepDefinitionLists) out += em.DlClose;
                break;
            case TagAction::Dt:
                out += em.DtOpen;
                break;
            case TagAction::EndDt:
                out += em.DtClose;
                break;
            case TagAction::Dd:
                out += em.DdOpen;
                break;
            case TagAction::EndDd:
                out += em.DdClose;
                break;
            case TagAction::H:
                out += em.HOpen[name[1] - '1'];
                textStarted = true;
                break;
            case TagAction::EndH:
                out += em.HClose[name[2] - '1'];
                break;
            case TagAction::Img:
                if (textStarted && st.KeepImages) {
                    // Found without regard to case, read from Text with the author's case.
                    size_t b = 0, e = 0;
                    std::u32string desc;
                    const size_t from = Index(st.TagStart), to = Index(st.TagEnd);
                    if (AttributeBounds(st.LowerText, U"alt", from, to, b, e) && e > b)
                        desc = text.substr(b, e - b);
                    if (desc.empty() && AttributeBounds(st.LowerText, U"title", from, to, b, e) &&
                        e > b)
                        desc = text.substr(b, e - b);
                    desc = TrimSpaces(desc);
                    if (!desc.empty()) {
                        out += U" (Image= ";
                        out += desc;
                        out += U") ";
                    }
                } else {
                    skip = true;
                }
                break;
            case TagAction::Li:
                out += em.LiOpen;
                break;
            case TagAction::EndLi:
                out += em.LiClose;
                break;
            case TagAction::Ol:
                if (textStarted && st.KeepLists)
                    out += em.OlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndOl:
                out += em.OlClose;
                break;
            case TagAction::Ul:
                if (textStarted && st.KeepLists)
                    out += em.UlOpen;
                else
                    skip = true;
                break;
            case TagAction::EndUl:
                out += em.UlClose;
                break;
            case TagAction::P:
                out += em.POpen;
                textStarted = true;
                break;
            case TagAction::EndP:
                out += em.PClose;
                break;
            case TagAction::Span:
                textStarted = true;
                break;
            case TagAction::Skip:
                skip = true;
                break;
            case TagAction::Table:
                if (st.KeepTables)
                    out += em.TableOpen;
                else
                    skip = true;
                break;
            case TagAction::EndTable:
                if (st.KeepTables) out += em.TableClose;
                break;
            case TagAction::Tr:
                out += em.TrOpen;
                break;
            case TagAction::EndTr:
                out += em.TrClose;
                break;
            case TagAction::Cell:
                out += em.CellOpen;
                break;
            case TagAction::EndCell:
                out += em.CellClose;
                break;
            case TagAction::Other: {
                const std::u32string& full = st.TagName;
                const bool comment =
                    full.starts_with(U"!--") || (full.size() >= 2 && full.ends_with(U"--"));
                if (!comment && full.starts_with(U"![cdata[")) {
                    // A section whose own "]]>" closed the tag is complete already; looking
                    // for another "]]>" would drop the text up to the next section's end.
                    if (!st.TagText.ends_with(U"]]")) {
                        const size_t close = st.LowerText.find(U"]]>", Index(next));
                        if (close != npos) next = Pos(close + 3);
                    }
                }
                break;
            }
            }
            if (action == TagAction::EndBody) break;
            if (skip) {
                const std::u32string closing = U"/" + st.TagName;
                const int32_t after = HtmlText_FindTag(st, std::u32string_view(closing), next);
                if (after != 0) next = after;
            }
            position = next;
            next = HtmlText_NextTag(st, next);
        }
        if (appendRest && next == 0) {
            const size_t start = Index(position);
            if (start < text.size()) out.append(text.substr(start));
        }
    } catch (const std::bad_alloc&) {
        // Out of memory while growing: keep what was written so far.
    }
    try {
        out = DecodeHtmlEntities32(out);
        CleanLinesT(out);
        st.Result = Utf32ToUtf8(out);
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

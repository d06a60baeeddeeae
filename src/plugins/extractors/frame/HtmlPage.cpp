#include "plugins/extractors/frame/HtmlPage.h"

#include "platform/core/Text.h"

static bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

static char AnsiLowerChar(char ch) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 32);
    switch (c) {
    case 0x8A:
        return static_cast<char>(0x9A); // S caron
    case 0x8C:
        return static_cast<char>(0x9C); // OE
    case 0x8E:
        return static_cast<char>(0x9E); // Z caron
    case 0x9F:
        return static_cast<char>(0xFF); // Y diaeresis
    default:
        return ch;
    }
}

std::string AnsiLower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = AnsiLowerChar(c);
    return r;
}

std::string Ansi(std::string_view utf8) {
    return Utf8ToCp1252(utf8);
}

void SetPage(HtmlPage& page, std::string text) {
    page.Text = std::move(text);
    page.Lower = AnsiLower(page.Text);
    page.Length = static_cast<long>(page.Text.size());
}

static bool ValueMatches(std::string_view value, std::string_view wanted) {
    const std::string v = AnsiLower(value);
    std::string w = AnsiLower(wanted);
    const bool head = w.size() >= 1 && w.back() == '*';
    if (head) w.pop_back();
    const bool tail = !w.empty() && w.front() == '*';
    if (tail) w.erase(0, 1);
    if (head && tail) return v.find(w) != std::string::npos;
    if (head) return v.compare(0, w.size(), w) == 0;
    if (tail) return v.size() >= w.size() && v.compare(v.size() - w.size(), w.size(), w) == 0;
    return v == w;
}

// True when the opening-tag candidate "<name" at byte `p` really names this tag.
static bool NameEndsAt(const std::string& lower, size_t after, bool anyTag) {
    const char next = after < lower.size() ? lower[after] : '\0';
    if (anyTag) return next != '/' && next != '\0';
    return IsBlank(next) || next == '>' || next == '/';
}

long FindTag(HtmlPage& page, long start, std::string_view tag, std::string_view attrName,
             std::string_view attrValue, long limit) {
    if (start < 1) start = 1;
    const std::string needle = "<" + AnsiLower(tag);
    const bool wantAttr = !attrName.empty() || !attrValue.empty();
    const std::string name = AnsiLower(attrName);
    size_t from = static_cast<size_t>(start - 1);
    while (from < page.Lower.size()) {
        const size_t p = page.Lower.find(needle, from);
        if (p == std::string::npos) return 0;
        const long pos = static_cast<long>(p) + 1;
        if (limit >= 0 && pos >= limit) return 0;
        from = p + 1;
        if (!NameEndsAt(page.Lower, p + needle.size(), tag.empty())) continue;
        if (wantAttr) {
            ParseTagAttributes(page, pos);
            const auto it = page.Attributes.find(name);
            if (it == page.Attributes.end() || !ValueMatches(it->second, attrValue)) continue;
        }
        return pos;
    }
    return 0;
}

// Byte offset of the '>' ending the tag that starts at byte `p`, skipping quoted values.
static size_t TagEnd(const std::string& text, size_t p) {
    char quote = 0;
    for (size_t i = p + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            // A quote opens a value only after "="; a stray one elsewhere is text.
            size_t k = i;
            while (k > p && IsBlank(text[k - 1]))
                --k;
            if (k > p && text[k - 1] == '=') quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string::npos;
}

long FindClosingTag(const HtmlPage& page, long pos, std::string_view tag, long limit) {
    if (pos < 1 || pos > page.Length) return 0;
    const std::string& lower = page.Lower;
    const std::string open = "<" + AnsiLower(tag);
    const std::string close = "</" + AnsiLower(tag);
    size_t gt = TagEnd(lower, static_cast<size_t>(pos - 1));
    if (gt == std::string::npos) return 0;
    if (gt > 0 && lower[gt - 1] == '/') return 0; // "<x ... />" has no closing tag
    size_t from = gt + 1;
    int depth = 1;
    for (;;) {
        size_t c = lower.find(close, from);
        while (c != std::string::npos) {
            const size_t after = c + close.size();
            const char next = after < lower.size() ? lower[after] : '\0';
            if (IsBlank(next) || next == '>') break;
            c = lower.find(close, c + 1);
        }
        if (c == std::string::npos) return 0;
        size_t o = lower.find(open, from);
        while (o != std::string::npos && o < c) {
            if (NameEndsAt(lower, o + open.size(), false)) {
                const size_t end = TagEnd(lower, o);
                if (end == std::string::npos || lower[end - 1] != '/') break;
            }
            o = lower.find(open, o + 1);
        }
        if (o != std::string::npos && o < c) {
            ++depth;
            from = o + 1;
            continue;
        }
        if (--depth == 0) {
            const long found = static_cast<long>(c) + 1;
            if (limit >= 0 && found >= limit) return 0;
            return found;
        }
        from = c + 1;
    }
}

std::string TagName(const HtmlPage& page, long pos) {
    if (pos < 1 || pos > page.Length) return {};
    std::string r;
    for (size_t i = static_cast<size_t>(pos); i < page.Lower.size(); ++i) {
        const char c = page.Lower[i];
        if (IsBlank(c) || c == '>' || c == '/') break;
        r.push_back(c);
    }
    return r;
}

std::string TagText(const HtmlPage& page, long pos) {
    if (pos < 1 || pos > page.Length) return {};
    const size_t p = static_cast<size_t>(pos - 1);
    // A ">" inside a quoted value (alt="a > b") does not end the tag.
    const size_t gt = TagEnd(page.Text, p);
    if (gt == std::string::npos) return page.Text.substr(p);
    return page.Text.substr(p, gt - p + 1);
}

std::string TagContent(const HtmlPage& page, long pos) {
    if (pos < 1 || pos > page.Length) return {};
    const size_t gt = TagEnd(page.Text, static_cast<size_t>(pos - 1));
    if (gt == std::string::npos) return {};
    const long close = FindClosingTag(page, pos, TagName(page, pos));
    if (close == 0) return {};
    return page.Text.substr(gt + 1, static_cast<size_t>(close - 1) - (gt + 1));
}

void ParseTagAttributes(HtmlPage& page, long pos) {
    page.Attributes.clear();
    if (pos < 1 || pos > page.Length) return;
    const std::string& text = page.Text;
    size_t i = static_cast<size_t>(pos); // after "<"
    while (i < text.size() && !IsBlank(text[i]) && text[i] != '>' && text[i] != '/')
        ++i;
    for (;;) {
        while (i < text.size() && (IsBlank(text[i]) || text[i] == '/'))
            ++i;
        if (i >= text.size() || text[i] == '>') return;
        const size_t nameStart = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != '=' && text[i] != '>' &&
               text[i] != '/')
            ++i;
        std::string name = page.Lower.substr(nameStart, i - nameStart);
        size_t k = i;
        while (k < text.size() && IsBlank(text[k]))
            ++k;
        std::string value;
        if (k < text.size() && text[k] == '=') {
            i = k + 1;
            while (i < text.size() && IsBlank(text[i]))
                ++i;
            if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
                const char q = text[i];
                const size_t end = text.find(q, i + 1);
                const size_t stop = end == std::string::npos ? text.size() : end;
                value = text.substr(i + 1, stop - i - 1);
                i = end == std::string::npos ? text.size() : end + 1;
            } else {
                const size_t vs = i;
                while (i < text.size() && !IsBlank(text[i]) && text[i] != '>')
                    ++i;
                value = text.substr(vs, i - vs);
            }
        }
        if (!name.empty()) page.Attributes.emplace(std::move(name), std::move(value));
    }
}

std::string TagAttribute(HtmlPage& page, long pos, std::string_view name) {
    ParseTagAttributes(page, pos);
    const auto it = page.Attributes.find(AnsiLower(name));
    return it == page.Attributes.end() ? std::string() : it->second;
}

void RemoveElements(HtmlPage& page, std::string_view tagList) {
    for (const std::string& raw : Split(tagList, ';')) {
        const std::string name = Trim(raw);
        if (name.empty()) continue;
        long from = 1;
        for (;;) {
            const long p = FindTag(page, from, name);
            if (p == 0) break;
            const long c = FindClosingTag(page, p, name);
            const size_t endTag = TagEnd(page.Text, static_cast<size_t>((c ? c : p) - 1));
            const size_t cut = endTag == std::string::npos ? page.Text.size() : endTag + 1;
            std::string text = page.Text;
            text.erase(static_cast<size_t>(p - 1), cut - static_cast<size_t>(p - 1));
            SetPage(page, std::move(text));
            from = p;
        }
    }
}

std::string RemoveTags(std::string_view text) {
    std::string r;
    r.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t lt = text.find('<', i);
        if (lt == std::string_view::npos) {
            r.append(text.substr(i));
            break;
        }
        r.append(text.substr(i, lt - i));
        const size_t gt = text.find('>', lt);
        if (gt == std::string_view::npos) break;
        i = gt + 1;
    }
    return r;
}

long FindNextTag(HtmlPage& page, long pos, std::string_view tag, std::string_view attrName,
                 std::string_view attrValue, long limit) {
    const long end = FindClosingTag(page, pos, tag);
    return FindTag(page, end ? end : pos + 1, tag, attrName, attrValue, limit);
}

#include "update/core/XML_Qn.h"

#include "platform/core/Text.h"

static bool NameMatches(std::string_view a, std::string_view b, int ignoreCase) {
    return ignoreCase ? EqualsNoCase(a, b) : a == b;
}

XmlNode* XmlChild(const XmlNode* node, std::string_view name, int ignoreCase) {
    if (!node) return nullptr;
    for (XmlNode* n = node->FirstChild; n; n = n->NextSibling)
        if (n->Type == XML_NODE_ELEMENT && NameMatches(n->Name, name, ignoreCase)) return n;
    return nullptr;
}

XmlNode* XmlNextSibling(const XmlNode* node, std::string_view name, int ignoreCase) {
    if (!node) return nullptr;
    for (XmlNode* n = node->NextSibling; n; n = n->NextSibling)
        if (n->Type == XML_NODE_ELEMENT && NameMatches(n->Name, name, ignoreCase)) return n;
    return nullptr;
}

std::string XmlAttribute(const XmlNode* node, std::string_view name, int ignoreCase) {
    if (!node) return {};
    const std::string wanted = Trim(name);
    for (const XmlAttr& a : node->Attributes)
        if (NameMatches(Trim(a.Name), wanted, ignoreCase)) return a.Value;
    return {};
}

std::string XmlText(const XmlNode* node) {
    if (!node) return {};
    std::string text;
    // Only the sections that open the content count: one that follows other text (blanks
    // aside) or another kind of node is left out.
    for (const XmlNode* n = node->FirstChild; n && n->Type == XML_NODE_CDATA; n = n->NextSibling) {
        if (!Trim(std::string_view(node->Text).substr(0, n->TextBefore)).empty()) break;
        text += n->Text;
    }
    text += node->Text;
    return text;
}

std::string XmlCleanText(std::string_view text, int allControls) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 1 && c <= 31 && (allControls || (c != 9 && c != 10 && c != 13))) continue;
        out += ch;
    }
    return TrimBlanks(out);
}

XmlNode* XmlAddChild(XmlNode* parent, std::string_view name, std::string_view text) {
    if (!parent || !parent->Owner) return nullptr;
    XmlNode* n = parent->Owner->NewChild(parent, XML_NODE_ELEMENT, name);
    n->Text = std::string(text);
    return n;
}

std::string CleanText(std::string_view text, int allControls) {
    return TrimBlanks(ReplaceAll(XmlCleanText(text, allControls), "\xC2\xA0", " "));
}

// Case-insensitive (Latin letters with accents included) removal of every `what`.
static std::string RemoveAllUnicodeNoCase(std::string_view text, std::string_view what) {
    const std::u32string s = Utf8ToUtf32(text);
    std::u32string low = s, needle = Utf8ToUtf32(what);
    for (char32_t& c : low)
        c = UnicodeLower(c);
    for (char32_t& c : needle)
        c = UnicodeLower(c);
    if (needle.empty() || low.find(needle) == std::u32string::npos) return std::string(text);
    std::u32string out;
    size_t i = 0;
    for (;;) {
        const size_t p = low.find(needle, i);
        if (p == std::u32string::npos) break;
        out.append(s, i, p - i);
        i = p + needle.size();
    }
    out.append(s, i, std::u32string::npos);
    return Utf32ToUtf8(out);
}

std::string CleanFeedTitle(std::string_view title) {
    std::string_view t = title;
    if (t.substr(0, 11) == "Uploads by ") t.remove_prefix(11);
    return RemoveAllUnicodeNoCase(t, "- Vid\xC3\xA9os les plus r\xC3\xA9"
                                     "centes - Dailymotion");
}

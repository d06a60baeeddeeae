#include "update/core/XML_Qn.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "article/core/HtmlEntities.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"

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

std::string XmlOwnText(const XmlNode* node) {
    if (!node) return {};
    std::string text;
    for (const XmlNode* n = node->FirstChild; n && n->Type == XML_NODE_CDATA; n = n->NextSibling)
        text += n->Text;
    text += node->Text;
    return text;
}

static const std::string_view kXhtmlNamespace = "http://www.w3.org/1999/xhtml";

static std::string_view LocalName(std::string_view name) {
    const size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Character data and attribute values written back so that the HTML readers decode them
// to the same characters ("<" in a text is a character, not a tag).
static void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            if (attribute) {
                out += "&quot;";
                break;
            }
            [[fallthrough]];
        default:
            out.push_back(c);
        }
    }
}

static bool IsVoidElement(std::string_view name) {
    static const std::string_view kVoid[] = {"area",  "base",   "br",    "col",  "embed",
                                             "hr",    "img",    "input", "link", "meta",
                                             "param", "source", "track", "wbr"};
    for (std::string_view v : kVoid)
        if (EqualsNoCase(name, v)) return true;
    return false;
}

static void AppendInnerMarkup(std::string& out, const XmlNode* node, int depth);

static void AppendElement(std::string& out, const XmlNode* e, int depth) {
    const std::string_view name = LocalName(e->Name);
    out += '<';
    out += name;
    for (const XmlAttr& a : e->Attributes) {
        if (a.Name == "xmlns" || a.Name.starts_with("xmlns:")) continue;
        out += ' ';
        out += LocalName(a.Name);
        out += "=\"";
        AppendEscaped(out, a.Value, true);
        out += '"';
    }
    if (!e->FirstChild && e->Text.empty() && IsVoidElement(name)) {
        out += " />";
        return;
    }
    out += '>';
    AppendInnerMarkup(out, e, depth + 1);
    out += "</";
    out += name;
    out += '>';
}

// The parser bounds the depth of the documents it builds; this bound only keeps a tree
// built by other means from exhausting the stack.
static constexpr int kMaxMarkupDepth = 256;

static void AppendInnerMarkup(std::string& out, const XmlNode* node, int depth) {
    const std::string_view text = node->Text;
    size_t done = 0;
    for (const XmlNode* n = node->FirstChild; n; n = n->NextSibling) {
        const size_t at = std::min(n->TextOffset, text.size());
        if (at > done) AppendEscaped(out, text.substr(done, at - done), false);
        done = std::max(done, at);
        if (n->Type == XML_NODE_ELEMENT && depth < kMaxMarkupDepth)
            AppendElement(out, n, depth);
        else if (n->Type == XML_NODE_CDATA)
            AppendEscaped(out, n->Text, false);
    }
    if (done < text.size()) AppendEscaped(out, text.substr(done), false);
}

static bool IsBlankText(std::string_view s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    return true;
}

// The XHTML "div" that wraps an Atom XHTML construct, or nullptr.
static const XmlNode* XhtmlWrapper(const XmlNode* node) {
    const XmlNode* div = nullptr;
    for (const XmlNode* n = node->FirstChild; n; n = n->NextSibling) {
        if (n->Type == XML_NODE_CDATA && !IsBlankText(n->Text)) return nullptr;
        if (n->Type != XML_NODE_ELEMENT) continue;
        if (div) return nullptr;
        div = n;
    }
    if (!div || !EqualsNoCase(LocalName(div->Name), "div") || !IsBlankText(node->Text))
        return nullptr;
    const std::string type = AsciiLower(Trim(XmlAttribute(node, "type", 1)));
    if (type == "xhtml" || type == "application/xhtml+xml") return div;
    for (const XmlAttr& a : div->Attributes)
        if ((a.Name == "xmlns" || a.Name.starts_with("xmlns:")) && Trim(a.Value) == kXhtmlNamespace)
            return div;
    return nullptr;
}

std::string XmlText(const XmlNode* node) {
    if (!node) return {};
    bool hasElement = false;
    for (const XmlNode* n = node->FirstChild; n && !hasElement; n = n->NextSibling)
        hasElement = n->Type == XML_NODE_ELEMENT;
    if (!hasElement) return XmlOwnText(node);
    const XmlNode* div = XhtmlWrapper(node);
    std::string out;
    AppendInnerMarkup(out, div ? div : node, 0);
    return out;
}

bool XmlDecodeBase64Text(std::string_view text, std::string& out) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') clean.push_back(c);
    if (clean.empty() || clean.size() % 4 != 0) return false;
    size_t pad = 0;
    while (pad < 2 && clean[clean.size() - 1 - pad] == '=')
        ++pad;
    for (size_t i = 0; i + pad < clean.size(); ++i) {
        const char c = clean[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '+' || c == '/'))
            return false;
    }
    std::string decoded = Base64Decode(clean);
    if (!IsValidUtf8(decoded)) return false;
    out = std::move(decoded);
    return true;
}

static bool IsRemovedControl(unsigned char c, int allControls) {
    return c >= 1 && c <= 31 && (allControls || (c != 9 && c != 10 && c != 13));
}

std::string XmlCleanText(std::string_view text, int allControls) {
    // Spaces and tabs at both ends go first (the controls between them and the text go
    // with them, as a trim after the removal would take the blanks they separated).
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t' ||
                     IsRemovedControl(static_cast<unsigned char>(text[b]), allControls)))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' ||
                     IsRemovedControl(static_cast<unsigned char>(text[e - 1]), allControls)))
        --e;
    text = text.substr(b, e - b);
    // Most values hold no control character: copy them in runs, not byte by byte, and skip
    // eight bytes at a time where none is below 0x20.
    std::string out;
    const size_t n = text.size();
    size_t run = 0;
    for (size_t i = 0; i < n;) {
        if (i + 8 <= n) {
            const uint64_t w = LoadBytes8(text.data() + i);
            const uint64_t low = (w - 0x2020202020202020ull) & ~w & 0x8080808080808080ull;
            if (!low) {
                i += 8;
                continue;
            }
            i += FirstFlaggedByte(low); // the first byte below 0x20
        }
        if (IsRemovedControl(static_cast<unsigned char>(text[i]), allControls)) {
            if (out.empty()) out.reserve(n);
            out.append(text.substr(run, i - run));
            run = i + 1;
        }
        ++i;
    }
    if (run == 0) return std::string(text);
    out.append(text.substr(run));
    return out;
}

XmlNode* XmlAddChild(XmlNode* parent, std::string_view name, std::string_view text) {
    if (!parent || !parent->Owner) return nullptr;
    XmlNode* n = parent->Owner->NewChild(parent, XML_NODE_ELEMENT, name);
    n->Text = std::string(text);
    return n;
}

std::string CleanText(std::string_view text, int allControls) {
    std::string cleaned = XmlCleanText(text, allControls);
    if (cleaned.find("\xC2\xA0") == std::string::npos) return cleaned;
    return TrimBlanks(ReplaceAll(cleaned, "\xC2\xA0", " "));
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

std::string CleanHtmlText(std::string_view text) {
    const std::string plain = RemoveHtmlTags(DecodeHtmlEntities(ReplaceHtmlBreaks(text, "\n")));
    return TrimBlanks(XmlCleanText(plain, 1));
}

// ---------------------------------------------------------------- pages

// UTF-8 bytes as they are when well-formed; otherwise each bad byte becomes U+FFFD.
static std::string AsUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Utf32ToUtf8(Utf8ToUtf32(bytes));
}

std::string PeekPage(const std::string* memory, int64_t size, int format) {
    if (size <= 0 || !memory || memory->empty()) return {};
    if (size > static_cast<int64_t>(memory->size())) size = static_cast<int64_t>(memory->size());
    const std::string_view bytes(memory->data(), static_cast<size_t>(size));
    if (format == PEEK_DETECT) {
        if (bytes.substr(0, 10).find('\0') != std::string_view::npos) {
            format = PEEK_UTF16;
        } else {
            const std::string head = AsciiLower(AsUtf8(bytes.substr(0, 8000)));
            if (head.find("utf8") != std::string::npos || head.find("utf-8") != std::string::npos)
                format = PEEK_UTF8;
        }
    }
    if (format == PEEK_UTF8) return AsUtf8(bytes);
    if (format == PEEK_UTF16) {
        // A little-endian byte-order mark is no part of the text.
        std::string_view b = bytes;
        if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
            static_cast<unsigned char>(b[1]) == 0xFE)
            b.remove_prefix(2);
        return Utf16LEBytesToUtf8(b);
    }
    return Cp1252ToUtf8(bytes);
}

// ---------------------------------------------------------------- parse errors

namespace {
std::mutex g_presenterLock;
XmlErrorPresenter g_presenter;
} // namespace

void XmlShowError_SetPresenter(XmlErrorPresenter presenter) {
    std::lock_guard<std::mutex> lock(g_presenterLock);
    g_presenter = std::move(presenter);
}

static std::string Hex2(unsigned char c) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", c);
    return buf;
}

std::string XmlErrorText(const std::string& file, std::string_view message, long line,
                         long position) {
    std::string bytes;
    File_ReadAll(file, bytes);
    // Byte offset of every line start (lines end with "\n").
    std::vector<size_t> starts{0};
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n') starts.push_back(i + 1);
    std::string text = std::string(message) + "\r\n Line=" + std::to_string(line) +
                       " Position=" + std::to_string(position) + "\r\n";
    const size_t column = position > 0 ? static_cast<size_t>(position) : 0;
    for (long n = line - 1; n <= line + 1; ++n) {
        if (n < 1 || static_cast<size_t>(n) > starts.size()) continue;
        const size_t start = starts[static_cast<size_t>(n - 1)];
        if (start >= bytes.size() && n > 1) continue; // past the last line
        size_t end = static_cast<size_t>(n) < starts.size() ? starts[static_cast<size_t>(n)] - 1
                                                            : bytes.size();
        if (end > start && bytes[end - 1] == '\r') --end;
        const std::string_view lineText(bytes.data() + start, end - start);
        // Expat counts columns in characters.
        const bool beyond = column > Utf8Length(lineText);
        const size_t at = Utf8Offset(lineText, column);
        text += "Line " + std::to_string(n) + ", " + std::to_string(start) + " : " +
                Utf8Mid(lineText, column, 10) + "\r\n";
        // The bytes of that line only, its line end included.
        const size_t lineEnd =
            static_cast<size_t>(n) < starts.size() ? starts[static_cast<size_t>(n)] : bytes.size();
        for (size_t i = 0; !beyond && i < 11 && start + at + i < lineEnd; ++i)
            text += Hex2(static_cast<unsigned char>(bytes[start + at + i])) + " ";
        text += "\r\n";
    }
    return text;
}

void XmlShowError(const std::string& file, std::string_view message, long line, long position) {
    // Lets the writer of the file finish before it is read again.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string text = XmlErrorText(file, message, line, position);
    std::string name = file, folder;
    const size_t sep = file.find_last_of("/\\");
    if (sep != std::string::npos) {
        name = file.substr(sep + 1);
        folder = file.substr(0, sep);
    }
    XmlErrorPresenter presenter;
    {
        std::lock_guard<std::mutex> lock(g_presenterLock);
        presenter = g_presenter;
    }
    if (presenter)
        presenter("Error " + name, text, folder);
    else
        Log("! Error " + name + " : " + text);
}

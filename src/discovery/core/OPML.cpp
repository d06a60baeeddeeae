#include "discovery/core/OPML.h"

#include <cctype>

#include <expat.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "article/core/HtmlEntities.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include <ctime>
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

// ---------------------------------------------------------------- kinds

bool IsPlugInType(std::string_view type) {
    return StartsWithNoCase(type, "ov-");
}
bool IsFeedFormat(std::string_view type) {
    return EqualsNoCase(type, "atom") || EqualsNoCase(type, "rdf") || EqualsNoCase(type, "rssv2");
}
bool IsNetRadio(std::string_view type) {
    return EqualsNoCase(type, "netradio");
}
static std::string CurrentType() {
    const Rss* f = RssList.Current();
    return f ? f->ExtractAs : std::string();
}
bool IsPlugInType() {
    return RssList.Current() && IsPlugInType(CurrentType());
}
bool IsFeedFormat() {
    return RssList.Current() && IsFeedFormat(CurrentType());
}
bool IsNetRadio() {
    return RssList.Current() && IsNetRadio(CurrentType());
}

// ---------------------------------------------------------------- cleaning

std::string OPML_CleanText(std::string_view text) {
    // Most values hold no markup: only the step that also applies to plain text runs.
    std::string s = text.find_first_of("<&") == std::string_view::npos
                        ? FixCp1252Controls(text)
                        : RemoveHtmlTags(DecodeHtmlEntities(ReplaceHtmlBreaks(text, "\n")));
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return TrimBlanks(CleanText(s, 1));
}

std::string OPML_CleanUrl(std::string_view text) {
    return TrimBlanks(ReplaceAll(XmlCleanText(text, 1), "\xC2\xA0", " "));
}

// ---------------------------------------------------------------- outlines

static const std::string* Attr(const OpmlAttribute* a, size_t n, std::string_view lower) {
    for (size_t i = 0; i < n; ++i)
        if (AsciiLower(TrimBlanks(a[i].Name)) == lower) return &a[i].Value;
    return nullptr;
}

int ReadOutline(const OpmlAttribute* attributes, size_t count, const std::string& group,
                CursorList<Rss>& list) {
    const std::string* url = Attr(attributes, count, "xmlurl");
    if (!url) return 0;
    Rss r;
    r.Url = OPML_CleanUrl(*url);
    if (r.Url.empty()) return 0;
    auto text = [&](std::string_view name) {
        const std::string* v = Attr(attributes, count, name);
        return v ? OPML_CleanText(*v) : std::string();
    };
    auto number = [&](std::string_view name) { return ValInt32(text(name)); };
    const std::string* typeAttr = Attr(attributes, count, "type");
    const std::string* versionAttr = Attr(attributes, count, "version");
    const std::string type = typeAttr ? OPML_CleanUrl(*typeAttr) : std::string();
    const std::string version = versionAttr ? TrimBlanks(OPML_CleanUrl(*versionAttr)) : "";
    r.Name = text("text");
    // Several readers write only "title"; a feed without any name shows its address.
    if (r.Name.empty()) r.Name = text("title");
    if (r.Name.empty()) r.Name = r.Url;
    r.Description = text("description");
    r.Language = text("language");
    r.Flags = number("ovflag");
    r.MaxFeed = number("ovmaxfeed");
    r.FormatExtractText = number("ovextract");
    r.ContentRss = number("ovcontent");
    r.Group = group;
    r.ExtractAs = "RssV2";
    if (EqualsNoCase(version, "atom")) r.ExtractAs = "Atom";
    if (EqualsNoCase(version, "rdf")) r.ExtractAs = "RDF";
    if (IsNetRadio(type)) {
        r.ExtractAs = "NetRadio";
        r.ContentRss = CONTENT_NETRADIO;
    }
    r.ExtractError = 0;
    list.AddLast(std::move(r));
    return 1;
}

// ---------------------------------------------------------------- streaming reader

namespace {
// The walk of one parse: only the elements the import looks at are noticed, so memory
// grows with the feeds found, never with the document.
struct OpmlWalk {
    CursorList<Rss> Found;
    int Depth = 0; // depth of the element being opened (root = 1)
    bool RootIsOpml = false;
    bool BodySeen = false; // the first "body" of the root was entered
    bool InBody = false;
    bool InGroup = false; // inside a body-level outline that is a group
    std::string Group;
    bool Capped = false;
    std::vector<OpmlAttribute> Attrs;

    void Outline(const XML_Char** atts, const std::string& group) {
        if (Found.Size() >= OPML_MAX_FEEDS) {
            if (!Capped)
                Log("! OPML_Read, more than " + std::to_string(OPML_MAX_FEEDS) +
                    " feeds: the rest is ignored");
            Capped = true;
            return;
        }
        Attrs.clear();
        for (int i = 0; atts[i]; i += 2)
            Attrs.push_back({atts[i], atts[i + 1]});
        ReadOutline(Attrs.data(), Attrs.size(), group, Found);
    }
    static void Start(void* ud, const XML_Char* name, const XML_Char** atts) {
        auto* w = static_cast<OpmlWalk*>(ud);
        const int depth = ++w->Depth;
        if (depth == 1) {
            w->RootIsOpml = EqualsNoCase(name, "opml");
        } else if (depth == 2) {
            if (w->RootIsOpml && !w->BodySeen && EqualsNoCase(name, "body")) {
                w->BodySeen = true;
                w->InBody = true;
            }
        } else if (depth == 3 && w->InBody && EqualsNoCase(name, "outline")) {
            const size_t before = w->Found.Size();
            w->Outline(atts, "Import");
            if (w->Found.Size() > before || w->Capped) return; // a feed: children unread
            std::string text, title;
            for (int i = 0; atts[i]; i += 2) {
                const std::string n = AsciiLower(TrimBlanks(atts[i]));
                if (n == "text" && text.empty()) text = atts[i + 1];
                if (n == "title" && title.empty()) title = atts[i + 1];
            }
            w->Group = OPML_CleanText(text);
            if (w->Group.empty()) w->Group = OPML_CleanText(title);
            w->InGroup = true;
        } else if (depth == 4 && w->InGroup && EqualsNoCase(name, "outline")) {
            w->Outline(atts, w->Group);
        }
    }
    static void End(void* ud, const XML_Char*) {
        auto* w = static_cast<OpmlWalk*>(ud);
        if (w->Depth == 3) w->InGroup = false;
        if (w->Depth == 2) w->InBody = false;
        --w->Depth;
    }
};

// expat knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII; files saved by Windows programs
// often declare the Windows code page, a single-byte encoding expat maps through a table.
int XMLCALL UnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
    if (!name || !(EqualsNoCase(name, "windows-1252") || EqualsNoCase(name, "cp1252") ||
                   EqualsNoCase(name, "x-cp1252")))
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i)
        info->map[i] = static_cast<int>(Cp1252ToCodePoint(static_cast<unsigned char>(i)));
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
}

struct ParseError {
    int Code = 0;
    std::string Text; // message + " line=" + line + " pos=" + column
    long Line = 0;
};

// One streaming parse: `next` hands out the document's bytes piece by piece (false at the
// end). `encoding` null: taken from the document.
template <class Next> ParseError Parse(OpmlWalk& walk, const char* encoding, Next next) {
    ParseError err;
    XML_Parser p = XML_ParserCreate(encoding);
    if (!p) {
        err.Code = XML_ERROR_NO_MEMORY;
        err.Text = "out of memory";
        return err;
    }
    XML_SetUserData(p, &walk);
    XML_SetElementHandler(p, &OpmlWalk::Start, &OpmlWalk::End);
    XML_SetUnknownEncodingHandler(p, &UnknownEncoding, nullptr);
    // No external entity handler is installed: external entities are never loaded.
    std::string_view piece;
    bool more = true;
    XML_Status st = XML_STATUS_OK;
    while (st == XML_STATUS_OK && more) {
        more = next(piece);
        st = XML_Parse(p, piece.data(), static_cast<int>(piece.size()), more ? 0 : 1);
    }
    if (st != XML_STATUS_OK) {
        const XML_Error code = XML_GetErrorCode(p);
        err.Code = static_cast<int>(code);
        err.Line = static_cast<long>(XML_GetCurrentLineNumber(p));
        err.Text = std::string(XML_ErrorString(code) ? XML_ErrorString(code) : "") +
                   " line=" + std::to_string(err.Line) +
                   " pos=" + std::to_string(XML_GetCurrentColumnNumber(p));
    }
    XML_ParserFree(p);
    return err;
}

ParseError ParseText(OpmlWalk& walk, std::string_view text, const char* encoding) {
    constexpr size_t kPiece = 1u << 20;
    size_t off = 0;
    return Parse(walk, encoding, [&](std::string_view& piece) {
        const size_t n = std::min(kPiece, text.size() - off);
        piece = text.substr(off, n);
        off += n;
        return off < text.size();
    });
}

std::string_view LineOf(std::string_view text, long line) {
    if (line < 1) return {};
    size_t start = 0;
    for (long n = 1; n < line; ++n) {
        const size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) return {};
        start = nl + 1;
    }
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

// The text the repair works on: UTF-8 whatever the declaration says (Windows-1252 when
// the bytes are not UTF-8, UTF-16 after its byte-order mark), as feeds are repaired.
std::string BytesToText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return Utf16LEBytesToUtf8(bytes.substr(2));
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF) {
        std::string le(bytes.substr(2));
        for (size_t i = 0; i + 1 < le.size(); i += 2)
            std::swap(le[i], le[i + 1]);
        return Utf16LEBytesToUtf8(le);
    }
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

// True when `text` at `at` reads like the end of an attribute value: blanks, then the
// next attribute's "name=", or the end of the tag.
static bool AttributeEndsAt(std::string_view text, size_t at) {
    size_t i = at;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n'))
        ++i;
    if (i >= text.size()) return true;
    if (text.compare(i, 2, "/>") == 0 || text.compare(i, 2, "?>") == 0) return true;
    // A ">" inside a value (markup quoted in a description) is followed by text; the
    // tag's own by a blank, the next tag or the end.
    if (text[i] == '>')
        return i + 1 >= text.size() || std::isspace(static_cast<unsigned char>(text[i + 1])) ||
               text[i + 1] == '<';
    if (i == at) return false; // a value's quote is followed by a blank or the tag end
    size_t j = i;
    while (j < text.size() &&
           (std::isalnum(static_cast<unsigned char>(text[j])) || text[j] == '_' || text[j] == ':' ||
            text[j] == '-' || text[j] == '.'))
        ++j;
    while (j < text.size() && (text[j] == ' ' || text[j] == '\t'))
        ++j;
    return j > i && j < text.size() && text[j] == '=';
}

// Lists exported by other programs carry attribute values with raw quotes, "&" and "<"
// in them (a description quoting a title, an address with a query): inside every tag
// such characters are escaped, a quote counting as the value's end only where the next
// attribute or the tag's end follows it.
static std::string PatchAttributeValues(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '<' || text.compare(i, 4, "<!--") == 0 || text.compare(i, 9, "<![CDATA[") == 0) {
            if (c == '<') { // a comment or a section: copied as it stands
                const char* end = text.compare(i, 4, "<!--") == 0 ? "-->" : "]]>";
                const size_t e = text.find(end, i);
                const size_t stop = e == std::string_view::npos ? text.size() : e + 3;
                out.append(text.substr(i, stop - i));
                i = stop;
                continue;
            }
            out += c;
            ++i;
            continue;
        }
        // A tag: copy up to its end, patching quoted values.
        while (i < text.size() && text[i] != '>') {
            const char t = text[i];
            if ((t == '"' || t == '\'') && i > 0 && text[i - 1] == '=') {
                out += t;
                ++i;
                while (i < text.size()) {
                    const char v = text[i];
                    if (v == t && AttributeEndsAt(text, i + 1)) break;
                    if (v == t)
                        out += t == '"' ? "&quot;" : "&apos;";
                    else if (v == '<')
                        out += "&lt;";
                    else if (v == '&') {
                        size_t k = i + 1;
                        if (k < text.size() && text[k] == '#') ++k;
                        while (k < text.size() && std::isalnum(static_cast<unsigned char>(text[k])))
                            ++k;
                        const bool entity = k > i + 1 && k < text.size() && text[k] == ';';
                        out += entity ? "&" : "&amp;";
                    } else
                        out += v;
                    ++i;
                }
                if (i < text.size()) out += text[i++];
                continue;
            }
            out += t;
            ++i;
        }
        if (i < text.size()) out += text[i++];
    }
    return out;
}

// The repair of a document expat refused, with the log lines feeds get: line ends
// normalised, junk before the first "<" dropped, then one patch chosen by the error and
// a last parse. True with `walk` filled when a parse succeeded.
bool Repair(std::string_view bytes, OpmlWalk& walk) {
    std::string message;
    std::string text = BytesToText(bytes);
    text = ReplaceAll(ReplaceAll(text, "\r", "\n"), "\n\n", "\n");
    const size_t lt = text.find('<');
    if (lt != 0 && lt != std::string::npos) text.erase(0, lt);
    bool ok = false;
    // Pass 0 reads the text as it is; pass 1 after the escape of raw quotes, markup and
    // ampersands in attribute values (lists exported by other programs); pass 2 after
    // the patch the remaining error asks for.
    for (int pass = 0; pass < 3 && !ok; ++pass) {
        walk = OpmlWalk();
        const ParseError err = ParseText(walk, text, "UTF-8");
        if (err.Code == 0) {
            ok = true;
            break;
        }
        message += err.Text + " => " + std::string(LineOf(text, err.Line)).substr(0, 200) + "\r\n";
        if (pass == 2) break;
        if (pass == 0) {
            const std::string patched = PatchAttributeValues(text);
            if (patched != text) {
                text = patched;
                continue;
            }
            ++pass; // nothing to escape: on to the patch of the error
        }
        if (err.Code == 5)
            text = XmlPatch_UnclosedToken(text);
        else if (err.Code == 11)
            text = XmlPatch_UndefinedEntity(text);
        else if (err.Code == 4)
            text = XmlPatch_InvalidToken(text);
        else if (err.Code == 18)
            text = XmlPatch_UnknownEncoding(text);
        else
            break;
    }
    message += ok ? "  Patched by IsGoodXml, " : "! Error IsGoodXml, ";
    Log(message);
    return ok;
}

long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// Appends what a successful walk found and logs the count.
size_t Commit(OpmlWalk& walk, CursorList<Rss>& list, std::chrono::steady_clock::time_point start) {
    const size_t n = walk.Found.Size();
    list.Raw().splice(list.Raw().end(), walk.Found.Raw());
    walk.Found.Clear();
    Log(std::to_string(n) + " Rss Found in " + std::to_string(ElapsedMs(start)) + " ms");
    return list.Size();
}
} // namespace

size_t OPML_ReadBytes(std::string_view bytes, const std::string& name, CursorList<Rss>& list,
                      int* status) {
    const auto start = std::chrono::steady_clock::now();
    if (status) *status = OPML_READ_OK;
    OpmlWalk walk;
    const ParseError err = ParseText(walk, bytes, nullptr);
    if (err.Code == 0) return Commit(walk, list, start);
    Log("! ErrorXML " + err.Text + ", " + name);
    if (!Repair(bytes, walk)) {
        if (status) *status = OPML_READ_INVALID;
        return list.Size();
    }
    return Commit(walk, list, start);
}

// The start-up's extension routine: the extension (after the last "." of the last path
// component) replaced, or added.
static std::string ChangeExtension(const std::string& file, const std::string& ext) {
    const size_t slash = file.find_last_of("/\\");
    const size_t dot = file.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return file.substr(0, dot + 1) + ext;
    return file + "." + ext;
}

size_t OPML_ReadFile(const std::string& fileIn, CursorList<Rss>& list, int* status,
                     std::string* usedFile) {
    const auto start = std::chrono::steady_clock::now();
    std::string file = fileIn;
    if (status) *status = OPML_READ_MISSING;
    if (!File_Exists(file) || Dir_Exists(file)) {
        file = ChangeExtension(file, "Opml");
        if (!File_Exists(file) || Dir_Exists(file)) return list.Size();
    }
    if (usedFile) *usedFile = file;
    Log("* OPML_Read() : " + file);
    if (status) *status = OPML_READ_INVALID;
    const long long size = File_Size(file);
    if (size > OPML_MAX_FILE_BYTES) {
        Log("! Error OPML_Read, file too big (" + std::to_string(size) + " bytes) : " + file);
        return list.Size();
    }
    // First parse straight from the file, a piece at a time.
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
        Log("! Error OPML_Read, can't open : " + file);
        return list.Size();
    }
    std::vector<char> buf(1u << 20);
    OpmlWalk walk;
    long long total = 0;
    bool readError = false;
    const ParseError err = Parse(walk, nullptr, [&](std::string_view& piece) {
        const size_t n = std::fread(buf.data(), 1, buf.size(), f);
        total += static_cast<long long>(n);
        if (n < buf.size() && std::ferror(f)) readError = true;
        piece = std::string_view(buf.data(), n);
        // Another read only when this one filled the buffer and the size cap holds.
        return n == buf.size() && total <= OPML_MAX_FILE_BYTES;
    });
    std::fclose(f);
    if (readError || total > OPML_MAX_FILE_BYTES) {
        Log("! Error OPML_Read, can't read : " + file);
        return list.Size();
    }
    if (status) *status = OPML_READ_OK;
    if (err.Code == 0) return Commit(walk, list, start);
    Log("! ErrorXML " + err.Text);
    walk = OpmlWalk();
    std::string bytes;
    if (!File_ReadAll(file, bytes, OPML_MAX_FILE_BYTES) || bytes.empty() ||
        static_cast<long long>(bytes.size()) > OPML_MAX_FILE_BYTES) {
        Log("! Error IsGoodXML, reloading data is null");
        if (status) *status = OPML_READ_INVALID;
        return list.Size();
    }
    if (!Repair(bytes, walk)) {
        if (status) *status = OPML_READ_INVALID;
        return list.Size();
    }
    return Commit(walk, list, start);
}

// ---------------------------------------------------------------- writing

// A text as XML attribute content: markup characters escaped, tab and line ends kept
// as references, other characters XML 1.0 cannot carry dropped, invalid UTF-8 replaced.
static void AppendEscaped(std::string& out, std::string_view text) {
    const std::u32string chars = Utf8ToUtf32(text);
    for (char32_t c : chars) {
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
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) break;
            Utf8Append(out, c);
        }
    }
}

static void AppendAttr(std::string& out, const char* name, std::string_view value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendEscaped(out, value);
    out += '"';
}

std::string OPML_Document(const CursorList<Rss>& list, const std::string& dateCreated) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.1\">\n";
    out += "  <head>\n    <title>Orvalis</title>\n    <dateCreated>";
    AppendEscaped(out, dateCreated);
    out += "</dateCreated>\n  </head>\n  <body>\n";
    bool open = false;
    std::string group;
    for (const Rss& f : list) {
        if (IsPlugInType(f.ExtractAs)) continue;
        if (!open || Utf8Lower(f.Group) != Utf8Lower(group)) {
            if (open) out += "    </outline>\n";
            out += "    <outline";
            AppendAttr(out, "text", f.Group);
            out += ">\n";
            open = true;
            group = f.Group;
        }
        const bool radio = IsNetRadio(f.ExtractAs);
        out += "      <outline";
        AppendAttr(out, "type", radio ? "NetRadio" : "rss");
        if (!f.ExtractAs.empty() && !radio) AppendAttr(out, "version", f.ExtractAs);
        AppendAttr(out, "text", f.Name);
        AppendAttr(out, "xmlUrl", f.Url);
        AppendAttr(out, "language", f.Language);
        AppendAttr(out, "description", f.Description);
        AppendAttr(out, "ovflag", std::to_string(f.Flags));
        AppendAttr(out, "ovmaxfeed", std::to_string(f.MaxFeed));
        AppendAttr(out, "ovextract", std::to_string(f.FormatExtractText));
        AppendAttr(out, "ovcontent", std::to_string(f.ContentRss));
        out += "/>\n";
    }
    if (open) out += "    </outline>\n";
    out += "  </body>\n</opml>\n";
    return out;
}

// The local time as "%yyyy-%mm-%dd %hh:%ii:%ss".
static std::string NowText() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

int OPML_WriteFile(const CursorList<Rss>& list, const std::string& file) {
    const std::string doc = OPML_Document(list, NowText());
    if (!File_WriteAtomic(file, doc)) {
        Log("! Error OPML_Save, can't write : " + file);
        return 0;
    }
    return 1;
}

std::string OPML_FileName(const std::string& file) {
    const size_t slash = file.find_last_of("/\\");
    const size_t dot = file.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        EqualsNoCase(std::string_view(file).substr(dot + 1), "opml"))
        return file;
    return file + ".Opml";
}

static bool IsValidExportName(std::string_view name) {
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (c < 32 || c == '"' || c == '<' || c == '>' || c == '*' || c == '/' || c == ':' ||
            c == '?' || c == '\\' || c == '|')
            return false;
    return name != "." && name != "..";
}

std::string OPML_GroupFileName(const std::string& group, int counter) {
    std::string name;
    for (char c : group)
        if (c != ':' && c != '?' && c != '*') name += c;
    name = OPML_CleanUrl(name);
    if (!IsValidExportName(name)) name = "Group" + std::to_string(counter);
    return name;
}

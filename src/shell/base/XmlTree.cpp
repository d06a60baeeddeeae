#include "shell/base/XmlTree.h"

#include <expat.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/core/Text.h"

static std::atomic<uint64_t> g_parseCount{0};

uint64_t Xml_ParseCount() {
    return g_parseCount.load();
}

// expat knows UTF-8, UTF-16, ISO-8859-1 and US-ASCII; many feeds declare the Windows
// code page, a single-byte encoding expat maps through this table.
static int XMLCALL UnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
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

XmlDocument::XmlDocument() {
    m_nodes.emplace_back();
    m_root = &m_nodes.back();
    m_root->Type = XML_NODE_ROOT;
    m_root->Owner = this;
}

XmlNode* XmlDocument::RootElement() const {
    for (XmlNode* n = m_root->FirstChild; n; n = n->NextSibling)
        if (n->Type == XML_NODE_ELEMENT) return n;
    return nullptr;
}

void XmlDocument::SetError(int code, std::string message, long line, long column) {
    m_errorCode = code;
    m_errorMessage = std::move(message);
    m_errorLine = line;
    m_errorColumn = column;
}

XmlNode* XmlDocument::NewChild(XmlNode* parent, XmlNodeType type, std::string_view name) {
    m_nodes.emplace_back();
    XmlNode* n = &m_nodes.back();
    n->Type = type;
    n->Name = std::string(name);
    n->Parent = parent;
    n->Owner = this;
    n->TextOffset = parent->Text.size();
    if (parent->LastChild)
        parent->LastChild->NextSibling = n;
    else
        parent->FirstChild = n;
    parent->LastChild = n;
    return n;
}

struct XmlBuilder {
    XmlDocument* Doc;
    XmlNode* Current;
    XML_Parser Parser = nullptr;
    XmlNode* CData = nullptr; // open CDATA section
    int Depth = 0;            // open elements
    int Refused = 0;          // XML_TREE_TOO_DEEP or XML_TREE_TOO_LARGE once stopped

    // Stops the parse for good; expat then reports XML_ERROR_ABORTED, replaced by the
    // refusal's own code. Handlers may still be called for the current buffer until
    // expat notices, so every handler checks Refused first.
    bool Refuse(int code) {
        if (!Refused) {
            Refused = code;
            XML_StopParser(Parser, XML_FALSE);
        }
        return false;
    }
    bool Room() {
        if (Refused) return false;
        if (Doc->NodeCount() >= XML_TREE_MAX_NODES) return Refuse(XML_TREE_TOO_LARGE);
        return true;
    }

    static void Start(void* ud, const XML_Char* name, const XML_Char** atts) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (!b->Room()) return;
        if (b->Depth >= XML_TREE_MAX_DEPTH) {
            b->Refuse(XML_TREE_TOO_DEEP);
            return;
        }
        ++b->Depth;
        XmlNode* n = b->Doc->NewChild(b->Current, XML_NODE_ELEMENT, name);
        for (int i = 0; atts[i]; i += 2)
            n->Attributes.push_back({atts[i], atts[i + 1]});
        b->Current = n;
    }
    static void End(void* ud, const XML_Char*) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (b->Refused) return;
        --b->Depth;
        if (b->Current->Parent) b->Current = b->Current->Parent;
    }
    static void Chars(void* ud, const XML_Char* s, int len) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (b->Refused) return;
        if (b->CData)
            b->CData->Text.append(s, static_cast<size_t>(len));
        else if (b->Current->Type == XML_NODE_ELEMENT)
            b->Current->Text.append(s, static_cast<size_t>(len));
    }
    static void StartCData(void* ud) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (!b->Room()) return;
        b->CData = b->Doc->NewChild(b->Current, XML_NODE_CDATA, "");
    }
    static void EndCData(void* ud) { static_cast<XmlBuilder*>(ud)->CData = nullptr; }
    static void Comment(void* ud, const XML_Char* data) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (!b->Room()) return;
        b->Doc->NewChild(b->Current, XML_NODE_COMMENT, "")->Text = data;
    }
    static void Instruction(void* ud, const XML_Char* target, const XML_Char* data) {
        auto* b = static_cast<XmlBuilder*>(ud);
        if (!b->Room()) return;
        b->Doc->NewChild(b->Current, XML_NODE_INSTRUCTION, target)->Text = data ? data : "";
    }
};

static std::unique_ptr<XmlDocument> Parse(std::string_view bytes, const char* encoding) {
    ++g_parseCount;
    auto doc = std::make_unique<XmlDocument>();
    XML_Parser p = XML_ParserCreate(encoding);
    if (!p) {
        doc->SetError(XML_ERROR_NO_MEMORY, XML_ErrorString(XML_ERROR_NO_MEMORY), 0, 0);
        return doc;
    }
    XmlBuilder b{doc.get(), doc->Main(), p};
    XML_SetUserData(p, &b);
    XML_SetElementHandler(p, &XmlBuilder::Start, &XmlBuilder::End);
    XML_SetCharacterDataHandler(p, &XmlBuilder::Chars);
    XML_SetCdataSectionHandler(p, &XmlBuilder::StartCData, &XmlBuilder::EndCData);
    XML_SetCommentHandler(p, &XmlBuilder::Comment);
    XML_SetProcessingInstructionHandler(p, &XmlBuilder::Instruction);
    XML_SetUnknownEncodingHandler(p, &UnknownEncoding, nullptr);
    // Feed in slices: expat takes an int length.
    constexpr size_t kSlice = 1u << 30;
    size_t off = 0;
    XML_Status st = XML_STATUS_OK;
    do {
        const size_t n = std::min(kSlice, bytes.size() - off);
        const bool last = off + n >= bytes.size();
        st = XML_Parse(p, bytes.data() + off, static_cast<int>(n), last ? 1 : 0);
        off += n;
    } while (st == XML_STATUS_OK && off < bytes.size());
    if (b.Refused) {
        const long line = static_cast<long>(XML_GetCurrentLineNumber(p));
        const long column = static_cast<long>(XML_GetCurrentColumnNumber(p));
        XML_ParserFree(p);
        // What was built is dropped at once: the caller only learns the refusal.
        doc = std::make_unique<XmlDocument>();
        doc->SetError(b.Refused,
                      b.Refused == XML_TREE_TOO_DEEP
                          ? "nested deeper than " + std::to_string(XML_TREE_MAX_DEPTH) + " levels"
                          : "more than " + std::to_string(XML_TREE_MAX_NODES) + " nodes",
                      line, column);
        return doc;
    }
    if (st != XML_STATUS_OK) {
        const XML_Error code = XML_GetErrorCode(p);
        doc->SetError(static_cast<int>(code), XML_ErrorString(code) ? XML_ErrorString(code) : "",
                      static_cast<long>(XML_GetCurrentLineNumber(p)),
                      static_cast<long>(XML_GetCurrentColumnNumber(p)));
    }
    XML_ParserFree(p);
    return doc;
}

std::unique_ptr<XmlDocument> Xml_ParseBytes(std::string_view bytes) {
    return Parse(bytes, nullptr);
}

std::unique_ptr<XmlDocument> Xml_ParseUtf8(std::string_view text) {
    // A leading byte-order mark is fine for expat; the given encoding overrides the
    // document's own declaration.
    return Parse(text, "UTF-8");
}

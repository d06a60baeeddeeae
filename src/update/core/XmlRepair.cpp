#include "update/core/XmlRepair.h"

#include <cstdio>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"

// ---------------------------------------------------------------- patches

std::string XmlPatch_UnclosedToken(std::string_view text) {
    return ReplaceAll(text, "/>", " />");
}

std::string XmlPatch_UndefinedEntity(std::string_view text) {
    return ReplaceAll(text, "&", "&amp;");
}

std::string XmlPatch_UnknownEncoding(std::string_view text) {
    return ReplaceAllNoCase(text, "utf8", "UTF-8");
}

static bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
static bool IsHexDigit(char c) {
    return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
// Letters, "_", ":" and any byte of a non-ASCII character may start an XML name.
static bool IsNameStart(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || u >= 0x80;
}
static bool IsNameChar(char c) {
    return IsNameStart(c) || IsAsciiDigit(c) || c == '-' || c == '.';
}

// True when text[i] == '&' begins "&name;", "&#digits;" or "&#xhex;".
static bool IsReference(std::string_view text, size_t i) {
    size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
        ++j;
        bool hex = false;
        if (j < text.size() && (text[j] == 'x' || text[j] == 'X')) {
            hex = true;
            ++j;
        }
        const size_t start = j;
        while (j < text.size() && (hex ? IsHexDigit(text[j]) : IsAsciiDigit(text[j])))
            ++j;
        return j > start && j < text.size() && text[j] == ';';
    }
    if (j >= text.size() || !IsNameStart(text[j])) return false;
    while (j < text.size() && IsNameChar(text[j]))
        ++j;
    return j < text.size() && text[j] == ';';
}

std::string XmlPatch_InvalidToken(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    size_t i = 0;
    auto copyThrough = [&](std::string_view close) {
        // A section copied as it is, apart from the control characters.
        const size_t end = text.find(close, i);
        const size_t stop = end == std::string_view::npos ? text.size() : end + close.size();
        for (; i < stop; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 1 && c <= 31 && c != 9 && c != 10 && c != 13) continue;
            out += text[i];
        }
    };
    while (i < text.size()) {
        const char ch = text[i];
        const unsigned char c = static_cast<unsigned char>(ch);
        if (ch == '<' && text.compare(i, 9, "<![CDATA[") == 0) {
            copyThrough("]]>");
        } else if (ch == '<' && text.compare(i, 4, "<!--") == 0) {
            copyThrough("-->");
        } else if (c >= 1 && c <= 31 && c != 9 && c != 10 && c != 13) {
            ++i;
        } else if (ch == '&' && !IsReference(text, i)) {
            out += "&amp;";
            ++i;
        } else {
            out += ch;
            ++i;
        }
    }
    return out;
}

// ---------------------------------------------------------------- reading

// A file is read whole only up to this size (the largest download bound): the downloads
// that write it are bounded themselves, this guards any other file handed over.
static constexpr int64_t kMaxFileBytes = int64_t(1024) << 20;
// Characters of the faulty line quoted in the log.
static constexpr size_t kQuotedLine = 400;

// Line number `line` (1-based) of a text split at "\n"; "" when there is no such line.
static std::string_view LineOf(std::string_view text, long line) {
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

// The whole file, with the messages of a failed read added to `message`.
static std::string ReloadFile(const std::string& name, std::string& message) {
    std::string bytes;
    FILE* f = std::fopen(name.c_str(), "rb");
    if (!f) {
        message += "! Error IsGoodXML, Can't access file : " + name + "\r\n";
        return bytes;
    }
    const long long expected = File_Size(name);
    if (expected > kMaxFileBytes) {
        message += "! Error IsGoodXML, file is too large : " + name + "\r\n";
    } else if (expected <= 0) {
        message += "! Error IsGoodXML, file is emplty : " + name + "\r\n";
    } else {
        bytes.resize(static_cast<size_t>(expected));
        const size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
        if (got != bytes.size()) {
            bytes.resize(got);
            message += "! Error IsGoodXml, Can't read all bytes of " + name + "\r\n";
        }
    }
    std::fclose(f);
    return bytes;
}

// The bytes as text: UTF-8 whatever the declaration says, except that bytes which are not
// UTF-8 are taken in the Windows code page (so accented letters survive the repair), and
// UTF-16 is read after its byte-order mark.
static std::string BytesToText(std::string_view bytes) {
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

// The log adds its own line end.
static void LogMessage(std::string message) {
    if (message.size() >= 2 && message.compare(message.size() - 2, 2, "\r\n") == 0)
        message.resize(message.size() - 2);
    Log(message);
}

static std::string ErrorText(const XmlDocument& doc) {
    return doc.ErrorMessage() + " line=" + std::to_string(doc.ErrorLine()) +
           " pos=" + std::to_string(doc.ErrorColumn());
}

// ---------------------------------------------------------------- IsGoodXML

std::unique_ptr<XmlDocument> IsGoodXML(std::string_view nameView, const std::string* memory,
                                       int64_t size) {
    const std::string name(nameView);
    std::string message;
    std::unique_ptr<XmlDocument> doc;

    // 1. The document as it came.
    if (memory) {
        if (size <= 0)
            message = "! Error IsGoodXML, Memory have no size !";
        else if (static_cast<int64_t>(memory->size()) < size)
            message = "! Error IsGoodXML, Memory is less than Size !";
        else
            doc = Xml_ParseBytes(std::string_view(*memory).substr(0, static_cast<size_t>(size)));
    } else {
        std::string bytes;
        if (File_ReadAll(name, bytes, kMaxFileBytes))
            doc = Xml_ParseBytes(bytes);
        else
            message = "! Error IsGoodXML, Can't access file : " + name;
    }
    if (!doc) {
        if (!message.empty()) Log(message);
        Log("! Error, can't open XML !");
        return nullptr;
    }
    if (doc->ErrorCode() == 0) return doc;
    Log("! ErrorXML " + ErrorText(*doc));
    if (doc->ErrorCode() == XML_TREE_TOO_DEEP || doc->ErrorCode() == XML_TREE_TOO_LARGE) {
        // No repair makes a document shallower or smaller.
        Log("! Error IsGoodXml, document refused : " + doc->ErrorMessage());
        return nullptr;
    }
    doc.reset();

    // 2. The raw bytes again.
    std::string bytes;
    if (memory) {
        bytes = memory->substr(0, static_cast<size_t>(size));
    } else {
        bytes = ReloadFile(name, message);
    }
    if (bytes.empty()) message += "! Error IsGoodXML, reloading data is null\r\n";
    if (!message.empty()) {
        LogMessage(message);
        return nullptr;
    }

    // 3-5. Text, line ends, junk before the first "<".
    std::string text = BytesToText(bytes);
    text = ReplaceAll(ReplaceAll(text, "\r", "\n"), "\n\n", "\n");
    const size_t lt = text.find('<');
    if (lt != 0 && lt != std::string::npos) text.erase(0, lt);

    // 6. Parse and patch, twice at most.
    for (int pass = 0; pass < 2; ++pass) {
        doc = Xml_ParseUtf8(text);
        if (!doc) {
            message += " can't reopen XML\r\n";
            break;
        }
        if (doc->ErrorCode() == 0) break;
        // The line is quoted for the log, cut: a whole document may sit on one line.
        message += ErrorText(*doc) + " => " +
                   std::string(Utf8Left(LineOf(text, doc->ErrorLine()), kQuotedLine)) + "\r\n";
        const int code = doc->ErrorCode();
        doc.reset();
        if (pass == 1) break; // no parse would follow another patch
        if (code == 5)
            text = XmlPatch_UnclosedToken(text);
        else if (code == 11)
            text = XmlPatch_UndefinedEntity(text);
        else if (code == 4)
            text = XmlPatch_InvalidToken(text);
        else if (code == 18)
            text = XmlPatch_UnknownEncoding(text);
        else
            break;
    }

    // 7.
    message += doc ? "  Patched by IsGoodXml, " : "! Error IsGoodXml, ";
    LogMessage(message);
    return doc;
}

// orvalis-tool parse FILE: the feed reader on a file, one JSON object per parsed item.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "platform/core/Text.h"
#include "tool/ToolCommand.h"
#include "update/core/FeedParse.h"
#include "update/core/XmlRepair.h"

// One JSON string as nlohmann::json writes it (no ASCII escaping): quote and backslash
// escaped, the control characters as \b \f \n \r \t or \u00XX, everything else as it is.
static void AppendJsonString(std::string& out, std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    size_t run = 0;
    // The bytes to escape, looked up in a table so that long texts are walked quickly.
    static const auto kEscaped = [] {
        std::array<bool, 256> t{};
        for (int c = 0; c < 0x20; ++c)
            t[c] = true;
        t['"'] = t['\\'] = true;
        return t;
    }();
    const size_t n = s.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!kEscaped[c]) continue;
        out.append(s.substr(run, i - run));
        run = i + 1;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\u00";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    out.append(s.substr(run));
    out.push_back('"');
}

static void AppendJsonName(std::string& out, const char* name) {
    if (out.back() != '{') out.push_back(',');
    out.push_back('"');
    out += name;
    out += "\":";
}

static void AppendJsonField(std::string& out, const char* name, std::string_view value) {
    AppendJsonName(out, name);
    AppendJsonString(out, value);
}

static void AppendJsonField(std::string& out, const char* name, int64_t value) {
    AppendJsonName(out, name);
    out += std::to_string(value);
}

// IsValidUtf8 with a quick walk over the ASCII part, eight bytes at a time.
static bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        if (w & 0x8080808080808080ull) break;
    }
    return IsValidUtf8(s.substr(i));
}

// One item as a JSON line, written field by field. A text that is not valid UTF-8 (which
// the readers never give) goes through nlohmann::json and its replacement character.
static void AppendItemLine(std::string& out, const Item& it) {
    const std::string* texts[] = {&it.Title,  &it.Link,    &it.Description, &it.GUID,
                                  &it.Author, &it.PubDate, &it.AudioLink,   &it.AudioFile};
    bool valid = true;
    for (const std::string* t : texts)
        valid = valid && ValidUtf8(*t);
    if (!valid) {
        nlohmann::ordered_json j;
        j["Title"] = it.Title;
        j["Link"] = it.Link;
        j["Description"] = it.Description;
        j["GUID"] = it.GUID;
        j["Author"] = it.Author;
        j["PubDate"] = it.PubDate;
        j["Date"] = it.Date;
        j["AudioLink"] = it.AudioLink;
        j["AudioFile"] = it.AudioFile;
        j["AudioFileLength"] = it.AudioFileLength;
        j["ItunesDuration"] = it.ItunesDuration;
        j["Views"] = it.Views;
        out += j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        out += '\n';
        return;
    }
    out += '{';
    AppendJsonField(out, "Title", it.Title);
    AppendJsonField(out, "Link", it.Link);
    AppendJsonField(out, "Description", it.Description);
    AppendJsonField(out, "GUID", it.GUID);
    AppendJsonField(out, "Author", it.Author);
    AppendJsonField(out, "PubDate", it.PubDate);
    AppendJsonField(out, "Date", static_cast<int64_t>(it.Date));
    AppendJsonField(out, "AudioLink", it.AudioLink);
    AppendJsonField(out, "AudioFile", it.AudioFile);
    AppendJsonField(out, "AudioFileLength", static_cast<int64_t>(it.AudioFileLength));
    AppendJsonField(out, "ItunesDuration", static_cast<int64_t>(it.ItunesDuration));
    AppendJsonField(out, "Views", static_cast<int64_t>(it.Views));
    out += "}\n";
}

static int Parse(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: orvalis-tool parse FILE", 2);
    std::string bytes;
    if (!Tool_ReadFile(args[0], bytes)) return Tool_Fail("cannot read " + args[0]);
    std::unique_ptr<XmlDocument> doc =
        IsGoodXML(args[0], &bytes, static_cast<int64_t>(bytes.size()));
    if (!doc) return Tool_Fail("no XML document in " + args[0]);
    ParsedItems.clear();
    // A well-formed document whose root is none of the feed roots simply has no items.
    Feed_ReadByRoot(doc.get());
    doc.reset();
    std::string().swap(bytes);
    std::string out;
    for (const Item& it : ParsedItems) {
        AppendItemLine(out, it);
        // Written in blocks, so that the output is never held whole.
        if (out.size() >= (1u << 20)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

static ToolCommand reg("parse", "parse FILE", &Parse);

// orvalis-tool parse FILE: the feed reader on a file, one JSON object per parsed item.
#include <cstdint>
#include <cstdio>
#include <cstring>

#ifndef _WIN32
#include <malloc.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <nlohmann/json.hpp>

#include "platform/core/Text.h"
#include "tool/ToolCommand.h"
#include "update/core/FeedParse.h"
#include "update/core/XmlRepair.h"

// The bytes of `w` (eight bytes of a text) that the writer must look at one by one: below
// 0x20, a quote, a backslash, or 0x80 and above. The lowest flagged byte is exact (a
// borrow only reaches the bytes above a true one), which is all the writer uses.
static inline uint64_t LookMask(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    const uint64_t control = (w - kOnes * 0x20) & ~w;
    const uint64_t q = w ^ (kOnes * '"'), bs = w ^ (kOnes * '\\');
    const uint64_t quote = (q - kOnes) & ~q, backslash = (bs - kOnes) & ~bs;
    return (control | quote | backslash | w) & kHigh;
}

// One JSON string as nlohmann::json writes it (no ASCII escaping): quote and backslash
// escaped, the control characters as \b \f \n \r \t or \u00XX, everything else as it is.
// One pass that also checks the UTF-8: false (and `out` partly written) on a byte that
// starts no well-formed character.
static bool AppendJsonString(std::string& out, std::string_view s) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    size_t run = 0;
    size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            const uint64_t w = LoadBytes8(p + i);
            const uint64_t m = LookMask(w);
            if (!m) {
                i += 8;
                continue;
            }
            i += FirstFlaggedByte(m); // the first byte to look at
        }
        const unsigned char c = p[i];
        if (c >= 0x80) {
            const size_t len = Utf8SequenceLength(p + i, n - i);
            if (len == 0) return false;
            i += len;
            continue;
        }
        if (c >= 0x20 && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        out.append(s.substr(run, i - run));
        run = ++i;
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
    return true;
}

static void AppendJsonName(std::string& out, const char* name) {
    if (out.back() != '{') out.push_back(',');
    out.push_back('"');
    out += name;
    out += "\":";
}

static bool AppendJsonField(std::string& out, const char* name, std::string_view value) {
    AppendJsonName(out, name);
    return AppendJsonString(out, value);
}

static void AppendJsonField(std::string& out, const char* name, int64_t value) {
    AppendJsonName(out, name);
    out += std::to_string(value);
}

// A record with a text that is not valid UTF-8 (which the readers never give): written
// by nlohmann::json, with its replacement character.
static void AppendItemLineReplaced(std::string& out, const Item& it) {
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
}

// One item as a JSON line, written field by field straight into `out`.
static void AppendItemLine(std::string& out, const Item& it) {
    const size_t start = out.size();
    out += '{';
    const bool valid =
        AppendJsonField(out, "Title", it.Title) && AppendJsonField(out, "Link", it.Link) &&
        AppendJsonField(out, "Description", it.Description) &&
        AppendJsonField(out, "GUID", it.GUID) && AppendJsonField(out, "Author", it.Author) &&
        AppendJsonField(out, "PubDate", it.PubDate);
    if (valid) AppendJsonField(out, "Date", static_cast<int64_t>(it.Date));
    if (!valid || !AppendJsonField(out, "AudioLink", it.AudioLink) ||
        !AppendJsonField(out, "AudioFile", it.AudioFile)) {
        out.resize(start);
        AppendItemLineReplaced(out, it);
        return;
    }
    AppendJsonField(out, "AudioFileLength", static_cast<int64_t>(it.AudioFileLength));
    AppendJsonField(out, "ItunesDuration", static_cast<int64_t>(it.ItunesDuration));
    AppendJsonField(out, "Views", static_cast<int64_t>(it.Views));
    out += "}\n";
}

// The run's memory (the bytes, the tree, the items) is taken from one heap grown in large
// steps, never handed back, and asked to be backed by huge pages: page by page, a 20 MB
// document costs some 27,000 page faults, a third of the run's time. Advice only: where
// the system says no, the run is the same, only slower.
static void PrepareHeap(const std::string& path) {
#ifdef _WIN32
    // The system's heap has none of these knobs: the run is the same, only slower.
    (void)path;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || st.st_size < (512 << 10)) return;
    constexpr size_t kHuge = 2u << 20;
    const size_t pad = std::min<size_t>(static_cast<size_t>(st.st_size) * 6, 1u << 30);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    mallopt(M_TOP_PAD, static_cast<int>(pad));
    char* const start = static_cast<char*>(::sbrk(0));
    void* volatile grow = std::malloc(256u << 10); // grows the heap by the pad
    std::free(grow);
    char* const end = static_cast<char*>(::sbrk(0));
    char* const from = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + kHuge - 1) &
                                               ~(uintptr_t{kHuge} - 1));
    if (end > from) ::madvise(from, static_cast<size_t>(end - from), MADV_HUGEPAGE);
#endif
}

static int Parse(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: orvalis-tool parse FILE", 2);
    PrepareHeap(args[0]);
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

#include "discovery/core/FeedBank.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <unordered_set>
#include <vector>

#include "catalogue/core/RssList.h"
#include "discovery/core/OPML.h"
#include "platform/core/FileUtil.h"
#include "update/net/DownloadTool.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/core/Date.h"

static long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

int32_t DBRss_DefaultDate() {
    return Date_Make(2010, 12, 25, 0, 0, 0);
}

// A bank field: the separator and line ends never survive in a value.
static std::string Field(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\x11' && c != '\r' && c != '\n') out += c;
    return out;
}

bool DBRss_ReadLine(std::string_view line, Rss& feed) {
    std::vector<std::string> f = Split(line, '\x11');
    f.resize(std::max<size_t>(f.size(), 10));
    feed = Rss();
    feed.Url = Trim(f[0]);
    if (feed.Url.empty()) return false;
    feed.Name = Trim(f[1]);
    feed.Group = Trim(f[2]);
    feed.ExtractAs = Trim(f[3]);
    feed.Language = Utf8Upper(Utf8Left(Trim(f[4]), 2));
    feed.Description = Trim(f[5]);
    bool ok = false;
    const int32_t bank = Date_Parse("%yyyy/%mm/%dd", Trim(f[6]), &ok);
    feed.ItemsChanged = ok && bank != 0 ? bank : DBRss_DefaultDate();
    feed.ContentRss = NormaliseContentRss(ValInt32(f[7]), feed.ExtractAs);
    feed.FormatExtractText = ValInt32(f[8]);
    feed.LastBuildDate = Date_Parse("%yyyy/%mm/%dd", Trim(f[9]), &ok);
    if (!ok) feed.LastBuildDate = 0;
    return true;
}

std::string DBRss_Line(const Rss& feed) {
    const int32_t bank = feed.ItemsChanged > 1 ? feed.ItemsChanged : DBRss_DefaultDate();
    const std::string fields[] = {
        Field(feed.Url),
        Field(feed.Name),
        Field(feed.Group),
        Field(feed.ExtractAs),
        Field(feed.Language),
        Field(feed.Description),
        Date_Format("%yyyy/%mm/%dd", bank),
        std::to_string(feed.ContentRss),
        std::to_string(feed.FormatExtractText),
        feed.LastBuildDate ? Date_Format("%yyyy/%mm/%dd", feed.LastBuildDate) : std::string(),
    };
    std::string line;
    for (const std::string& s : fields)
        line += s + '\x11';
    return line;
}

int DBRss_Read(const std::string& file, CursorList<Rss>& list) {
    const auto start = std::chrono::steady_clock::now();
    std::string bytes;
    // A bank comes from elsewhere: read whole only within the document bound.
    if (!File_ReadAll(file, bytes, Download_GetSettings().MaxDocumentBytes)) {
        Log("! Error, DBRss_Read( " + file + " )");
        return 0;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        bytes.erase(0, 3);
    else if (!IsValidUtf8(bytes))
        bytes = Cp1252ToUtf8(bytes);
    int n = 0;
    size_t at = 0;
    bool first = true;
    while (at < bytes.size()) {
        size_t nl = bytes.find('\n', at);
        if (nl == std::string::npos) nl = bytes.size();
        std::string_view line(bytes.data() + at, nl - at);
        at = nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (StartsWithNoCase(line, "Orvalis:")) continue;
        }
        Rss feed;
        if (!DBRss_ReadLine(line, feed)) continue;
        list.AddLast(std::move(feed));
        ++n;
    }
    Log("- DBRss_Read(" + file + " ) in " + std::to_string(ElapsedMs(start)) + " ms");
    return n;
}

int32_t DBRss_Now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return Date_Make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                     tm.tm_sec);
}

int DBRss_WriteList(const CursorList<Rss>& list, const std::string& file) {
    std::string text =
        "\xEF\xBB\xBFOrvalis:" + Date_Format("%yyyy/%mm/%dd %hh:%ii", DBRss_Now()) + "\r\n";
    for (const Rss& f : list)
        if (!IsPlugInType(f.ExtractAs)) text += DBRss_Line(f) + "\r\n";
    return File_WriteAtomic(file, text) ? 1 : 0;
}

int32_t DBRss_HeaderDate(const std::string& file, bool* isBank) {
    if (isBank) *isBank = false;
    std::ifstream in(file, std::ios::binary);
    std::string head(256, '\0');
    if (!in) return 0;
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    if (head.compare(0, 3, "\xEF\xBB\xBF") == 0) head.erase(0, 3);
    const size_t nl = head.find_first_of("\r\n");
    if (nl != std::string::npos) head.resize(nl);
    if (!StartsWithNoCase(head, "Orvalis:")) return 0;
    if (isBank) *isBank = true;
    bool ok = false;
    const int32_t date = Date_Parse("%yyyy/%mm/%dd %hh:%ii", Trim(head.substr(8)), &ok);
    return ok ? date : 0;
}

int DBRss_Save(const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    if (!DBRss_WriteList(RssList, file)) {
        Log("! Error DBRss_Save()");
        return 0;
    }
    Log("* DBRss_Save() in " + std::to_string(ElapsedMs(start)) + "ms");
    return 1;
}

void FeedBank_Install() {
    CatalogueSettings& s = Catalogue_Settings();
    s.BankLoad = [] {
        CursorList<Rss> bank;
        DBRss_Read(BANK_FILE, bank);
        std::unordered_set<std::string> seen;
        for (const Rss& f : RssList)
            seen.insert(Utf8Lower(f.Url));
        for (Rss& f : bank)
            if (seen.insert(Utf8Lower(f.Url)).second) {
                if (f.Group.empty()) f.Group = DEFAULT_GROUP;
                RssList.AddLast(std::move(f));
            }
        return true;
    };
    s.BankSave = [] { return DBRss_Save() != 0; };
}

#include "catalogue/core/RssList.h"

#include <chrono>
#include <ctime>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"

CatalogueSettings& Catalogue_Settings() {
    static CatalogueSettings settings;
    return settings;
}

static constexpr int32_t kMaxActiveFeeds = 400;

namespace {
// One flag key per bit, in the order the file writes them; `On` is the default when the
// key is missing.
struct FlagKey {
    int32_t Bit;
    const char* Key;
    bool On;
};
constexpr FlagKey kFlagKeys[] = {
    {RSSFLAG_ACTUALIZE_ON_START, "ActualizeOnStart", true},
    {RSSFLAG_DISABLE, "Disable", false},
    {RSSFLAG_ALARM, "Alarm", false},
    {RSSFLAG_ADD_TO_PODCAST_LIST, "AddToPodcastList", true},
    {RSSFLAG_SET_UPDATED_AS_UNREADED, "SetUpdatedFeedAsUnReaded", false},
    {RSSFLAG_REMOVE_DUPLICATE, "RemoveDuplicateFeed", true},
    {RSSFLAG_SHARED, "Shared", false},
    {RSSFLAG_NO_SHARE, "NoShare", false},
    {RSSFLAG_DEL_OLD_PODCAST, "DelOldPodcast", false},
    {RSSFLAG_PRIORITY_TO_ACTUALIZE, "PriorityToActualize", false},
};

long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}
} // namespace

// ---------------------------------------------------------------- cleaning

// Character references as an XML reader decodes them: the five named ones and numeric
// references, in one left-to-right pass (so "&amp;lt;" gives the text "&lt;").
static std::string DecodeCharacterReferences(std::string_view s) {
    if (s.find('&') == std::string_view::npos) return std::string(s);
    static const struct {
        const char* Name;
        char Ch;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != '&') {
            out.push_back(s[i++]);
            continue;
        }
        const size_t semi = s.find(';', i + 1);
        if (semi == std::string_view::npos || semi - i > 12) {
            out.push_back(s[i++]);
            continue;
        }
        const std::string_view ref = s.substr(i + 1, semi - i - 1);
        bool done = false;
        if (!ref.empty() && ref[0] == '#') {
            std::string_view digits = ref.substr(1);
            int base = 10;
            if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
                base = 16;
                digits.remove_prefix(1);
            }
            uint32_t value = 0;
            bool ok = !digits.empty();
            for (char c : digits) {
                int d = -1;
                if (c >= '0' && c <= '9')
                    d = c - '0';
                else if (base == 16 && c >= 'a' && c <= 'f')
                    d = c - 'a' + 10;
                else if (base == 16 && c >= 'A' && c <= 'F')
                    d = c - 'A' + 10;
                if (d < 0 || value > 0x10FFFF) {
                    ok = false;
                    break;
                }
                value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
            }
            if (ok && value > 0 && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF)) {
                Utf8Append(out, static_cast<char32_t>(value));
                done = true;
            }
        } else {
            for (const auto& n : named)
                if (ref == n.Name) {
                    out.push_back(n.Ch);
                    done = true;
                    break;
                }
        }
        if (done) {
            i = semi + 1;
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}

std::string Catalogue_CleanText(std::string_view text) {
    const std::string decoded = DecodeCharacterReferences(text);
    std::string out;
    out.reserve(decoded.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(decoded[i]);
        if (c >= 1 && c <= 31) continue;
        if (c == 0xC2 && i + 1 < decoded.size() &&
            static_cast<unsigned char>(decoded[i + 1]) == 0xA0) {
            out.push_back(' ');
            ++i;
            continue;
        }
        out.push_back(decoded[i]);
    }
    return Trim(out);
}

// Control characters would break the line structure of the file (and could forge keys or
// whole feeds); they cannot be stored, so they are dropped when writing.
static std::string StorableValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 1 && u <= 31) continue;
        out.push_back(c);
    }
    return out;
}

// ---------------------------------------------------------------- kinds

bool IsArticleFeed(const Rss& rss) {
    const std::string& e = rss.ExtractAs;
    return e.empty() || EqualsNoCase(e, "Atom") || EqualsNoCase(e, "RDF") ||
           EqualsNoCase(e, "RssV2") || StartsWithNoCase(e, "ov-");
}

int32_t NormaliseContentRss(int32_t content, std::string_view extractAs) {
    switch (content) {
    case CONTENT_TEXT:
    case CONTENT_PODCAST:
    case CONTENT_CATCHTV:
    case CONTENT_NETRADIO:
    case CONTENT_FILE:
    case CONTENT_NETTV:
    case CONTENT_YOUTUBE:
    case CONTENT_DAILYMOTION:
        break;
    default:
        content = 0;
    }
    if (EqualsNoCase(extractAs, "NetRadio")) content = CONTENT_NETRADIO;
    if (EqualsNoCase(extractAs, "OV-YouTube.exe")) content = CONTENT_YOUTUBE;
    if (EqualsNoCase(extractAs, "OV-DailyMotion")) content = CONTENT_DAILYMOTION;
    return content;
}

// An extractor is run as the plug-in folder + ExtractAs: anything but one plain file name
// (a path, "..", a separator, a control character) could start any program once other
// people's catalogues, banks or OPML files bring values in. Such a value reads as "RssV2".
static std::string CheckedExtractAs(const std::string& extractAs) {
    if (extractAs.empty() || IsValidFileName(extractAs)) {
        bool control = false;
        for (char c : extractAs)
            if (static_cast<unsigned char>(c) < 32) control = true;
        if (!control) return extractAs;
    }
    Log("! ExtractAs is not a plain file name, read as RssV2 : " + StorableValue(extractAs));
    return "RssV2";
}

// ---------------------------------------------------------------- identifiers, names

int32_t NewRssID() {
    static int32_t counter = 10000;
    if (counter < 10000) counter = 10000;
    for (;;) {
        ++counter;
        bool used = false;
        for (const Rss& r : RssList)
            if (r.RssID == counter) {
                used = true;
                break;
            }
        if (!used) return counter;
    }
}

int ItemsFile_NameUsed(std::string_view name, int32_t rssID) {
    for (const Rss& r : RssList)
        if (r.RssID != rssID && EqualsNoCase(r.ItemsFileName, name)) return 1;
    return 0;
}

namespace {
// The article file names and addresses in use, as EqualsNoCase compares them (ASCII case
// folded). Naming a feed against it costs a few look-ups instead of a walk of the whole
// catalogue per candidate name, which made many feeds of one host cubic to load.
struct InUse {
    std::unordered_set<std::string> Names;
    std::unordered_set<std::string> Urls;
    // Per base name (folded): every suffix below this one is known to be taken. Names are
    // only added while the index lives, so the first free suffix never moves back.
    std::unordered_map<std::string, long> NextSuffix;
};
// Alive while RssList_Load adds a whole file; a single add builds its own.
InUse* g_loading = nullptr;

InUse IndexExcept(int32_t rssID) {
    InUse index;
    for (const Rss& r : RssList)
        if (r.RssID != rssID && !r.ItemsFileName.empty())
            index.Names.insert(AsciiLower(r.ItemsFileName));
    return index;
}

void AssignFileName(Rss& feed, InUse& index) {
    // A stored name is kept only when it is one plain file name: the store joins it to
    // "Feeds/", so anything holding a separator or ".." must not survive.
    if (IsValidFileName(feed.ItemsFileName) && !index.Names.count(AsciiLower(feed.ItemsFileName)))
        return;
    std::string base = Trim(CleanFileName(Url_Host(Trim(feed.Url))));
    if (StartsWithNoCase(base, "www.")) base = base.substr(4);
    if (base.empty() || base == "." || base == "..") base = "Items";
    std::string name = base + ".Txt";
    const std::string folded = AsciiLower(base);
    if (index.Names.count(AsciiLower(name))) {
        long& n = index.NextSuffix.try_emplace(folded, 1).first->second;
        for (;; ++n) {
            name = base + "-" + std::to_string(n) + ".Txt";
            if (!index.Names.count(AsciiLower(name))) break;
        }
    }
    feed.ItemsFileName = name;
}
} // namespace

std::string Url_Host(std::string_view url) {
    std::string_view s = url;
    const size_t scheme = s.find("://");
    if (scheme != std::string_view::npos) s.remove_prefix(scheme + 3);
    const size_t end = s.find_first_of("/\\?#");
    if (end != std::string_view::npos) s = s.substr(0, end);
    const size_t at = s.rfind('@');
    if (at != std::string_view::npos) s.remove_prefix(at + 1);
    if (!s.empty() && s[0] == '[') { // IPv6 literal: keep what is between the brackets
        const size_t close = s.find(']');
        s = s.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
    } else {
        const size_t colon = s.find(':');
        if (colon != std::string_view::npos) s = s.substr(0, colon);
    }
    return std::string(s);
}

void Feed_AssignFileName(Rss& feed) {
    if (g_loading) {
        AssignFileName(feed, *g_loading);
    } else {
        InUse index = IndexExcept(feed.RssID);
        AssignFileName(feed, index);
    }
    RssList.SetCurrent(&feed);
}

// ---------------------------------------------------------------- add, sort, limit

// Dates are seconds since 1970 on the local wall clock.
static int32_t LocalNow() {
    const time_t now = time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
#ifdef _WIN32
    return static_cast<int32_t>(_mkgmtime(&t));
#else
    return static_cast<int32_t>(timegm(&t));
#endif
}

int RssList_Add(const Rss& record) {
    if (g_loading) {
        if (g_loading->Urls.count(AsciiLower(record.Url))) return -1;
    } else {
        for (const Rss& r : RssList)
            if (EqualsNoCase(r.Url, record.Url)) return -1;
    }
    Rss* added = nullptr;
    try {
        added = &RssList.AddLast(record);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    added->RssID = NewRssID();
    added->ExtractAs = CheckedExtractAs(added->ExtractAs);
    added->ContentRss = NormaliseContentRss(added->ContentRss, added->ExtractAs);
    if (added->Group.empty()) added->Group = DEFAULT_GROUP;
    if (added->Interval < 1 || added->Interval > 4320) added->Interval = 300;
    if (added->MaxFeed < 0) added->MaxFeed = 0;
    if (added->MaxFeed > 400) added->MaxFeed = 400;
    if (Catalogue_Settings().DBBaseMode) {
        added->Flags |= RSSFLAG_DISABLE;
        added->LastBuildDate = LocalNow();
    }
    Feed_AssignFileName(*added);
    if (g_loading) {
        g_loading->Urls.insert(AsciiLower(added->Url));
        g_loading->Names.insert(AsciiLower(added->ItemsFileName));
    }
    return 1;
}

void RssList_Sort() {
    for (Rss& r : RssList) {
        std::string group = Utf8Lower(r.Group);
        const size_t len = Utf8Length(group);
        if (len > 100)
            group = Utf8Left(group, 100);
        else
            group.append(100 - len, ' ');
        r.SortKey = group + Utf8Lower(r.Name);
    }
    RssList.Raw().sort([](const Rss& a, const Rss& b) { return a.SortKey < b.SortKey; });
    for (Rss& r : RssList)
        r.SortKey.clear();
}

int RssList_CheckActiveLimit() {
    int32_t budget = Catalogue_Settings().MaxRss;
    if (budget < 1) budget = 1;
    if (budget > kMaxActiveFeeds) budget = kMaxActiveFeeds;
    for (Rss& r : RssList) {
        if (!IsArticleFeed(r)) continue;
        if (budget <= 0)
            r.Flags |= RSSFLAG_DISABLE;
        else if (!(r.Flags & RSSFLAG_DISABLE))
            --budget;
    }
    return budget;
}

void Select_RssList(long rssPos, long itemPos) {
    if (rssPos < 0) {
        RssList.Reset();
        return;
    }
    Rss* feed = RssList.Select(rssPos);
    const std::string where = std::to_string(rssPos) +
                              " RssSize=" + std::to_string(RssList.Size()) +
                              " Feed=" + std::to_string(itemPos) +
                              " FeedSize=" + std::to_string(feed ? feed->Items.Size() : 0);
    if (!feed) {
        Log("! Error can't Select_RssList(), Rss=" + where, 1);
        return;
    }
    if (itemPos < 0) {
        feed->Items.Reset();
        return;
    }
    if (!feed->Items.Select(itemPos)) Log("! Error Select_RssList() failed, Rss=" + where, 1);
}

// ---------------------------------------------------------------- file

int CatalogueFileVersion(const std::string& file) {
    std::string bytes;
    if (!File_ReadAll(file, bytes)) return 0;
    std::string text;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = bytes.substr(3);
    else
        text = Cp1252ToUtf8(bytes.substr(0, 4096));
    size_t pos = 0;
    for (int line = 0; line < 2 && pos <= text.size(); ++line) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string_view l(text.data() + pos, end - pos);
        const size_t word = FindNoCase(l, "Orvalis");
        if (word != std::string_view::npos) {
            const std::vector<std::string> fields = Split(l.substr(word + 7), '.');
            const int64_t major = fields.size() > 0 ? ValInt(fields[0]) : 0;
            const int64_t minor = fields.size() > 1 ? ValInt(fields[1]) : 0;
            return static_cast<int>(major * 100 + minor);
        }
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        pos = end + 1;
    }
    return 0;
}

// First non-empty component of a stored folder text, when it is a valid file name.
static std::string FirstComponent(std::string_view value) {
    size_t i = 0;
    while (i < value.size()) {
        size_t e = i;
        while (e < value.size() && !IsPathSeparator(value[e]))
            ++e;
        const std::string part = Trim(value.substr(i, e - i));
        if (!part.empty()) return IsValidFileName(part) ? part : std::string();
        i = e + 1;
    }
    return {};
}

static Rss RecordFromGroup(const IniReader& ini, const std::string& name, bool legacy) {
    Rss r;
    r.Name = Catalogue_CleanText(name);
    r.Url = Catalogue_CleanText(ini.ReadString("Url"));
    r.Group = Catalogue_CleanText(ini.ReadString("Group"));
    r.Description = Catalogue_CleanText(ini.ReadString("Description"));
    r.FilePath = FirstComponent(Catalogue_CleanText(ini.ReadString("FilePath")));
    r.CustomPodcastFileName = Trim(CleanFileName(ini.ReadString("CustomPodcastFileName")));
    r.Language = Utf8Upper(Utf8Left(Catalogue_CleanText(ini.ReadString("Language")), 2));
    r.Interval = ini.ReadLong("Interval", 300);
    r.ItemsFileName = ini.ReadString("ItemsFileName");
    r.ExtractAs = ini.ReadString("ExtractAs");
    r.FormatExtractText = ini.ReadLong("FormatExtractText", 102400);
    r.MaxFeed = ini.ReadLong("MaxFeed", 0);
    r.NbAutoDownLoadPodCast = ini.ReadLong("NbAutoDownLoadPodCast", 0);
    r.ContentRss = ini.ReadLong("ContentRss", 0);
    r.Flags = 0;
    for (const FlagKey& f : kFlagKeys)
        if (ini.ReadFlag(f.Key, f.On)) r.Flags |= f.Bit;
    if (legacy && !(r.FormatExtractText & 256)) r.FormatExtractText |= 4096;
    return r;
}

int RssList_Load(const std::string& file) {
    RssList.Clear();
    CatalogueSettings& settings = Catalogue_Settings();
    if (settings.DBBaseMode) {
        if (settings.BankLoad) settings.BankLoad();
        for (Rss& r : RssList) {
            r.RssID = 0;
        }
        for (Rss& r : RssList) {
            r.RssID = NewRssID();
            r.Flags |= RSSFLAG_DISABLE;
        }
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    Log("* RssList_Load() File=" + file);
    const std::string twin = file + ".Tmp";
    std::string opened;
    IniReader ini;
    if (ini.Open(file)) {
        opened = file;
        if (File_Exists(twin)) Log("! Stale RssList twin ignored, File=" + twin);
    } else if (!File_Exists(file) && File_Exists(twin) && ini.Open(twin)) {
        opened = twin;
        Log("- RssList twin used, File=" + twin);
    } else if (File_Exists(file)) {
        Log("! Error RssList_Load, can't read File=" + file);
    }
    // The version comes from the file actually read: a twin loaded in place of a missing
    // main file must not make a current catalogue look legacy.
    const bool legacy = !opened.empty() && CatalogueFileVersion(opened) < 91;
    long added = 0;
    const auto& groups = ini.Groups();
    {
        // The list starts empty: every name and address in use is one added here.
        InUse index;
        g_loading = &index;
        struct Done {
            ~Done() { g_loading = nullptr; }
        } done;
        for (size_t g = 1; g < groups.size(); ++g) {
            ini.SelectGroupIndex(g);
            if (RssList_Add(RecordFromGroup(ini, groups[g].Name, legacy)) == 1) ++added;
        }
    }
    if (!opened.empty())
        Log(std::to_string(added) + " Rss added in " + std::to_string(ElapsedMs(start)) + " ms");
    else
        Log("No RssFile found !");
    if (RssList_CheckActiveLimit() == 0)
        Log("! Nb RssList limited to " + std::to_string(kMaxActiveFeeds));
    return opened.empty() ? 0 : 1;
}

static void Line(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += " = ";
    out += StorableValue(value);
    out += "\r\n";
}

void RssList_Write(std::string& out) {
    out += "; Orvalis " ORVALIS_VERSION "\r\n";
    out += "; List of " + std::to_string(RssList.Size()) + " Feeds\r\n";
    for (const Rss& r : RssList) {
        out += "[" + StorableValue(r.Name) + "]\r\n";
        Line(out, "Url", r.Url);
        Line(out, "Description", r.Description);
        Line(out, "Language", r.Language);
        if (!EqualsNoCase(r.Group, DEFAULT_GROUP)) Line(out, "Group", r.Group);
        for (const FlagKey& f : kFlagKeys)
            Line(out, f.Key, (r.Flags & f.Bit) ? "On" : "Off");
        Line(out, "FilePath", r.FilePath);
        Line(out, "CustomPodcastFileName", r.CustomPodcastFileName);
        Line(out, "ExtractAs", r.ExtractAs);
        Line(out, "FormatExtractText", std::to_string(r.FormatExtractText));
        Line(out, "Interval", std::to_string(r.Interval));
        Line(out, "NbAutoDownLoadPodCast", std::to_string(r.NbAutoDownLoadPodCast));
        Line(out, "MaxFeed", std::to_string(r.MaxFeed));
        Line(out, "ContentRss", std::to_string(r.ContentRss));
        Line(out, "ItemsFileName", r.ItemsFileName);
        out += "\r\n";
    }
}

int RssList_DirectSave(const std::string& file) {
    CatalogueSettings& settings = Catalogue_Settings();
    if (settings.DBBaseMode) return settings.BankSave ? (settings.BankSave() ? 1 : 0) : 0;
    const auto start = std::chrono::steady_clock::now();
    std::string text = "\xEF\xBB\xBF";
    RssList_Write(text);
    const bool ok = File_WriteAtomic(file, text);
    if (!ok) Log("! Error RssList_DirectSave, can't write File=" + file);
    Log("* RssList_DirectSave(" + file + ") in " + std::to_string(ElapsedMs(start)) + " ms");
    return ok ? 1 : 0;
}

#include "catalogue/core/ItemsFile.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <set>
#include <vector>

#include "catalogue/core/Items.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/AppPaths.h"
#include "catalogue/core/RssList.h"

static const char kEscape = '\x11';

// Appends `text` escaped to `out` (no temporary: the save writes every text through here).
static bool IsBreakOrEscape(char c) {
    return c == '\r' || c == '\n' || c == kEscape;
}

// Appends `text` escaped to `out` (no temporary: the save writes every text through here).
static void EscapeAppend(std::string& out, std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        // Plain runs are copied whole: most texts hold no break at all.
        size_t run = i;
        while (run < text.size() && !IsBreakOrEscape(text[run]))
            ++run;
        out.append(text.data() + i, run - i);
        if (run == text.size()) break;
        const char c = text[run];
        i = run + 1;
        if (c == kEscape) continue;
        out.push_back(kEscape);
        if (c == '\r') {
            // CR LF is one break; a CR removed U+0011 apart from its LF still pairs with it.
            size_t j = i;
            while (j < text.size() && text[j] == kEscape)
                ++j;
            if (j < text.size() && text[j] == '\n') i = j + 1;
        }
    }
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    EscapeAppend(out, text);
    return out;
}

std::string UnescapeText(std::string_view text) {
    std::string out(text);
    for (size_t p = out.find(kEscape); p != std::string::npos; p = out.find(kEscape, p + 1))
        out[p] = '\n';
    return out;
}

ItemStoreSettings& ItemStore_Settings() {
    static ItemStoreSettings settings;
    return settings;
}

// The C library's UTC conversions under their names on each platform.
static void UtcBreakDown(time_t t, struct tm& out) {
#ifdef _WIN32
    gmtime_s(&out, &t);
#else
    gmtime_r(&t, &out);
#endif
}

static long long UtcFromParts(struct tm& parts) {
#ifdef _WIN32
    return static_cast<long long>(_mkgmtime(&parts));
#else
    return static_cast<long long>(timegm(&parts));
#endif
}

static void Two(std::string& out, int v) {
    out.push_back(static_cast<char>('0' + (v / 10) % 10));
    out.push_back(static_cast<char>('0' + v % 10));
}

std::string StoreDate_Format(int32_t date) {
    const time_t t = static_cast<time_t>(date);
    struct tm tm {};
    UtcBreakDown(t, tm); // the value already is wall-clock time
    char year[16];
    std::snprintf(year, sizeof year, "%04d", tm.tm_year + 1900);
    std::string out = year;
    out += '/';
    Two(out, tm.tm_mon + 1);
    out += '/';
    Two(out, tm.tm_mday);
    out += ' ';
    Two(out, tm.tm_hour);
    out += ':';
    Two(out, tm.tm_min);
    return out;
}

// Reads exactly `digits` decimal digits at `pos`.
static bool ReadDigits(std::string_view s, size_t& pos, int digits, int& value) {
    value = 0;
    for (int i = 0; i < digits; ++i, ++pos) {
        if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return false;
        value = value * 10 + (s[pos] - '0');
    }
    return true;
}

int32_t StoreDate_Parse(std::string_view text) {
    const std::string s = TrimBlanks(text);
    size_t pos = 0;
    int y, mo, d, h, mi;
    auto sep = [&](char c) { return pos < s.size() && s[pos++] == c; };
    if (!ReadDigits(s, pos, 4, y) || !sep('/') || !ReadDigits(s, pos, 2, mo) || !sep('/') ||
        !ReadDigits(s, pos, 2, d) || !sep(' ') || !ReadDigits(s, pos, 2, h) || !sep(':') ||
        !ReadDigits(s, pos, 2, mi))
        return 0;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59) return 0;
    struct tm tm {};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    const long long v = UtcFromParts(tm);
    if (v < INT32_MIN || v > INT32_MAX) return 0;
    return static_cast<int32_t>(v);
}

static std::string FeedPath(const Rss& feed) {
    return std::string(FEEDS_FOLDER) + feed.ItemsFileName;
}

static void Line(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out.append(" = ");
    out.append(value);
    out.append("\r\n");
}

static void TextLine(std::string& out, std::string_view key, std::string_view value) {
    out.append(key);
    out.append(" = ");
    EscapeAppend(out, value);
    out.append("\r\n");
}

static void NumLine(std::string& out, std::string_view key, long long value) {
    Line(out, key, std::to_string(value));
}

static const char* OnOff(bool on) {
    return on ? "On" : "Off";
}

std::string Feed_ItemsText(const Rss& feed) {
    std::string out;
    size_t estimate = 512;
    for (const Item& it : feed.Items)
        estimate += 400 + it.Title.size() + it.Description.size() + it.Link.size() +
                    it.GUID.size() + it.AudioLink.size() + it.AudioFile.size() +
                    it.CustomAudioFile.size();
    out.reserve(estimate);
    TextLine(out, "Name", feed.Name);
    TextLine(out, "URL", feed.Url);
    Line(out, "Disable", OnOff(feed.Flags & RSSFLAG_DISABLE));
    Line(out, "ExtractError", OnOff(feed.ExtractError != 0));
    Line(out, "ActualizeOnStart", OnOff(feed.Flags & RSSFLAG_ACTUALIZE_ON_START));
    TextLine(out, "Lang", feed.Language);
    Line(out, "LastBuildDate", StoreDate_Format(feed.LastBuildDate));
    if (const int pos = PlayedList_Position(PlayedFeeds, feed.RssID); pos >= 0)
        NumLine(out, "LastPlay", pos);
    if (!IsArticleFeed(feed)) return out;
    long number = 0;
    for (const Item& it : feed.Items) {
        out.append("\r\n[Items ");
        out.append(std::to_string(++number));
        out.append("]\r\n");
        TextLine(out, "ID", it.ID);
        NumLine(out, "Date", it.Date);
        NumLine(out, "readed", it.Readed);
        if (const int pos = PlayedList_Position(PlayedItems, it.FeedID); pos >= 0)
            NumLine(out, "LastPlay", pos);
        TextLine(out, "Title", it.Title);
        TextLine(out, "Description", it.Description);
        TextLine(out, "AudioLink", it.AudioLink);
        TextLine(out, "AutdioFile", it.AudioFile);
        NumLine(out, "AudioFileLength", it.AudioFileLength);
        NumLine(out, "ItunesDuration", it.ItunesDuration);
        TextLine(out, "CustomAudioFile", it.CustomAudioFile);
        if (it.AudioPos != 0) NumLine(out, "AudioPos", it.AudioPos);
        TextLine(out, "GUID", it.GUID);
        TextLine(out, "Link", it.Link);
        NumLine(out, "Views", it.Views);
    }
    return out;
}

int Feed_WriteItems(Rss& feed) {
    if (feed.ItemsFileName.empty()) {
        Log("! Error Feed_WriteItems(), no file name for Rss=" + feed.Name);
        return 0;
    }
    const std::string path = FeedPath(feed);
    if (feed.ItemsChanged == 0 && File_Size(path) > 0) return 1;
    // Through a twin and a rename: a crash or a full disk never leaves half a file.
    if (!File_WriteAtomic(path, Feed_ItemsText(feed))) {
        Log("! Error Feed_WriteItems(), can't write File=" + path);
        return 0;
    }
    return 1;
}

static long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

int Feed_Save() {
    if (NoSaveItems) {
        // Nothing is written all run long; the marks are cleared so nothing waits.
        for (Rss& feed : RssList)
            feed.ItemsChanged = 0;
        AppState_Clear(APPSTATE_ITEMS_TO_SAVE);
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    CheckDirectory(FEEDS_FOLDER, 1, 0);
    int failed = 0;
    for (Rss& feed : RssList) {
        if (Feed_WriteItems(feed))
            feed.ItemsChanged = 0;
        else
            ++failed; // stays marked changed: the next save tries again
    }
    if (failed == 0) AppState_Clear(APPSTATE_ITEMS_TO_SAVE);
    Log("* Feed_Save()");
    Log(std::to_string(RssList.Size()) + " Rss Saved in " + std::to_string(ElapsedMs(start)) +
        " ms");
    if (failed) Log("! Error Feed_Save(), " + std::to_string(failed) + " Rss not saved");
    return failed;
}

// Applies one key line to the pending article or to the feed.
static void ApplyKey(Rss& feed, Item& item, bool inSection, bool& lastPlayed, std::string_view key,
                     std::string_view value) {
    switch (key.size()) {
    case 2:
        if (key == "ID") item.ID = value;
        break;
    case 4:
        if (key == "Date")
            item.Date = ValInt32(value);
        else if (key == "Link")
            item.Link = value;
        else if (key == "GUID")
            item.GUID = value;
        break;
    case 5:
        if (key == "Title")
            item.Title = value;
        else if (key == "Views")
            item.Views = ValInt32(value);
        break;
    case 6:
        if (key == "readed") item.Readed = ValInt32(value);
        break;
    case 8:
        if (key == "LastPlay") {
            if (inSection)
                lastPlayed = true;
            else
                PlayedList_Add(PlayedFeeds, feed.RssID);
        } else if (key == "AudioPos") {
            item.AudioPos = ValInt32(value);
        }
        break;
    case 9:
        if (key == "AudioLink") item.AudioLink = value;
        break;
    case 10:
        if (key == "AutdioFile") item.AudioFile = value;
        break;
    case 11:
        if (key == "Description") item.Description = UnescapeText(value);
        break;
    case 12:
        if (key == "ExtractError") {
            const std::string v = AsciiLower(TrimBlanks(value));
            feed.ExtractError = (v == "on" || v == "1") ? 1 : 0;
        }
        break;
    case 13:
        if (key == "LastBuildDate") feed.LastBuildDate = StoreDate_Parse(value);
        break;
    case 14:
        if (key == "ItunesDuration") item.ItunesDuration = ValInt32(value);
        break;
    case 15:
        if (key == "AudioFileLength")
            item.AudioFileLength = ValInt(value);
        else if (key == "CustomAudioFile")
            item.CustomAudioFile = value;
        break;
    default:
        break; // "Name", "URL", "Disable", ...: the catalogue is the authority
    }
}

static std::string_view TrimView(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

int Feed_ReadItems(Rss& feed) {
    if (feed.ItemsFileName.empty()) return 0;
    std::string path = FeedPath(feed);
    std::string data;
    // A twin is only trusted when the file itself never made it to its name.
    if (!File_Exists(path) && File_Exists(path + ".Tmp")) path += ".Tmp";
    if (!File_ReadAll(path, data)) return 0;
    return Feed_ReadItemsText(feed, data, path);
}

int Feed_ReadItemsText(Rss& feed, std::string_view data, const std::string& source) {
    const std::string& path = source;
    int count = 0;
    Item pending;
    bool lastPlayed = false, inSection = false;
    const std::string_view all(data);
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find('\n', pos);
        if (end == std::string_view::npos) end = all.size();
        const std::string_view line = TrimView(all.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            count += Items_AddLoaded(feed, std::move(pending), lastPlayed);
            pending = Item();
            lastPlayed = false;
            inSection = true;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        ApplyKey(feed, pending, inSection, lastPlayed, TrimView(line.substr(0, eq)),
                 TrimView(line.substr(eq + 1)));
    }
    count += Items_AddLoaded(feed, std::move(pending), lastPlayed);
    Log(std::to_string(count) + " feeds readed in " + feed.Name + ", File=" + path);
    return count;
}

int Feed_Read() {
    if (DBBaseMode) return 0;
    const auto start = std::chrono::steady_clock::now();
    Log("* Feed_Read()");
    int total = 0;
    for (Rss& feed : RssList) {
        // A migration left behind by an exit that never cleaned up: the article file was
        // written after it and holds the same articles, so it wins instead of doubling them.
        if (!feed.Items.Empty() &&
            (File_Exists(FeedPath(feed)) || File_Exists(FeedPath(feed) + ".Tmp")))
            feed.Items.Clear();
        total += Feed_ReadItems(feed);
        feed.ItemsChanged = 0;
    }
    Log(std::to_string(total) + " articles added in " + std::to_string(ElapsedMs(start)) + " ms");
    return total;
}

int Feed_CleanFiles() {
    // Neither mode wrote the user's articles this run: deleting would lose them.
    if (DBBaseMode || NoSaveItems) return 0;
    // An empty catalogue (a lost or unreadable "ListRSSU.Ini") would make every article
    // file, and the older store, look unused; keeping them costs nothing.
    if (RssList.Empty()) return 0;
    int deleted = 0;
    bool allSaved = true;
    for (const Rss& feed : RssList)
        if (feed.ItemsChanged) allSaved = false;
    if (allSaved) {
        for (const char* old : {"ItemsU.Xml", "ItemsU.Xml.New", "Items.Xml"})
            if (File_Exists(old) && File_Delete(old)) ++deleted;
    } else {
        Log("! Error Feed_CleanFiles(), Rss not saved, older store kept");
    }
    std::set<std::string> known;
    for (const Rss& feed : RssList)
        if (!feed.ItemsFileName.empty()) known.insert(Utf8Lower(feed.ItemsFileName));
    std::vector<std::string> orphans;
    std::error_code ec;
    for (std::filesystem::directory_iterator it("Feeds", ec), end; !ec && it != end;
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        if (!known.count(Utf8Lower(name))) orphans.push_back(name);
    }
    for (const std::string& name : orphans)
        if (File_Delete(std::string(FEEDS_FOLDER) + name)) ++deleted;
    return deleted;
}

static int32_t g_saveCountdown = 0;

void AutoSaveFeeds(int resetOnly) {
    --g_saveCountdown;
    if (!resetOnly) {
        if (g_saveCountdown > 0) return;
        if (AppState_Test(APPSTATE_ITEMS_TO_SAVE)) {
            Log("* AutoSave Feeds at " + StoreDate_Format(Items_Now()));
            Feed_Save();
            FlushLog();
        }
    }
    g_saveCountdown = ItemStore_Settings().IntervalFeedToSave * 60;
}

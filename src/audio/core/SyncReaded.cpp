#include "audio/core/SyncReaded.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <cstdio>
#include <filesystem>

#include "catalogue/core/Items.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/Prefs.h"

std::vector<SyncSeenFile> SyncSeen;
std::unordered_map<std::string, SyncEntry> SyncPending;
void (*SyncReaded_RefreshHook)() = nullptr;

namespace {
// A line longer than this is no state line; it is skipped without being kept whole.
constexpr size_t kMaxLine = 512;
// Other people's files must not make the pending list grow without bound.
constexpr size_t kMaxPending = 2000000;
int g_minutes = 0;

bool Enabled() {
    return (PrefFlags & PREF_SYNCREADEDFEED) != 0;
}

// The read date of a state: bits 4-31.
int32_t ReadDate(int32_t readed) {
    return static_cast<int32_t>(static_cast<uint32_t>(readed) & ~0xFu);
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool ParseInt(std::string_view text, int32_t& value) {
    text = TrimView(text);
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// One line: ID, Readed and AudioPos separated by tabs (a tab also ends the line).
void MergeLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view fields[3];
    size_t n = 0;
    while (n < 3) {
        const size_t tab = line.find('\t');
        fields[n++] = line.substr(0, tab);
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    if (n < 3) return;
    const std::string_view id = TrimView(fields[0]);
    if (id.size() != 32) return;
    SyncEntry e;
    if (!ParseInt(fields[1], e.Readed) || !ParseInt(fields[2], e.AudioPos)) return;
    std::string key(id);
    auto it = SyncPending.find(key);
    if (it == SyncPending.end()) {
        if (SyncPending.size() >= kMaxPending) return;
        e.ID = key;
        SyncPending.emplace(std::move(key), std::move(e));
    } else if (ReadDate(e.Readed) > ReadDate(it->second.Readed)) {
        it->second.Readed = e.Readed;
        it->second.AudioPos = e.AudioPos;
    }
}

bool FileStamp(const std::string& path, int64_t& date, int64_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
#ifdef _WIN32
    date = static_cast<int64_t>(st.st_mtime) * 1000000000;
#else
    date = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
#endif
    size = static_cast<int64_t>(st.st_size);
    return true;
}

bool ApplyHook(Item& item) {
    return SyncReaded_Apply(item) != 0;
}
} // namespace

std::string SyncReaded_DefaultFileName(const std::string& userName, const std::string& release,
                                       bool portable) {
    return CleanFileName(userName + "-" + release + (portable ? "P" : "") + ".OVSR");
}

int SyncReaded_ReadFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    // A byte-order mark says how the file is written; without one the bytes are taken as
    // they are (the lines are ASCII).
    enum { Bytes, Utf16LE, Utf16BE } enc = Bytes;
    unsigned char bom[3] = {};
    const size_t got = std::fread(bom, 1, 3, f);
    long skip = 0;
    if (got >= 3 && bom[0] == 0xEF && bom[1] == 0xBB && bom[2] == 0xBF) {
        skip = 3;
    } else if (got >= 2 && bom[0] == 0xFF && bom[1] == 0xFE) {
        enc = Utf16LE;
        skip = 2;
    } else if (got >= 2 && bom[0] == 0xFE && bom[1] == 0xFF) {
        enc = Utf16BE;
        skip = 2;
    }
    std::fseek(f, skip, SEEK_SET);
    std::string line;
    bool tooLong = false;
    char buf[65536];
    size_t len = 0;
    bool failed = false;
    int pendingByte = -1; // first byte of a UTF-16 unit split across two reads
    while ((len = std::fread(buf, 1, sizeof buf, f)) > 0) {
        for (size_t i = 0; i < len; ++i) {
            int c = static_cast<unsigned char>(buf[i]);
            if (enc != Bytes) {
                if (pendingByte < 0) {
                    pendingByte = c;
                    continue;
                }
                const int unit =
                    enc == Utf16LE ? (pendingByte | (c << 8)) : ((pendingByte << 8) | c);
                pendingByte = -1;
                c = unit < 0x80 ? unit : '?';
            }
            if (c == '\n') {
                if (!tooLong) MergeLine(line);
                line.clear();
                tooLong = false;
            } else if (line.size() >= kMaxLine) {
                tooLong = true;
            } else {
                line.push_back(static_cast<char>(c));
            }
        }
    }
    if (std::ferror(f)) failed = true;
    std::fclose(f);
    if (!tooLong && !line.empty()) MergeLine(line);
    return failed ? 0 : 1;
}

int SyncReaded_Apply(Item& item) {
    if (SyncPending.empty() || item.ID.empty()) return 0;
    auto it = SyncPending.find(item.ID);
    if (it == SyncPending.end()) return 0;
    const SyncEntry e = it->second;
    SyncPending.erase(it);
    if (ReadDate(e.Readed) > ReadDate(item.Readed) || (e.Readed == 1 && item.Readed == 0)) {
        const bool changed = item.Readed != e.Readed || item.AudioPos != e.AudioPos;
        item.Readed = e.Readed;
        item.AudioPos = e.AudioPos;
        return changed ? 1 : 0;
    }
    return 0;
}

int SyncReaded_Save() {
    if (!Enabled()) return 0;
    const std::string folder = Pref.SyncReadedPath;
    if (folder.empty() || !Dir_Exists(folder)) {
        Log("! Error, SyncReaded_Save, bad path " + folder);
        return 0;
    }
    const std::string path = folder + Pref.SyncReadedFile;
    if (!IsValidFileName(Pref.SyncReadedFile)) {
        Log("! Error, SyncReaded_Save " + path);
        return 0;
    }
    // Written whole to the twin, then renamed over the old file: another installation (or
    // a synchronisation client copying the folder) sees either the old or the new file.
    const std::string twin = path + ".Tmp";
    FILE* f = std::fopen(twin.c_str(), "wb");
    if (!f) {
        Log("! Error, SyncReaded_Save " + path);
        return 0;
    }
    bool ok = true;
    std::string block;
    for (const Rss& feed : RssList) {
        for (const Item& item : feed.Items) {
            if (item.Readed == 0 || item.ID.empty()) continue;
            block += item.ID;
            block += '\t';
            block += std::to_string(item.Readed);
            block += '\t';
            block += std::to_string(item.AudioPos);
            block += "\t\r\n";
        }
        if (block.size() > 65536) {
            ok = ok && std::fwrite(block.data(), 1, block.size(), f) == block.size();
            block.clear();
        }
    }
    if (!block.empty()) ok = ok && std::fwrite(block.data(), 1, block.size(), f) == block.size();
    ok = std::fflush(f) == 0 && ok;
#ifdef _WIN32
    ok = ::_commit(_fileno(f)) == 0 && ok;
#else
    ok = ::fsync(fileno(f)) == 0 && ok;
#endif
    ok = std::fclose(f) == 0 && ok;
    if (!ok || !File_Rename(twin, path)) {
        File_Delete(twin);
        Log("! Error, SyncReaded_Save " + path);
        return 0;
    }
    Log("* SyncReaded_Save " + path);
    return 1;
}

int SyncReaded_Scan(int apply) {
    if (!Enabled()) return 0;
    const std::string folder = Pref.SyncReadedPath;
    Log("* SyncReaded_Scan " + folder);
    if (folder.empty() || !CheckDirectory(folder, 1, 0)) {
        Log("! Error, bad path " + folder);
        return 0;
    }
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (EndsWithNoCase(name, ".OVSR")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = folder + name;
        int64_t date = 0, size = 0;
        if (!FileStamp(path, date, size)) continue;
        const std::string key = Utf8Lower(path);
        auto seen = std::find_if(SyncSeen.begin(), SyncSeen.end(),
                                 [&](const SyncSeenFile& s) { return s.Name == key; });
        if (seen == SyncSeen.end()) {
            SyncSeen.push_back({key, 0, -1});
            seen = SyncSeen.end() - 1;
        }
        // Any change of date or size is read again: a copy made by a synchronisation
        // client may carry an older date than the one it replaces.
        if (seen->Date == date && seen->Size == size) continue;
        if (SyncReaded_ReadFile(path)) {
            seen->Date = date;
            seen->Size = size;
            Log("Readed " + name);
        } else {
            Log("Error " + name);
        }
    }
    int changed = 0;
    if (!SyncPending.empty()) {
        for (Rss& feed : RssList) {
            bool feedChanged = false;
            for (Item& item : feed.Items)
                if (SyncReaded_Apply(item)) {
                    ++changed;
                    feedChanged = true;
                }
            if (feedChanged) feed.ItemsChanged = 1;
        }
    }
    if (changed) {
        AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        if (apply && SyncReaded_RefreshHook) SyncReaded_RefreshHook();
    }
    return changed;
}

int SyncReaded_Tick() {
    if (++g_minutes < std::max<int32_t>(1, Pref.SyncReadedNbTime)) return 0;
    g_minutes = 0;
    return SyncReaded_Scan(1);
}

void SyncReaded_Link() {
    Items_SyncApplyHook = &ApplyHook;
}

void SyncReaded_Reset() {
    SyncSeen.clear();
    SyncPending.clear();
    g_minutes = 0;
}

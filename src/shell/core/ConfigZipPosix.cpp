#include "shell/core/ConfigZip.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <vector>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"

namespace {
const char* kPrefsFile = "Orvalis.ini";

// ------------------------------------------------------------------ writing

bool AddEntry(archive* a, const std::string& name, const std::string& bytes) {
    archive_entry* e = archive_entry_new();
    if (!e) return false;
    archive_entry_set_pathname_utf8(e, name.c_str());
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_set_size(e, static_cast<la_int64_t>(bytes.size()));
    archive_entry_set_mtime(e, std::time(nullptr), 0);
    bool ok = archive_write_header(a, e) == ARCHIVE_OK;
    if (ok && !bytes.empty())
        ok = archive_write_data(a, bytes.data(), bytes.size()) ==
             static_cast<la_ssize_t>(bytes.size());
    archive_entry_free(e);
    return ok;
}

bool AddFile(archive* a, const std::string& path, const std::string& name) {
    std::string bytes;
    return File_ReadAll(path, bytes) && AddEntry(a, name, bytes);
}

// ------------------------------------------------------------------ reading

enum class EntryKind { Prefs, Catalogue, Feed, Other, Hostile };

// What an entry name is, and for an article file its name without the folder.
EntryKind Classify(const std::string& name, std::string& feedName) {
    if (name.empty() || name.find('\0') != std::string::npos) return EntryKind::Hostile;
    if (name[0] == '/' || name[0] == '\\') return EntryKind::Hostile;
    if (name.size() >= 2 && name[1] == ':') return EntryKind::Hostile; // "C:..."
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '/' || name[i] == '\\') {
            parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    }
    for (const std::string& p : parts)
        if (p == "..") return EntryKind::Hostile;
    if (parts.size() == 1 && EqualsNoCase(parts[0], kPrefsFile)) return EntryKind::Prefs;
    if (parts.size() == 1 && EqualsNoCase(parts[0], CATALOGUE_FILE)) return EntryKind::Catalogue;
    if (parts.size() == 2 && EqualsNoCase(parts[0], "Feeds") && EndsWithNoCase(parts[1], ".txt") &&
        parts[1].size() > 4 && IsValidFileName(parts[1])) {
        feedName = parts[1];
        return EntryKind::Feed;
    }
    return EntryKind::Other;
}

// Inflates the current entry into `out`, refusing it past `limit` bytes whatever its
// header announced. "" when read whole, else why not.
std::string ReadEntry(archive* a, long long limit, std::string& out) {
    char buf[65536];
    for (;;) {
        const la_ssize_t n = archive_read_data(a, buf, sizeof buf);
        if (n == 0) return {};
        if (n < 0) return archive_error_string(a) ? archive_error_string(a) : "read error";
        if (static_cast<long long>(out.size()) + n > limit) return "too large";
        out.append(buf, static_cast<size_t>(n));
    }
}
} // namespace

int ConfigZip_SaveTo(const std::string& file, int withFeeds) {
    Log("* ConfigZip_Save " + file);
    const std::string twin = file + ".Tmp";
    archive* a = archive_write_new();
    if (!a) return 0;
    archive_write_set_format_zip(a);
    archive_write_zip_set_compression_deflate(a);
    if (archive_write_open_filename(a, twin.c_str()) != ARCHIVE_OK) {
        Log("! Error ConfigZip_Save, can't create " + twin + " : " +
            (archive_error_string(a) ? archive_error_string(a) : ""));
        archive_write_free(a);
        File_Delete(twin);
        return 0;
    }
    bool ok = true;
    for (const char* name : {CATALOGUE_FILE, kPrefsFile}) {
        if (File_Size(name) <= 0) continue;
        if (AddFile(a, name, name)) {
            Log(std::string("Added ") + name);
        } else {
            Log(std::string("! Error, not added ") + name);
            ok = false;
        }
    }
    // The articles go into the same archive, before it is closed.
    if (ok && withFeeds && Dir_Exists(FEEDS_FOLDER)) {
        std::vector<std::string> names;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(FEEDS_FOLDER, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string n = it->path().filename().string();
            if (it->is_regular_file(ec) && !it->is_symlink(ec) && EndsWithNoCase(n, ".txt") &&
                IsValidFileName(n))
                names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        bool feedsOk = !ec;
        for (const std::string& n : names)
            if (!AddFile(a, std::string(FEEDS_FOLDER) + n, "Feeds/" + n)) feedsOk = false;
        if (feedsOk) {
            Log("Added  files of feeds");
        } else {
            Log("! Error, not added files of feeds");
            ok = false;
        }
    }
    if (archive_write_close(a) != ARCHIVE_OK) {
        Log(std::string("! Error ConfigZip_Save, not closed : ") +
            (archive_error_string(a) ? archive_error_string(a) : ""));
        ok = false;
    }
    archive_write_free(a);
    if (!ok || !File_Sync(twin) || !File_Rename(twin, file)) {
        File_Delete(twin);
        Log("! Error ConfigZip_Save " + file);
        return 0;
    }
    return 1;
}

int ConfigZip_Read(const std::string& file, int withFeeds, ConfigContent& out) {
    Log("* ConfigZip_Load " + file);
    out = ConfigContent();
    archive* a = archive_read_new();
    if (!a) return 0;
    archive_read_support_format_zip(a);
    if (archive_read_open_filename(a, file.c_str(), 65536) != ARCHIVE_OK) {
        Log("! Error ConfigZip_Load, can't open " + file + " : " +
            (archive_error_string(a) ? archive_error_string(a) : ""));
        archive_read_free(a);
        return 0;
    }
    // Text deflates by a factor of a few; an archive inflating to hundreds of times its
    // own size is a bomb, whatever each entry's limit.
    const long long allowed =
        std::min(CONFIGZIP_MAX_TOTAL, std::max(1LL << 20, CONFIGZIP_MAX_RATIO * File_Size(file)));
    bool ok = true;
    long long total = 0, entries = 0;
    int feeds = 0;
    archive_entry* e = nullptr;
    int r = ARCHIVE_EOF;
    while (ok && (r = archive_read_next_header(a, &e)) == ARCHIVE_OK) {
        const char* raw = archive_entry_pathname_utf8(e);
        if (!raw) raw = archive_entry_pathname(e);
        const std::string name = raw ? raw : "";
        if (++entries > CONFIGZIP_MAX_ENTRIES) {
            Log("! Error ConfigZip_Load, too many entries");
            ok = false;
            break;
        }
        std::string feedName;
        const EntryKind kind = Classify(name, feedName);
        const mode_t type = archive_entry_filetype(e);
        if (kind == EntryKind::Hostile) {
            Log("! Error ConfigZip_Load, unsafe entry name refused : " + name);
            ok = false;
            break;
        }
        if (type == AE_IFDIR) continue;
        if (type != AE_IFREG || archive_entry_symlink(e) || archive_entry_hardlink(e)) {
            Log("! Error ConfigZip_Load, link or special entry refused : " + name);
            ok = false;
            break;
        }
        if (archive_entry_is_encrypted(e)) {
            Log("! Error ConfigZip_Load, encrypted entry refused : " + name);
            ok = false;
            break;
        }
        if (kind == EntryKind::Other || (kind == EntryKind::Feed && !withFeeds)) {
            Log("- ConfigZip_Load, entry skipped : " + name);
            continue;
        }
        const long long limit = kind == EntryKind::Feed ? CONFIGZIP_MAX_FEED : CONFIGZIP_MAX_INI;
        if (archive_entry_size_is_set(e) &&
            (archive_entry_size(e) > limit || total + archive_entry_size(e) > allowed)) {
            Log("! Error ConfigZip_Load, entry too large : " + name);
            ok = false;
            break;
        }
        std::string bytes;
        const std::string why = ReadEntry(a, std::min(limit, allowed - total), bytes);
        if (!why.empty()) {
            Log("! Error, not extracted " + name + " : " + why);
            ok = false;
            break;
        }
        total += static_cast<long long>(bytes.size());
        bool repeated = false;
        switch (kind) {
        case EntryKind::Prefs:
            repeated = out.HasPrefs;
            out.HasPrefs = true;
            out.Prefs = std::move(bytes);
            break;
        case EntryKind::Catalogue:
            repeated = out.HasCatalogue;
            out.HasCatalogue = true;
            out.Catalogue = std::move(bytes);
            break;
        default:
            repeated = !out.Feeds.emplace(Utf8Lower(feedName), std::move(bytes)).second;
            ++feeds;
            break;
        }
        if (repeated) {
            Log("! Error ConfigZip_Load, entry repeated : " + name);
            ok = false;
            break;
        }
        if (kind != EntryKind::Feed) Log("Extracted " + name);
    }
    if (ok && r != ARCHIVE_EOF) {
        Log("! Error ConfigZip_Load, damaged archive " + file + " : " +
            (archive_error_string(a) ? archive_error_string(a) : ""));
        ok = false;
    }
    archive_read_free(a);
    if (ok && !out.HasPrefs && !out.HasCatalogue) {
        Log("! Error ConfigZip_Load, no configuration in " + file);
        ok = false;
    }
    if (!ok) {
        out = ConfigContent();
        return 0;
    }
    if (withFeeds) Log(std::to_string(feeds) + " feeds extracted");
    return 1;
}

int ConfigZip_Load(const std::string& file, int withFeeds) {
    ConfigContent content;
    if (!ConfigZip_Read(file, withFeeds, content)) return 0;
    return Config_Apply(content);
}

// Podcast file names, folders and the purge.
#ifdef _WIN32
// No symbolic links to refuse among the files this module lists on Windows.
#define lstat stat
#endif
#include "audio/core/PodcastFile.h"

#include <ctime>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/Prefs.h"
#include "update/core/Date.h"

static std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

static std::string TrimSpaces(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

static std::string Extension(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(name.substr(dot + 1));
}

static std::string BaseName(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

const std::vector<std::string>& Podcast_Masks() {
    static const std::vector<std::string> masks = {"",
                                                   "%PT",
                                                   "%PF",
                                                   "%RN %PF",
                                                   "%RN %PT",
                                                   "%yyyy-%mm-%dd %RN",
                                                   "%yyyy-%mm-%dd %PT",
                                                   "%RN %yyyy-%mm-%dd",
                                                   "%PT %yyyy-%mm-%dd"};
    return masks;
}

std::string PodcastFileName(std::string_view mask, const Rss& feed, const Item& item) {
    if (mask.empty()) return {};
    std::string text(mask);
    const std::string file = BaseName(item.AudioFile);
    const std::string ext = Extension(file);
    const std::string plain = ext.empty() ? file : file.substr(0, file.size() - ext.size() - 1);
    std::string title = item.Title;
    for (char& c : title) {
        if (c == '/') c = '-';
        if (c == '"') c = '_';
    }
    // Tokens are replaced in this order, and text brought in is never read as a token
    // again: a title holding "%RN" stays as it is.
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const std::string_view rest = std::string_view(text).substr(i);
        if (rest.size() >= 3 && rest[0] == '%') {
            const std::string tok = Lower(rest.substr(0, 3));
            if (tok == "%rn") {
                out += feed.Name;
                i += 3;
                continue;
            }
            if (tok == "%pf") {
                out += plain;
                i += 3;
                continue;
            }
            if (tok == "%pt") {
                out += title;
                i += 3;
                continue;
            }
        }
        // Date tokens: the longest first.
        static const char* dateTokens[] = {"%yyyy", "%mm", "%dd", "%hh", "%ii", "%ss"};
        bool done = false;
        for (const char* t : dateTokens) {
            const std::string_view tv(t);
            if (rest.size() >= tv.size() && Lower(rest.substr(0, tv.size())) == tv) {
                out += Date_Format(tv, item.Date);
                i += tv.size();
                done = true;
                break;
            }
        }
        if (done) continue;
        out += text[i++];
    }
    std::string name = TrimSpaces(CleanFileName(out));
    if (name.empty()) return {};
    if (!ext.empty()) {
        const std::string tail = "." + Lower(ext);
        const std::string low = Lower(name);
        if (low.size() < tail.size() ||
            low.compare(low.size() - tail.size(), tail.size(), tail) != 0)
            name += "." + ext;
    }
    if (!IsValidFileName(name)) return {};
    return name;
}

static std::string PodcastRoot(const std::string& root) {
    std::string r = root.empty() ? Pref.PodcastPath : root;
    for (char& c : r)
        if (c == '\\') c = '/';
    if (!r.empty() && r.back() != '/') r += '/';
    return r;
}

std::string Podcast_FeedFolder(std::string_view filePath, const std::string& root) {
    std::string folder = PodcastRoot(root);
    if (folder.empty()) return {};
    std::string sub(filePath);
    sub = TrimSpaces(sub);
    if (sub.empty()) return folder;
    for (char& c : sub)
        if (c == '\\') c = '/';
    if (sub[0] == '/') return {};
    size_t start = 0;
    while (start < sub.size()) {
        size_t end = sub.find('/', start);
        if (end == std::string::npos) end = sub.size();
        const std::string part = sub.substr(start, end - start);
        if (!part.empty()) {
            if (!IsValidFileName(part)) return {};
            folder += part + "/";
        }
        start = end + 1;
    }
    return folder;
}

std::string Podcast_FullPath(std::string_view name, std::string_view filePath) {
    const std::string folder = Podcast_FeedFolder(filePath);
    if (folder.empty()) return {};
    const std::string base = TrimSpaces(BaseName(name));
    if (!IsValidFileName(base)) return {};
    return folder + base;
}

bool Podcast_IsPodcastFile(std::string_view path) {
    const std::string ext = Lower(Extension(BaseName(path)));
    if (ext.empty()) return false;
    const std::string list = Lower(Pref.AudioExtension);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        if (TrimSpaces(list.substr(start, end - start)) == ext) return true;
        start = end + 1;
    }
    return false;
}

bool Podcast_InsideFolder(const std::string& path) {
    const std::string root = PodcastRoot({});
    if (root.size() < 2 || path.size() <= root.size()) return false;
    if (path.compare(0, root.size(), root) != 0) return false;
    return path.find("/../") == std::string::npos && path.find("/./") == std::string::npos &&
           path.back() != '/';
}

// Deletes one file when it is a podcast file inside the podcast folder and not protected.
static int DeleteOne(const std::string& path, const std::set<std::string>& isProtected) {
    if (path.empty() || isProtected.count(Lower(path))) return 0;
    if (!Podcast_IsPodcastFile(path) || !Podcast_InsideFolder(path)) return 0;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    if (::unlink(path.c_str()) != 0) {
        Log("! PodCastPurge() can't delete " + path);
        return 0;
    }
    Log("- PodCastPurge() deleted " + path);
    return 1;
}

static std::string ItemFile(const Item& item) {
    return item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile;
}

int PodCastPurge() {
    const int32_t days = Pref.NbDayBeforeDelPodCast;
    const DateFields now = Date_Split(Items_Now());
    int32_t minDate = Date_Make(now.Year, now.Month, now.Day, 0, 0, 0) - days * 86400;
    Log("* PodCastPurge() MinDate=" + Date_Format("%yyyy/%mm/%dd %hh:%ii", minDate));

    // The protected files of every feed first: a file of one feed's newest items is never
    // deleted for another feed that shares its folder.
    std::set<std::string> isProtected;
    std::vector<std::string> toDelete;
    std::vector<std::string> folders;
    std::set<std::string> seenFolders;
    for (Rss& feed : RssList) {
        if (feed.NbAutoDownLoadPodCast < 1) continue;
        const std::string folder = Podcast_FeedFolder(feed.FilePath);
        if (folder.empty()) {
            Log("! PodCastPurge() refused FilePath=" + feed.FilePath + " of " + feed.Name);
            continue;
        }
        if (seenFolders.insert(folder).second) folders.push_back(folder);
        int32_t n = 0;
        for (const Item& item : feed.Items) {
            std::vector<std::string> names = {Podcast_FullPath(ItemFile(item), feed.FilePath)};
            const std::string masked = PodcastFileName(feed.CustomPodcastFileName, feed, item);
            if (!masked.empty()) names.push_back(Podcast_FullPath(masked, feed.FilePath));
            for (const std::string& p : names) {
                if (p.empty()) continue;
                if (n < feed.NbAutoDownLoadPodCast)
                    isProtected.insert(Lower(p));
                else if (feed.Flags & RSSFLAG_DEL_OLD_PODCAST)
                    toDelete.push_back(p);
            }
            ++n;
        }
    }
    int deleted = 0;
    for (const std::string& p : toDelete)
        deleted += DeleteOne(p, isProtected);
    if (days >= 1) {
        for (const std::string& folder : folders) {
            Log("Purge " + folder);
            DIR* d = ::opendir(folder.c_str());
            if (!d) continue;
            std::vector<std::string> old;
            while (dirent* e = ::readdir(d)) {
                const std::string name = e->d_name;
                if (name == "." || name == "..") continue;
                const std::string path = folder + name;
                struct stat st {};
                if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
                // The system keeps no creation date here; the last change stands for it.
                if (static_cast<int64_t>(st.st_mtime) + GetLocalOffsetTimeZone() < minDate)
                    old.push_back(path);
            }
            ::closedir(d);
            for (const std::string& p : old)
                deleted += DeleteOne(p, isProtected);
        }
    }
    return deleted;
}

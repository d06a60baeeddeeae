#include "audio/core/SyncPod.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <set>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/core/PodcastFile.h"
#include "catalogue/core/Records.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/Prefs.h"

static std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

static int64_t SizeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

static void AddFolders(const std::string& folder, int depth, std::vector<std::string>& out) {
    if (depth > 5) return;
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    std::vector<std::string> subs;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const std::string path = folder + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) subs.push_back(path + "/");
    }
    ::closedir(d);
    std::sort(subs.begin(), subs.end()); // the list reads in name order
    for (const std::string& s : subs) {
        out.push_back(s);
        AddFolders(s, depth + 1, out);
    }
}

void SyncPodDrives_AddFolders(const std::string& root, std::vector<std::string>& out) {
    std::string r = root;
    if (r.empty()) return;
    if (r.back() != '/') r += '/';
    AddFolders(r, 1, out);
}

namespace {
class FolderDrives : public SyncPodDrives {
  public:
    explicit FolderDrives(std::vector<std::string> roots) : m_roots(std::move(roots)) {}
    std::vector<std::string> List() override {
        std::vector<std::string> out;
        for (std::string r : m_roots) {
            if (r.empty()) continue;
            if (r.back() != '/') r += '/';
            if (SizeOf(r) == -1 && ::access(r.c_str(), W_OK) != 0) continue; // no medium
            out.push_back(r);
            AddFolders(r, 1, out);
        }
        return out;
    }

  private:
    std::vector<std::string> m_roots;
};
} // namespace

std::unique_ptr<SyncPodDrives> SyncPodDrives_Folders(std::vector<std::string> roots) {
    return std::make_unique<FolderDrives>(std::move(roots));
}

std::vector<std::string> SyncPod_CollectFiles() {
    std::vector<std::string> files;
    for (const Rss& feed : RssList) {
        if (feed.Flags & RSSFLAG_DISABLE) continue;
        int32_t n = 0;
        for (const Item& item : feed.Items) {
            if (n++ >= feed.NbAutoDownLoadPodCast) break;
            // The chosen name is the file the queue wrote.
            const std::string name =
                item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile;
            if (name.empty()) continue;
            const std::string path = Podcast_FullPath(name, feed.FilePath);
            if (!path.empty()) files.push_back(path);
        }
    }
    return files;
}

// Copies through a twin on the destination, so an unplugged player keeps no half file
// under the podcast's name. Block by block, so a stop request ends a long copy at once
// (the twin is removed, and the copy counts as not done).
static bool CopyFile(const std::string& from, const std::string& to,
                     const std::atomic<bool>* stop) {
    const std::string tmp = to + ".Tmp";
    FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    FILE* out = std::fopen(tmp.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    std::vector<char> block(1 << 20);
    bool ok = true;
    for (;;) {
        if (stop && stop->load()) {
            ok = false;
            break;
        }
        const size_t n = std::fread(block.data(), 1, block.size(), in);
        if (n > 0 && std::fwrite(block.data(), 1, n, out) != n) {
            ok = false;
            break;
        }
        if (n < block.size()) {
            ok = !std::ferror(in);
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0) ok = false;
    if (!ok || std::rename(tmp.c_str(), to.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

void SyncPod_Work(SyncJob& job, const std::atomic<bool>* stop, std::atomic<int>* progress) {
    std::string dest = job.Destination;
    if (!dest.empty() && dest.back() != '/') dest += '/';
    std::string root = Pref.PodcastPath;
    if (!root.empty() && root.back() != '/') root += '/';
    std::vector<std::string> folders;
    std::set<std::string> written;
    for (const std::string& source : job.Files) {
        if (stop && stop->load()) return;
        // Counted when the file is handled, whatever its outcome.
        struct Advance {
            std::atomic<int>* p;
            ~Advance() {
                if (p) ++*p;
            }
        } advance{progress};
        std::string folder = dest;
        const size_t slash = source.rfind('/');
        const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
        if (!root.empty() && source.compare(0, root.size(), root) == 0) {
            const std::string rel = source.substr(root.size());
            const size_t sub = rel.find('/');
            if (sub != std::string::npos) folder += rel.substr(0, sub) + "/";
        }
        bool known = false;
        for (const std::string& f : folders)
            known = known || f == folder;
        if (!known) folders.push_back(folder);
        const std::string target = folder + name;
        written.insert(Lower(target));
        const int64_t size = SizeOf(source);
        if (size < 0) {
            ++job.NotFound;
            continue;
        }
        if (SizeOf(target) == size) {
            ++job.AlreadyPresent;
            continue;
        }
        if (!CheckDirectory(target, 1, 0) || !CopyFile(source, target, stop)) {
            if (stop && stop->load()) return; // stopped: not an error of the copy
            Log("! SyncPod can't copy " + source + " to " + target);
            ++job.CopyErrors;
        } else {
            ++job.Copied;
        }
    }
    if (job.CopyOnly) return;
    for (const std::string& folder : folders) {
        if (stop && stop->load()) return;
        DIR* d = ::opendir(folder.c_str());
        if (!d) continue;
        std::vector<std::string> old;
        while (dirent* e = ::readdir(d)) {
            const std::string path = folder + e->d_name;
            struct stat st {};
            if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            if (!Podcast_IsPodcastFile(path) || written.count(Lower(path))) continue;
            old.push_back(path);
        }
        ::closedir(d);
        for (const std::string& p : old) {
            if (::unlink(p.c_str()) == 0)
                ++job.Deleted;
            else
                ++job.DeleteErrors;
        }
    }
}

void SyncPod_LogResult(const SyncJob& job) {
    Log(std::to_string(job.Files.size()) + " Podcast To synchronize");
    Log(std::to_string(job.Copied) + " files copyed, " + std::to_string(job.NotFound) +
        " file not found, " + std::to_string(job.CopyErrors) + " errors");
    Log(std::to_string(job.Deleted) + " files deleted, " + std::to_string(job.DeleteErrors) +
        " errors");
}

std::string SyncPod_Report(const SyncJob& job) {
    const std::string n = std::to_string(job.Files.size());
    std::string text = Lng(job.CopyOnly ? L_Text_CopyPodcast : L_Text_SyncPodcast, n);
    text += Lng(L_Text_SyncPod_Warning, std::to_string(job.Copied),
                std::to_string(job.AlreadyPresent), std::to_string(job.NotFound));
    // "%x%" starts a line of its own, like "%w%".
    auto line = [](std::string t) {
        const size_t x = t.find("%x%");
        if (x != std::string::npos) t.replace(x, 3, "\r\n");
        return t;
    };
    if (job.CopyErrors) text += line(Lng(L_Text_SyncPod_CopyError, std::to_string(job.CopyErrors)));
    if (job.DeleteErrors)
        text += line(Lng(L_Text_SyncPod_DelError, std::to_string(job.DeleteErrors)));
    return text;
}

std::string SyncPod_ReportTitle(const SyncJob& job) {
    return Lng(job.CopyErrors || job.DeleteErrors ? L_Request_Error : L_Request_Terminated);
}

bool SyncPod_AlarmDue(const SyncPodMenu& menu, bool& wasComplete) {
    const bool complete = menu.Enabled && menu.Complete;
    const bool due = complete && !wasComplete && (PrefFlags & PREF_ALARMALLDOWNLOADED);
    wasComplete = complete;
    return due;
}

SyncPodMenu IsCanSyncPod() {
    const auto start = std::chrono::steady_clock::now();
    SyncPodMenu m;
    bool qualifies = false;
    for (const Rss& feed : RssList) {
        if ((feed.Flags & RSSFLAG_DISABLE) || feed.NbAutoDownLoadPodCast < 1 || feed.Updated == 0 ||
            feed.ExtractError)
            continue;
        qualifies = true;
        m.Expected +=
            std::min<int32_t>(feed.NbAutoDownLoadPodCast, static_cast<int32_t>(feed.Items.Size()));
        int32_t n = 0;
        for (const Item& item : feed.Items) {
            if (n++ >= feed.NbAutoDownLoadPodCast) break;
            const std::string name =
                item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile;
            const std::string path =
                name.empty() ? std::string() : Podcast_FullPath(name, feed.FilePath);
            if (path.empty() || SizeOf(path) <= 0) break;
            ++m.Present;
        }
    }
    m.Enabled = qualifies;
    m.Complete = m.Present >= m.Expected;
    m.SyncText = Lng(m.Complete ? L_Menu_SyncPod : L_Menu_SyncPodPart);
    m.CopyText = Lng(m.Complete ? L_Menu_CopyPod : L_Menu_CopyPodPart);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    Log("- IsCanSyncPod(), in " + std::to_string(ms) + " ms NbToSyn=" + std::to_string(m.Expected) +
        " NbSync=" + std::to_string(m.Present) + " DisMenu=" + std::to_string(m.Enabled ? 0 : 1) +
        " Menu=" + m.SyncText);
    return m;
}

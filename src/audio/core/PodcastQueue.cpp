// The podcast download queue, its scheduling step and its one download thread.
#include "audio/core/PodcastQueue.h"

#include <atomic>
#include <cstdio>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/core/Audio.h"
#include "audio/core/PodcastFile.h"
#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "shell/base/AppPaths.h"
#include "shell/base/CloseThread.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/Prefs.h"
#include "update/net/DownloadTool.h"

std::recursive_mutex PodcastQueueLock;
CursorList<PodcastJob> PodcastQueue;
int32_t DownloadProgressFeedID = 0;

static const char* QUEUE_FILE = "PodDownload.Ini";

static std::thread g_thread;
static std::atomic<bool> g_running{false};
static bool g_loading = false; // no save after each job while the file is being read

PodcastHooks& Podcast_Hooks() {
    static PodcastHooks hooks = [] {
        PodcastHooks h;
        h.Play = [](const std::string& file, int32_t feedId, const std::string& title,
                    int32_t positionMs) { Audio_Play(file, "", feedId, title, positionMs); };
        return h;
    }();
    return hooks;
}

static void RowChanged(int32_t feedId) {
    if (Podcast_Hooks().RowChanged) Podcast_Hooks().RowChanged(feedId);
}
static void StatusChanged() {
    if (Podcast_Hooks().StatusChanged) Podcast_Hooks().StatusChanged();
}

bool PodCastDownload_IsRunning() {
    return g_running.load();
}

static void JoinIfEnded() {
    if (!g_running.load() && g_thread.joinable()) g_thread.join();
}

void PodcastQueue_Init() {
    CloseThread_Register(
        WORKER_PODCAST_DOWNLOAD, "PodcastDownload", [] { return g_running.load(); },
        [] { JoinIfEnded(); });
}

static std::string Folder(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// The download thread: one job, the first of the queue (the current element).
static void DownloadThread() {
    try {
        std::string file, link;
        int64_t length = 0;
        {
            std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
            const PodcastJob* job = PodcastQueue.Current();
            if (job) {
                file = job->File;
                link = job->AudioLink;
                length = job->FileLength;
            }
        }
        int32_t ok = 0;
        if (Network_IsAvailable() && !file.empty() && !link.empty()) {
            if (!CheckDirectory(file, 1, 0)) {
                Log("! Error PodcastDownload, Can't create directory : " + Folder(file));
            } else {
                // The transfer goes into a twin; only a complete file takes the final name,
                // in one rename, so a good file is never lost to a failed download.
                const std::string tmp = file + ".Tmp";
                if (DownloadFile(link, tmp, WORKER_PODCAST_DOWNLOAD, length) == 1 &&
                    !IsThreadKilled(WORKER_PODCAST_DOWNLOAD)) {
                    ok = std::rename(tmp.c_str(), file.c_str()) == 0 ? 1 : 0;
                    if (!ok) Log("! Error PodcastDownload, Can't rename to " + file);
                }
                if (!ok) ::unlink(tmp.c_str());
            }
        }
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        if (!PodcastQueue.Empty() && PodcastQueue.Current() == &*PodcastQueue.begin())
            PodcastQueue.Current()->Done = ok;
    } catch (const std::exception& e) {
        Log(std::string("! Error PodcastDownload, ") + e.what());
    } catch (...) {
        Log("! Error PodcastDownload, unknown failure");
    }
    g_running.store(false);
}

int PodCastDownload_Push(Item& item, const std::string& feedFolder, int mode) {
    const int32_t id = item.FeedID;
    const std::string name = item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile;
    if (name.empty()) {
        Log("! Error PodCastDownload_Push() no AudioFile, FeedID=" + std::to_string(id) +
            " AudioFile=" + name);
        return 0;
    }
    const std::string file = Podcast_FullPath(name, feedFolder);
    if (file.empty()) {
        Log("! Error PodCastDownload_Push() refused path, FeedID=" + std::to_string(id) +
            " FilePath=" + feedFolder + " AudioFile=" + name);
        return 0;
    }
    if (!(mode & PODCAST_FORCE) && File_Size(file) > 0) {
        if (mode & PODCAST_PLAY) {
            PodCastDownload_ClearPlay();
            if (Podcast_Hooks().Play) Podcast_Hooks().Play(file, id, item.Title, item.AudioPos);
        }
        Log("* PodCastDownload_Push(), File exist FeedID=" + std::to_string(id) +
            " AudioFile=" + file);
        return 0;
    }
    if (item.AudioLink.empty()) {
        Log("! Error PodCastDownload_Push() no AudioLink, FeedID=" + std::to_string(id) +
            " AudioLink=" + item.AudioLink);
        return 0;
    }

    int result = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        auto& list = PodcastQueue.Raw();
        const auto current = PodcastQueue.CurrentIterator();
        int pos = 0, found = 0;
        auto foundIt = list.end();
        for (auto it = list.begin(); it != list.end(); ++it) {
            ++pos;
            if (!found && (it->FeedID == id || it->File == file)) {
                found = pos;
                foundIt = it;
            } else if (mode & PODCAST_PLAY) {
                it->PlayWhenDone = 0;
            }
        }
        PodcastJob* job = nullptr;
        if (!found) {
            auto at = list.end();
            if ((mode & PODCAST_PLAY) && !list.empty()) at = std::next(list.begin());
            job = &*list.insert(at, PodcastJob{});
            Log("* PodCastDownload_Push(), Added FeedID=" + std::to_string(id) +
                " AudioLink=" + item.AudioLink);
            result = 1;
        } else if (found == 1) {
            result = 0;
        } else {
            if ((mode & PODCAST_PLAY) && found >= 3) {
                auto second = std::next(list.begin());
                std::swap(*second, *foundIt);
                foundIt = second;
            }
            job = &*foundIt;
            Log("* PodCastDownload_Push(), Updated in Pos=1, FeedID=" + std::to_string(id) +
                " AudioLink=" + item.AudioLink);
            result = -1;
        }
        if (job) {
            job->AudioLink = item.AudioLink;
            job->FeedID = id;
            job->File = file;
            job->FileLength = item.AudioFileLength;
            job->Title = item.Title;
            job->PlayWhenDone = (mode & PODCAST_PLAY) ? 1 : 0;
            job->Done = 0;
        }
        PodcastQueue.SetCurrent(current);
    }
    if (result != 0) {
        RowChanged(id);
        StatusChanged();
        if (!g_loading) PodCastDownload_Save();
    }
    return result;
}

void PodCastDownload_InThread() {
    JoinIfEnded();
    if (g_running.load()) return;
    bool changed = false;
    bool ended = false;
    PodcastJob endedJob;
    bool started = false;
    int32_t startedId = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        if (PodcastQueue.Empty()) return;
        if (PodcastQueue.Current() == &*PodcastQueue.begin()) {
            endedJob = *PodcastQueue.begin();
            ended = true;
            if (endedJob.Done == 1)
                Log("- PodcastDownloadingInThread Ok !");
            else
                Log("! PodcastDownloadingInThread Error");
            PodcastQueue.Raw().pop_front();
            PodcastQueue.Reset();
            changed = true;
        }
        if (!PodcastQueue.Empty() && !IsThreadKilled(WORKER_PODCAST_DOWNLOAD)) {
            PodcastJob& first = *PodcastQueue.begin();
            {
                std::lock_guard<std::mutex> progress(DownloadProgressLock);
                DownloadProgress.clear();
                DownloadProgressFeedID = first.FeedID;
            }
            first.Done = 0;
            PodcastQueue.SetCurrent(PodcastQueue.begin());
            g_running.store(true);
            try {
                g_thread = std::thread(DownloadThread);
                started = true;
                startedId = first.FeedID;
                Log("* PodCastDownload_InThread(), FeedID=" + std::to_string(first.FeedID) +
                    ", File=" + first.File);
            } catch (...) {
                g_running.store(false);
                PodcastQueue.Reset();
                Log("! Error PodCastDownload_InThread(), thread not started");
            }
            changed = true;
        }
    }
    if (ended) {
        if (endedJob.Done == 1 && endedJob.PlayWhenDone && Podcast_Hooks().Play)
            Podcast_Hooks().Play(endedJob.File, endedJob.FeedID, endedJob.Title, 0);
        if (Podcast_Hooks().JobDone) Podcast_Hooks().JobDone(endedJob, endedJob.Done == 1);
        RowChanged(endedJob.FeedID);
        if (Podcast_Hooks().SyncMenu) Podcast_Hooks().SyncMenu();
        PodCastDownload_Save();
    }
    if (started) RowChanged(startedId);
    if (changed) StatusChanged();
}

static std::string Trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return s.substr(b, e - b);
}

void PodCastDownload_Load() {
    IniReader ini;
    if (!ini.Open(DataPath + QUEUE_FILE)) return;
    g_loading = true;
    int queued = 0;
    for (size_t g = 1; g < ini.Groups().size(); ++g) {
        ini.SelectGroupIndex(g);
        const std::string title = ini.ReadString("Name");
        const std::string file = ini.ReadString("File");
        const std::string link = ini.ReadString("AudioLink");
        bool found = false;
        for (Rss& feed : RssList) {
            for (Item& item : feed.Items) {
                if (item.Title != title || item.AudioLink != link) continue;
                std::string base = file;
                const size_t slash = base.find_last_of("/\\");
                if (slash != std::string::npos) base.erase(0, slash + 1);
                item.CustomAudioFile = Trimmed(base);
                if (PodCastDownload_Push(item, feed.FilePath, PODCAST_FORCE) != 0) ++queued;
                found = true;
                break;
            }
            if (found) break;
        }
        if (!found) Log("! PodCastDownload_Load() no article for " + title);
    }
    g_loading = false;
    Log("* PodCastDownload_Load() " + std::to_string(queued) + " jobs");
    PodCastDownload_Save();
}

bool PodCastDownload_Save() {
    const std::string path = DataPath + QUEUE_FILE;
    IniWriter w;
    size_t n = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        for (const PodcastJob& job : PodcastQueue) {
            w.Group(std::to_string(n++));
            w.WriteString("Name", job.Title);
            w.WriteString("File", job.File);
            w.WriteString("AudioLink", job.AudioLink);
        }
    }
    if (n == 0) {
        ::unlink(path.c_str());
        return true;
    }
    if (!w.SaveAtomic(path)) {
        Log("! Error PodCastDownload_Save() can't write " + path);
        return false;
    }
    return true;
}

void PodCastDownload_Remove(int32_t feedId) {
    bool stop = false;
    {
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        auto& list = PodcastQueue.Raw();
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->FeedID != feedId) continue;
            if (it == list.begin() && PodcastQueue.Current() == &*it) {
                stop = true; // dropped by the next scheduling step, as a failed job
            } else {
                const bool wasCurrent = PodcastQueue.Current() == &*it;
                list.erase(it);
                if (wasCurrent) PodcastQueue.Reset();
            }
            break;
        }
    }
    // Outside the lock: the thread takes it to store its result before it ends.
    if (stop && g_running.load()) CloseThread(WORKER_PODCAST_DOWNLOAD);
    RowChanged(feedId);
    StatusChanged();
    PodCastDownload_Save();
}

void Podcast_ReleaseFile(const Rss& feed, const Item& item) {
    PodCastDownload_Remove(item.FeedID);
    if (!(PrefFlags & PREF_DELPODCASTWITHFEED)) return;
    const std::string name = item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile;
    if (name.empty()) return;
    const std::string path = Podcast_FullPath(name, feed.FilePath);
    if (path.empty() || !Podcast_IsPodcastFile(path) || !Podcast_InsideFolder(path)) return;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
    if (::unlink(path.c_str()) == 0)
        Log("- Podcast file deleted with its article : " + path);
    else
        Log("! Error can't delete podcast file : " + path);
}

int PodCastDownload_IsQueued(int32_t feedId) {
    std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
    for (const PodcastJob& job : PodcastQueue)
        if (job.FeedID == feedId) return -1;
    return 0;
}

void PodCastDownload_ClearPlay() {
    std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
    for (PodcastJob& job : PodcastQueue)
        job.PlayWhenDone = 0;
}

size_t PodCastDownload_Count() {
    std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
    return PodcastQueue.Size();
}

std::string PodCastDownload_StatusText() {
    if (!g_running.load()) return {};
    const std::string progress = DownloadProgress_Get();
    std::string text =
        progress.empty() ? Lng(L_Status_PodCastNoPercent) : Lng(L_Status_PodCastPercent, progress);
    const size_t n = PodCastDownload_Count();
    if (n >= 2) text += Lng(L_Status_PodcastMore, std::to_string(n - 1));
    return text;
}

std::string PodCastDownload_ItemStatus(int32_t feedId) {
    std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
    bool first = true;
    for (const PodcastJob& job : PodcastQueue) {
        if (job.FeedID == feedId) {
            if (first && PodcastQueue.Current() == &job) {
                const std::string progress = DownloadProgress_Get();
                return progress.empty() ? Lng(L_Prefix_ToDownloading)
                                        : Lng(L_Prefix_ToDownloading) + " (" + progress + ")";
            }
            return Lng(L_Prefix_ToDownload);
        }
        first = false;
    }
    return {};
}

std::string Podcast_ArticleStatus(int32_t feedId) {
    if (feedId == 0) return {};
    std::string status = PodCastDownload_ItemStatus(feedId);
    if (status.empty() && Audio.FeedID == feedId && (Audio.State & AUDIO_STATE_LOADED))
        status = Lng(L_Prefix_Playing);
    return status;
}

void PodCastDownload_AutoQueue(Rss& feed) {
    int32_t n = 0;
    for (Item& item : feed.Items) {
        if (n++ >= feed.NbAutoDownLoadPodCast) break;
        const std::string name = PodcastFileName(feed.CustomPodcastFileName, feed, item);
        if (name != item.CustomAudioFile) {
            item.CustomAudioFile = name;
            feed.ItemsChanged = 1;
        }
        PodCastDownload_Push(item, feed.FilePath, 0);
    }
}

void PodCastDownload_Stop() {
    if (g_running.load()) CloseThread(WORKER_PODCAST_DOWNLOAD);
    JoinIfEnded();
    // A thread that did not end in time is left to end on its own, never killed.
    if (g_thread.joinable()) g_thread.detach();
}

// orvalis-tool podcasts --data DIR: the podcast queue of a data folder worked through as
// the program does (queue file, automatic downloads, the 200 ms scheduling step), one line
// per job. orvalis-tool podname: the file name a mask makes.
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "audio/core/PodcastFile.h"
#include "audio/core/PodcastQueue.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/Records.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/LngState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/DataLoad.h"
#include "shell/core/Startup.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"

namespace {
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnPodcastStopSignal(int sig) {
    g_stopSignal = sig;
}

bool LoadDataFolder(std::string& error) {
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    LoadLanguage(Pref.AppLang, AppPath + "Lang/");
    if (!Pref_ApplyToCore()) {
        error = "the network layer cannot be initialised";
        return false;
    }
    if (!Startup_LoadCatalogue()) {
        error = std::string("no catalogue ") + CATALOGUE_FILE + " in the data folder";
        return false;
    }
    Startup_LoadArticles();
    return true;
}
} // namespace

static int Podcasts(const std::vector<std::string>& args) {
    std::string dir;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else
            return Tool_Fail("podcasts: unknown argument " + args[i], 2);
    }
    if (dir.empty()) return Tool_Fail("usage: podcasts --data DIR", 2);
    if (!Dir_Exists(dir)) return Tool_Fail("podcasts: no folder " + dir, 2);

    char exe[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) Startup_SetProgramFile(std::string(exe, static_cast<size_t>(n)));
    if (::chdir(dir.c_str()) != 0) return Tool_Fail("podcasts: cannot enter " + dir, 2);
    char cwd[PATH_MAX] = {};
    if (::getcwd(cwd, sizeof cwd)) DataPath = std::string(cwd) + "/";

    std::string error;
    if (!LoadDataFolder(error)) {
        FlushLog();
        return Tool_Fail("podcasts: " + error);
    }

    struct sigaction sa {};
    sa.sa_handler = OnPodcastStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    FeedThread_Init(); // makes CloseThread write the download layer's stop mask
    PodcastQueue_Init();
    Podcast_Hooks().Play = {}; // nothing is played here
    Podcast_Hooks().JobDone = [](const PodcastJob& job, bool ok) {
        std::printf("%s %s\n", ok ? "ok" : "failed", job.File.c_str());
        std::fflush(stdout);
    };

    // Start-up order: the saved queue first, then what an update merge would queue.
    PodCastDownload_Load();
    for (Rss& feed : RssList)
        if (feed.NbAutoDownLoadPodCast > 0) PodCastDownload_AutoQueue(feed);

    int tick = 0;
    while (!g_stopSignal) {
        PodCastDownload_InThread();
        if (PodCastDownload_Count() == 0 && !PodCastDownload_IsRunning()) break;
        if (++tick % 5 == 0) FlushLog();
        // The window's 200 ms tick, cut short when a download ends: its successor starts at
        // once instead of after the rest of the tick.
        const bool wasRunning = PodCastDownload_IsRunning();
        for (int slice = 0; slice < 20 && !g_stopSignal; ++slice) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (wasRunning && !PodCastDownload_IsRunning()) break;
        }
    }
    const int signal = g_stopSignal;
    if (signal) {
        Log("- Podcast downloads stopped by signal " + std::to_string(signal));
        PodCastDownload_Stop();
    }
    // The exit sequence: the queue keeps the remaining jobs, the interrupted one first.
    const bool queueSaved = PodCastDownload_Save();
    const int failedSaves = Feed_Save();
    FlushLog();
    if (!queueSaved || failedSaves)
        return Tool_Fail("podcasts: the queue or the articles could not be saved");
    if (signal) {
        std::printf("stopped\n");
        return 128 + signal;
    }
    return 0;
}

static int PodName(const std::vector<std::string>& args) {
    if (args.empty())
        return Tool_Fail("usage: podname MASK --feed NAME --title TITLE --file FILE --date TEXT",
                         2);
    const std::string mask = args[0];
    Rss feed;
    Item item;
    for (size_t i = 1; i < args.size(); ++i) {
        if (i + 1 >= args.size()) return Tool_Fail("podname: missing value for " + args[i], 2);
        const std::string& key = args[i];
        const std::string& value = args[++i];
        if (key == "--feed")
            feed.Name = value;
        else if (key == "--title")
            item.Title = value;
        else if (key == "--file")
            item.AudioFile = value;
        else if (key == "--date") {
            item.Date = Feed_ParseDate(value);
            if (item.Date == 0) return Tool_Fail("podname: unreadable date " + value, 2);
        } else
            return Tool_Fail("podname: unknown argument " + key, 2);
    }
    std::printf("%s\n", PodcastFileName(mask, feed, item).c_str());
    return 0;
}

static ToolCommand regPodcasts("podcasts",
                               "podcasts --data DIR   download the podcast queue of a data folder",
                               &Podcasts);
static ToolCommand regPodName(
    "podname",
    "podname MASK --feed NAME --title TITLE --file FILE --date TEXT   file name of a mask",
    &PodName);

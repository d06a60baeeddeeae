// orvalis-tool update --data DIR: updates every enabled article feed of a data folder the
// way the program does, with the same queue and workers ("UpdateThreads" of the data
// folder's preferences), its tick run as soon as a worker ends (at the latest every
// 100 ms) as in the main window, then saves the articles and the catalogue as the exit
// sequence does.
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/LngState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "shell/core/DataLoad.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {
volatile std::sig_atomic_t g_stopSignal = 0;

extern "C" void OnStopSignal(int sig) {
    g_stopSignal = sig;
}

// What start-up loads from the data folder (the current folder by now).
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

void PrintFeed(const DownloadEntry& e, int parsed) {
    if (parsed > 0)
        std::printf("%s: %d new, %d updated, %d parsed\n", e.Name.c_str(), e.NewCount,
                    e.UpdatedCount, parsed);
    else
        std::printf("%s: failed, no articles extracted\n", e.Name.c_str());
    std::fflush(stdout);
}
} // namespace

static int Update(const std::vector<std::string>& args) {
    std::string dir;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else
            return Tool_Fail("update: unknown argument " + args[i], 2);
    }
    if (dir.empty()) return Tool_Fail("usage: update --data DIR", 2);
    if (!Dir_Exists(dir)) return Tool_Fail("update: no folder " + dir, 2);

    char exe[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0) Startup_SetProgramFile(std::string(exe, static_cast<size_t>(n)));
    if (::chdir(dir.c_str()) != 0) return Tool_Fail("update: cannot enter " + dir, 2);
    char cwd[PATH_MAX] = {};
    if (::getcwd(cwd, sizeof cwd)) DataPath = std::string(cwd) + "/";

    std::string error;
    if (!LoadDataFolder(error)) {
        FlushLog();
        return Tool_Fail("update: " + error);
    }

    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    FeedThread_Init();
    FeedThread_Hooks().FeedDone = &PrintFeed;
    // Nothing chosen by a user here: the outcome of each feed is printed, not spoken.
    FeedThread_Hooks().Say = [](const std::string&, int) {};
    Alarm_Hooks().Say = [](const std::string&, int) {};

    ActualizeFeeds(1, 0);
    auto nextSecond = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!g_stopSignal) {
        ExtractFeedByThread();
        if (DownloadQueue_Size() == 0 && !FeedThread_IsRunning()) break;
        // The 1 s tick without the countdown: each feed is updated once, and a feed with a
        // short interval cannot keep a long run from ever ending.
        if (std::chrono::steady_clock::now() >= nextSecond) {
            nextSecond += std::chrono::seconds(1);
            ProcessNotifications();
            FlushLog();
        }
        // The next tick comes as soon as a worker ends, at the latest after 100 ms.
        FeedThread_WaitForWake(100);
    }
    const int signal = g_stopSignal;
    if (signal) {
        Log("- Update stopped by signal " + std::to_string(signal));
        StopUpdates();
    }

    // The exit sequence: preferences when changed, articles, catalogue.
    Pref_Save(0);
    const int failedSaves = Feed_Save();
    const int catalogueSaved = RssList_DirectSave(CATALOGUE_FILE);
    Notifications_Shutdown();
    FlushLog();
    if (failedSaves || !catalogueSaved)
        return Tool_Fail("update: the articles or the catalogue could not be saved");
    if (signal) {
        std::printf("stopped\n");
        return 128 + signal;
    }
    return 0;
}

static ToolCommand reg("update", "update --data DIR   update every enabled feed of a data folder",
                       &Update);

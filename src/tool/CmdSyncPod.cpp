// orvalis-tool syncpod --data DIR --to FOLDER [--copy]: the newest podcasts of a data folder
// copied (or synchronised) onto FOLDER as onto a portable player; prints the counters.
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/core/SyncPod.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/LngState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/DataLoad.h"
#include "shell/core/Startup.h"
#include "tool/ToolCommand.h"

static int SyncPod(const std::vector<std::string>& args) {
    std::string dir, to;
    bool copy = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else if (args[i] == "--to" && i + 1 < args.size())
            to = args[++i];
        else if (args[i] == "--copy")
            copy = true;
        else
            return Tool_Fail("syncpod: unknown argument " + args[i], 2);
    }
    if (dir.empty() || to.empty())
        return Tool_Fail("usage: syncpod --data DIR --to FOLDER [--copy]", 2);
    if (!Dir_Exists(dir)) return Tool_Fail("syncpod: no folder " + dir, 2);
    char abs[PATH_MAX] = {};
    if (!::realpath(to.c_str(), abs)) return Tool_Fail("syncpod: no folder " + to, 2);
    const std::string dest = std::string(abs) + "/";
    if (::chdir(dir.c_str()) != 0) return Tool_Fail("syncpod: cannot enter " + dir, 2);
    char cwd[PATH_MAX] = {};
    if (::getcwd(cwd, sizeof cwd)) DataPath = std::string(cwd) + "/";
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    if (!Startup_LoadCatalogue()) return Tool_Fail("syncpod: no catalogue in the data folder");
    Startup_LoadArticles();

    Log("* Synchronize Podcast");
    SyncJob job;
    job.CopyOnly = copy ? 1 : 0;
    job.Destination = dest;
    job.Files = SyncPod_CollectFiles();
    if (job.Files.empty()) {
        Log("! No podcast file found !");
        FlushLog();
        return Tool_Fail("syncpod: Aucun fichier à synchroniser !");
    }
    SyncPod_Work(job);
    SyncPod_LogResult(job);
    FlushLog();
    std::printf("files %zu\ncopied %d\nalready %d\nnotfound %d\ncopyerrors %d\ndeleted %d\n"
                "deleteerrors %d\n",
                job.Files.size(), job.Copied, job.AlreadyPresent, job.NotFound, job.CopyErrors,
                job.Deleted, job.DeleteErrors);
    return job.CopyErrors || job.DeleteErrors ? 1 : 0;
}

static ToolCommand
    reg("syncpod",
        "syncpod --data DIR --to FOLDER [--copy]   copy or synchronise podcasts onto FOLDER",
        &SyncPod);

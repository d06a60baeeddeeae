// orvalis-tool syncstate save --data DIR: writes DIR's read-state file into its shared
// folder, with DIR's preferences.
// orvalis-tool syncstate scan --data DIR: reads the shared folder's state files into DIR's
// articles, prints how many articles changed and saves the articles.
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "audio/core/SyncReaded.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/core/DataLoad.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "tool/ToolCommand.h"

static int SyncStateCmd(const std::vector<std::string>& args) {
    const char* usage = "usage: syncstate save|scan --data DIR";
    if (args.size() != 3 || args[1] != "--data" || (args[0] != "save" && args[0] != "scan"))
        return Tool_Fail(usage, 2);
    const std::string& dir = args[2];
    if (!Dir_Exists(dir) || !Dir_SetCurrent(dir))
        return Tool_Fail("syncstate: no data folder " + dir, 2);
    DataPath = Dir_Current() + "/";
    Log_SetFile("Orvalis.Log");
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    Pref_ApplyToCore();
    if (!(PrefFlags & PREF_SYNCREADEDFEED)) {
        FlushLog();
        return Tool_Fail("syncstate: the read-state synchronisation is off in " + dir);
    }
    if (!Startup_LoadCatalogue()) {
        FlushLog();
        return Tool_Fail(std::string("syncstate: no catalogue ") + CATALOGUE_FILE + " in " + dir);
    }
    SyncReaded_Link();
    Startup_LoadArticles();
    int status = 0;
    if (args[0] == "save") {
        if (!SyncReaded_Save()) status = Tool_Fail("syncstate: the state file was not written");
    } else {
        const int changed = SyncReaded_Scan(0);
        std::printf("%d items changed\n", changed);
        if (Feed_Save() > 0) status = Tool_Fail("syncstate: the articles could not be saved");
    }
    FlushLog();
    return status;
}

static ToolCommand reg("syncstate",
                       "syncstate save|scan --data DIR   write this folder's read states to the "
                       "shared folder, or take the others' into its articles",
                       &SyncStateCmd);

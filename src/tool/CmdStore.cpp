// orvalis-tool store --data DIR: loads a data folder as start-up does (the catalogue, the
// older XML store, every article file), marks every feed changed and saves as the exit
// sequence does (article files, clean-up of the older store and of orphan files, the
// catalogue).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/ItemsXml.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/AppState.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/core/DataLoad.h"
#include "tool/ToolCommand.h"

// The error lines the run logged, for standard error.
static void PrintLoggedErrors() {
    const std::string text = Log_Text();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("! ", 0) == 0) std::fprintf(stderr, "orvalis-tool: %s\n", line.c_str());
        pos = end + 1;
    }
}

static int StoreCmd(const std::vector<std::string>& args) {
    std::string dir;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else
            return Tool_Fail("usage: store --data DIR", 2);
    }
    if (dir.empty()) return Tool_Fail("usage: store --data DIR", 2);
    if (!Dir_Exists(dir)) return Tool_Fail("no such data folder: " + dir);
    if (!Dir_SetCurrent(dir)) return Tool_Fail("cannot enter the data folder: " + dir);
    // The log stays in memory: this command must not grow the user's log file.
    Log_SetFile("/dev/null");

    // The one preference the loading depends on (the preferences module reads the rest).
    IniReader prefs;
    if (prefs.Open("Orvalis.ini"))
        Catalogue_Settings().MaxRss = std::clamp(prefs.ReadLong("MaxRss", 150), 1, 400);

    if (!Startup_LoadCatalogue()) {
        // Without a catalogue every article file would look orphan: touch nothing.
        PrintLoggedErrors();
        return Tool_Fail(std::string("no catalogue in ") + dir + " (" + CATALOGUE_FILE + ")");
    }
    Startup_LoadArticles();

    for (Rss& feed : RssList)
        feed.ItemsChanged = 1;
    AppState_Set(APPSTATE_ITEMS_TO_SAVE);
    int status = 0;
    if (const int failed = Feed_Save(); failed > 0) {
        std::fprintf(stderr, "orvalis-tool: %d article files could not be written\n", failed);
        status = 1;
    }
    Feed_CleanFiles();
    if (!RssList_DirectSave(CATALOGUE_FILE)) {
        std::fprintf(stderr, "orvalis-tool: cannot write %s\n", CATALOGUE_FILE);
        status = 1;
    }
    if (status) PrintLoggedErrors();
    return status;
}

static ToolCommand
    reg("store", "store --data DIR   load a data folder's articles and save them back", &StoreCmd);

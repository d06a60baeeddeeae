// orvalis-tool config save --data DIR OUT [--with-articles]: writes the data folder's
// configuration to OUT (".OVC" or ".OVCZ" by its extension).
// orvalis-tool config load --data DIR IN: loads IN into the data folder as the program's
// load does, without questions, then saves the preferences, the catalogue and the
// articles as the exit sequence does. Exit 1 with nothing changed when the file is
// refused.
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/core/ConfigFile.h"
#include "shell/core/ConfigZip.h"
#include "shell/core/DataLoad.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "tool/ToolCommand.h"

namespace {
const char* kUsage =
    "usage: config save --data DIR OUT [--with-articles] | config load --data DIR IN";

std::string Absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX] = {};
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + path : path;
}

// The error lines logged by the run, for standard error.
void PrintLoggedErrors() {
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

bool EnterDataFolder(const std::string& dir) {
    if (!Dir_Exists(dir) || ::chdir(dir.c_str()) != 0) return false;
    char cwd[PATH_MAX] = {};
    if (::getcwd(cwd, sizeof cwd)) DataPath = std::string(cwd) + "/";
    // The log stays in memory: the data folder must hold nothing the command did not ask.
    Log_SetFile("/dev/null");
    return true;
}

void LoadDataFolder() {
    Startup_FillPrefEnvironment();
    Pref_Charge("Orvalis.ini", 0);
    Pref_ApplyToCore();
    Startup_LoadCatalogue();
    Startup_LoadArticles();
}

int Save(const std::string& dir, const std::string& outArg, bool withArticles) {
    const std::string out = Absolute(outArg);
    if (!EnterDataFolder(dir)) return Tool_Fail("config: no data folder " + dir, 2);
    int ok = 0;
    if (EndsWithNoCase(out, ".OVCZ")) {
        ok = ConfigZip_SaveTo(out, withArticles ? 1 : 0);
    } else if (EndsWithNoCase(out, ".OVC")) {
        LoadDataFolder();
        ok = ConfigSave_To(out);
    } else {
        return Tool_Fail("config: the file name must end in .OVC or .OVCZ: " + outArg, 2);
    }
    if (!ok) {
        PrintLoggedErrors();
        return Tool_Fail("config: " + outArg + " not written");
    }
    return 0;
}

int Load(const std::string& dir, const std::string& inArg) {
    const std::string in = Absolute(inArg);
    if (!EnterDataFolder(dir)) return Tool_Fail("config: no data folder " + dir, 2);
    // The file is read and checked whole before the data folder is even loaded.
    ConfigContent content;
    int read = 0;
    if (EndsWithNoCase(in, ".OVCZ"))
        read = ConfigZip_Read(in, 1, content);
    else if (EndsWithNoCase(in, ".OVC"))
        read = ConfigLoad_Read(in, content);
    else
        return Tool_Fail("config: the file name must end in .OVC or .OVCZ: " + inArg, 2);
    if (!read) {
        PrintLoggedErrors();
        return Tool_Fail("config: " + inArg + " refused, nothing changed");
    }
    LoadDataFolder();
    if (!Config_Apply(content)) {
        PrintLoggedErrors();
        return Tool_Fail("config: " + inArg + " not loaded, nothing changed");
    }
    int status = 0;
    if (!RssList_DirectSave(CATALOGUE_FILE)) status = 1;
    if (Feed_Save() > 0) status = 1;
    Feed_CleanFiles();
    if (!Pref_Save(1)) status = 1;
    if (status) {
        PrintLoggedErrors();
        return Tool_Fail("config: the loaded configuration could not be saved whole");
    }
    return 0;
}

int ConfigCmd(const std::vector<std::string>& args) {
    if (args.empty()) return Tool_Fail(kUsage, 2);
    std::string dir, file;
    bool withArticles = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size())
            dir = args[++i];
        else if (args[i] == "--with-articles")
            withArticles = true;
        else if (file.empty() && !args[i].empty() && args[i][0] != '-')
            file = args[i];
        else
            return Tool_Fail(kUsage, 2);
    }
    if (dir.empty() || file.empty()) return Tool_Fail(kUsage, 2);
    if (args[0] == "save") return Save(dir, file, withArticles);
    if (args[0] == "load" && !withArticles) return Load(dir, file);
    return Tool_Fail(kUsage, 2);
}
} // namespace

static ToolCommand reg("config",
                       "config save --data DIR OUT [--with-articles] | config load --data DIR IN"
                       "   write or load a configuration file (.OVC, .OVCZ)",
                       &ConfigCmd);

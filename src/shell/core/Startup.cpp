#include "shell/core/Startup.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/core/SystemInfo.h"

static std::string g_programFile;
static std::string g_startFolder;

static std::string CurrentFolder() {
    std::string s = Dir_Current();
    if (s.empty() || s.back() != '/') s.push_back('/');
    return s;
}

std::string Startup_AbsoluteParam(const std::string& param) {
    if (param.empty() || Path_IsAbsolute(param)) return param;
    if (g_startFolder.empty()) g_startFolder = CurrentFolder();
    return g_startFolder + param;
}

void Startup_SetProgramFile(const std::string& programFile) {
    if (g_startFolder.empty()) g_startFolder = CurrentFolder();
    std::string file = programFile;
    const std::string resolved = Path_Real(programFile);
    if (!resolved.empty())
        file = resolved;
    else if (!file.empty() && !Path_IsAbsolute(file))
        file = CurrentFolder() + file;
    g_programFile = file;
    AppPath = ParentFolder(file);
    if (AppPath.empty()) AppPath = CurrentFolder();
    PlugInPath = AppPath + "PlugIn/";
    PathTools_SetAppPath(AppPath);
    const size_t slash = file.find_last_of('/');
    const std::string name = AsciiLower(slash == std::string::npos ? file : file.substr(slash + 1));
    if (name.find("-portable") != std::string::npos) {
        CheckUsbClose = 1;
        PortableMode = 1;
    }
}

const std::string& Startup_ProgramFile() {
    return g_programFile;
}

int ParseCommandLine(const std::vector<std::string>& params, std::string* errorText) {
    if (g_startFolder.empty()) g_startFolder = CurrentFolder();
    for (const std::string& p : params) {
        const std::string low = Utf8Lower(p);
        if (low == "-dbbasemode") {
            DBBaseMode = 1;
            ConvertMode = 1;
        } else if (low == "-convertmode") {
            ConvertMode = 1;
        } else if (low == "-checkusbclose") {
            CheckUsbClose = 1;
        } else if (low == "-portable") {
            PortableMode = 1;
        } else if (low == "-nosavexml") {
            NoSaveItems = 1;
        } else if (EndsWithNoCase(p, ".opml")) {
            // The data folder becomes the current folder below: a relative name must keep
            // meaning the file the user named.
            StartOpmlFile = Startup_AbsoluteParam(p);
        }
    }
    if (PortableMode) {
        AppName = "Orvalis-Portable";
        DataPath = AppPath;
        DefaultPath = DataPath + "OPML/";
    } else {
        AppName = "Orvalis";
        DefaultPath = GetMyDocumentsFolder() + "OPML/";
        DataPath = GetSpecialFolder(CSIDL_APPDATA) + "QuenbelS/Orvalis/";
        if (!CheckDirectory(DataPath, 1, 1)) {
            if (errorText) *errorText = DataPath;
            return 0;
        }
    }
    if (!Dir_SetCurrent(DataPath)) {
        if (errorText) *errorText = DataPath;
        return 0;
    }
    TmpPagePath = "Orvalis-Tmp.htm";
    ThreadTmpPagePath = "Orvalis-ThreadTmp.htm";
    return 1;
}

std::string Startup_Text(LngEntry entry, std::string_view french, std::string_view s1) {
    std::string t = Lng(entry, s1);
    if (!t.empty()) return t;
    t = ReplaceAllNoCase(french, "%w%", "\r\n");
    return ReplaceAllNoCase(t, "%s1%", s1);
}

static long long ModifiedTime(const std::string& path) {
    return File_ModifiedTime(path);
}

void InstallDefaultData(
    const std::function<int(const std::string&, const std::string&)>& askYesNo) {
    const std::string bank = "OrvalisU.Dat";
    const std::string shipped = AppPath + bank;
    const std::string here = DataPath + bank;
    if (shipped != here && (!File_Exists(here) || ModifiedTime(shipped) > ModifiedTime(here))) {
        std::string bytes;
        if (File_ReadAll(shipped, bytes) && File_WriteAtomic(here, bytes))
            Log("- Copy DBase :" + bank);
        else
            Log("! Error, can't copy DBase : " + bank);
    }
    const std::string initial = AppPath + "DefaultListRSS.Ini";
    if (RssList.Empty() && File_Size(initial) > 0 && askYesNo &&
        askYesNo(
            Startup_Text(L_Request_Info, "Info"),
            Startup_Text(L_Request_NoRssInListCopy,
                         "Aucun flux n'est présent. Voulez-vous utiliser le fichier initial ?"))) {
        std::string bytes;
        if (File_ReadAll(initial, bytes) && File_WriteAtomic(CATALOGUE_FILE, bytes))
            RssList_Load(CATALOGUE_FILE);
        else
            Log("! Error, can't copy DefaultListRSS.Ini");
    }
}

std::string Startup_FormatNow(const std::string& mask) {
    const time_t now = time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
    auto two = [](int v) {
        std::string s = std::to_string(v % 100);
        return s.size() < 2 ? "0" + s : s;
    };
    std::string out;
    for (size_t i = 0; i < mask.size();) {
        auto at = [&](const char* tok) { return mask.compare(i, std::strlen(tok), tok) == 0; };
        if (at("%yyyy")) {
            out += std::to_string(t.tm_year + 1900);
            i += 5;
        } else if (at("%yy")) {
            out += two(t.tm_year + 1900);
            i += 3;
        } else if (at("%mm")) {
            out += two(t.tm_mon + 1);
            i += 3;
        } else if (at("%dd")) {
            out += two(t.tm_mday);
            i += 3;
        } else if (at("%hh")) {
            out += two(t.tm_hour);
            i += 3;
        } else if (at("%ii")) {
            out += two(t.tm_min);
            i += 3;
        } else if (at("%ss")) {
            out += two(t.tm_sec);
            i += 3;
        } else {
            out += mask[i++];
        }
    }
    return out;
}

void Startup_WriteLogHeader(const std::string& podcastPath) {
    Log("Orvalis " ORVALIS_VERSION " Unicode", 0, 1);
    Log(Startup_FormatNow("Start the %dd/%mm/%yyyy at %hh:%ii"), 0, 1);
    if (PortableMode) Log("Use in Portable Mode", 0, 1);
    if (CheckUsbClose) Log("Close if remove, ex: USB Drive, main executable", 0, 1);
    Log("OS : " + WindowsVersionName(), 0, 1);
    Log("Application Path = " + AppPath, 0, 1);
    Log("Current Path = " + CurrentFolder(), 0, 1);
    Log("Podcast Path = " + podcastPath, 0, 1);
    Log("PlugIn Path = " + PlugInPath, 0, 1);
    Log("Default Path = " + DefaultPath, 0, 1);
}

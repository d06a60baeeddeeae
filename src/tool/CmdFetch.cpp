// orvalis-tool fetch: one download through the list of download methods, with the
// log lines of the download on standard error.
#include <cstdio>

#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"
#include "update/net/DownloadTool.h"

// The download settings of a data folder's preferences file (defaults for what is absent).
static bool ReadSettings(const std::string& dir, DownloadSettings& s) {
    IniReader ini;
    if (!ini.Open(dir + "/Orvalis.ini")) return false;
    s.DownloadPriority = ini.ReadString("DownloadPriority", s.DownloadPriority);
    s.NetAgent = ini.ReadString("NetAgent", s.NetAgent);
    s.ProxyHost = ini.ReadString("ProxyHost", s.ProxyHost);
    s.ProxyPort = ini.ReadLong("ProxyPort", s.ProxyPort);
    s.ProxyID = ini.ReadString("ProxyID", s.ProxyID);
    // The password is stored as Base64 of its UTF-16LE bytes.
    s.ProxyPassWord = Utf16LEBytesToUtf8(Base64Decode(ini.ReadString("ProxyPassWord")));
    s.UseProxy = ini.ReadFlag("UseProxy", s.UseProxy);
    return true;
}

static int Fetch(const std::vector<std::string>& args) {
    std::string url, file, methods, dataDir;
    bool haveMethods = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--methods" && i + 1 < args.size()) {
            methods = args[++i];
            haveMethods = true;
        } else if (args[i] == "--data" && i + 1 < args.size()) {
            dataDir = args[++i];
        } else if (!args[i].empty() && args[i].rfind("--", 0) == 0) {
            return Tool_Fail("fetch: unknown option " + args[i], 2);
        } else if (url.empty()) {
            url = args[i];
        } else if (file.empty()) {
            file = args[i];
        } else {
            return Tool_Fail("fetch: too many arguments", 2);
        }
    }
    if (url.empty() || file.empty()) return Tool_Fail("fetch: URL and FILE are needed", 2);
    DownloadSettings settings;
    if (!dataDir.empty() && !ReadSettings(dataDir, settings))
        return Tool_Fail("fetch: cannot read " + dataDir + "/Orvalis.ini", 2);
    if (haveMethods) settings.DownloadPriority = methods;
    Download_SetSettings(settings);
    if (!Network_Init()) return Tool_Fail("fetch: the network layer cannot be initialised");

    const size_t before = Log_Text().size();
    const int ok = DownloadFile(url, file, 0, 0, settings);
    const std::string text = Log_Text();
    const std::string lines =
        ReplaceAll(text.size() >= before ? text.substr(before) : text, "\r\n", "\n");
    std::fwrite(lines.data(), 1, lines.size(), stderr);
    return ok ? 0 : 1;
}

static ToolCommand reg("fetch", "fetch URL FILE [--methods \"WinINet;API;PureHttp;\"] [--data DIR]",
                       &Fetch);

// orvalis-tool feedinfo URL: what adding a feed learns from its document, one
// "Key = value" line per field, with the log lines of the download on standard error.
#include <cstdio>

#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"
#include "update/core/XmlDownload.h"

static int FeedInfo(const std::vector<std::string>& args) {
    std::string url;
    DownloadSettings settings;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--methods" && i + 1 < args.size())
            settings.DownloadPriority = args[++i];
        else if (!args[i].empty() && args[i].rfind("--", 0) == 0)
            return Tool_Fail("feedinfo: unknown option " + args[i], 2);
        else if (url.empty())
            url = args[i];
        else
            return Tool_Fail("feedinfo: too many arguments", 2);
    }
    if (url.empty()) return Tool_Fail("feedinfo: URL is needed", 2);
    if (!Network_Init()) return Tool_Fail("feedinfo: the network layer cannot be initialised");
    TimeZoneOffset = GetLocalOffsetTimeZone();

    // The page file is the program's temporary file: do not leave one behind here.
    const bool hadTmp = File_Exists(RssInfo_TmpPagePath);
    Rss feed;
    const int result = GetRssInfoFromURL(url, feed, 1, 0, 0, settings);
    if (!hadTmp) File_Delete(RssInfo_TmpPagePath);
    const std::string lines = ReplaceAll(Log_Text(), "\r\n", "\n");
    std::fwrite(lines.data(), 1, lines.size(), stderr);
    if (result == 0) return 1;
    std::printf("Result = %d\n", result);
    std::printf("Url = %s\n", feed.Url.c_str());
    std::printf("ExtractAs = %s\n", feed.ExtractAs.c_str());
    std::printf("Name = %s\n", feed.Name.c_str());
    std::printf("Language = %s\n", feed.Language.c_str());
    std::printf("Description = %s\n", feed.Description.c_str());
    std::printf("LastBuildDate = %s\n", FormatItemDate(feed.LastBuildDate, 9).c_str());
    std::printf("Interval = %d\n", feed.Interval);
    return 0;
}

static ToolCommand reg("feedinfo", "feedinfo URL [--methods \"WinINet;API;PureHttp;\"]", &FeedInfo);

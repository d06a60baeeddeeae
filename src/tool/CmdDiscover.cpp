// orvalis-tool discover URL [--filtered]: the feeds and radios linked from a page, one JSON
// object a line in page order. orvalis-tool feedurl TEXT: a typed address as the new-feed
// window makes it a feed address.
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "discovery/core/Discovery.h"
#include "discovery/core/FeedUrl.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "tool/ToolCommand.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"

static int Discover(const std::vector<std::string>& args) {
    std::string url;
    bool filtered = false;
    int parallel = DISCOVERY_PARALLEL;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--filtered")
            filtered = true;
        else if (args[i] == "--parallel" && i + 1 < args.size())
            parallel = std::max(1, std::atoi(args[++i].c_str()));
        else if (url.empty() && args[i].rfind("--", 0) != 0)
            url = args[i];
        else
            return Tool_Fail("usage: discover URL [--filtered]", 2);
    }
    if (url.empty()) return Tool_Fail("usage: discover URL [--filtered]", 2);
    Log_SetFile("/dev/null");
    if (!Network_Init()) return Tool_Fail("discover: the network layer cannot be initialised");
    TimeZoneOffset = GetLocalOffsetTimeZone();
    url = NormalizeUrl(url);
    Log("* User_ImportRssOfURL() " + url);
    const std::string needed = Pref.NeededWordInURL.empty()
                                   ? "atom;feed;new;php;pod;podcast;rss;tune;xml;"
                                   : Pref.NeededWordInURL;
    CursorList<Rss> found;
    const int status = Discovery_FindFeeds(
        url, filtered ? Discovery_FilterWords(needed) : std::vector<std::string>{}, parallel,
        Download_GetSettings(), {}, found);
    if (status == DISCOVERY_DOWNLOAD_ERROR) return Tool_Fail(Lng(L_Msg_FileDownloadError));
    if (status == DISCOVERY_READ_ERROR) return Tool_Fail(Lng(L_Msg_FileReadError));
    for (const Rss& f : found) {
        nlohmann::ordered_json j;
        j["Url"] = f.Url;
        j["ExtractAs"] = f.ExtractAs;
        j["Name"] = f.Name;
        j["Language"] = f.Language;
        const std::string line =
            j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

static int FeedUrl(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: feedurl TEXT", 2);
    Log_SetFile("/dev/null");
    Network_Init();
    std::printf("%s\n", ConvertVideoUrl(NormalizeUrl(args[0])).c_str());
    return 0;
}

static ToolCommand reg("discover",
                       "discover URL [--filtered] [--parallel N]   feeds linked from a page",
                       &Discover);
static ToolCommand regUrl("feedurl", "feedurl TEXT   a typed address made a feed address",
                          &FeedUrl);

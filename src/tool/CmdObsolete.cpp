// orvalis-tool obsolete --data DIR: the feeds of the folder's catalogue that the search
// for obsolete feeds would offer, one name and address a line (tab between them).
#include <cstdio>
#include <string>
#include <vector>

#include "discovery/core/BankExchange.h"
#include "discovery/core/Discovery.h"
#include "shell/base/Log.h"
#include "tool/ToolCommand.h"

#include "tool/DataFolder.h"

static int Obsolete(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "--data") return Tool_Fail("usage: obsolete --data DIR", 2);
    Log_SetFile("/dev/null");
    std::string error;
    if (!EnterDataFolder(args[1], error)) return Tool_Fail(error);
    const CursorList<Rss> dead =
        FindObsoleteFeeds(DISCOVERY_PARALLEL, Download_GetSettings(), {}, {});
    for (const Rss& f : dead)
        std::printf("%s\t%s\n", f.Name.c_str(), f.Url.c_str());
    return 0;
}

static ToolCommand reg("obsolete", "obsolete --data DIR   the feeds that no longer work",
                       &Obsolete);

// The download layer and the discovery checks as the feed-bank fuzz target sees them:
// nothing is ever downloaded or checked, so the target links without the network code.
// The readers under test only ask for the document bound.
#include "discovery/core/Discovery.h"
#include "discovery/core/OpmlExchange.h"
#include "update/net/DownloadTool.h"

DownloadSettings Download_GetSettings() {
    return DownloadSettings{};
}

bool Network_Init() {
    return false;
}

int DownloadFile(const std::string&, const std::string&, uint32_t, int64_t, const DownloadSettings&,
                 int64_t) {
    return 0;
}

std::vector<FeedProbe> Discovery_CheckAll(const std::vector<std::string>&, int,
                                          const DownloadSettings&,
                                          const std::function<bool(int, int, int)>&) {
    return {};
}

int DropKnownFeeds(CursorList<Rss>&) {
    return 0;
}

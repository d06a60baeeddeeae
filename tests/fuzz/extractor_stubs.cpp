// The download layer as the extractor-output fuzz target sees it: nothing is ever
// downloaded and no thread is ever asked to stop, so the target links without the
// network code.
#include "update/net/DownloadTool.h"

std::mutex ThreadStopMaskLock;
uint32_t ThreadStopMask = 0;

uint32_t IsThreadKilled(uint32_t) {
    return 0;
}

DownloadSettings Download_GetSettings() {
    return DownloadSettings{};
}

int DownloadFile(const std::string&, const std::string&, uint32_t, int64_t, const DownloadSettings&,
                 int64_t) {
    return 0;
}

// The thread stop mask (declared in DownloadTool.h), kept apart from the download methods:
// the feed readers test it between items, and a program that only reads feeds (the
// tool's "parse") then links no network library.
#include <mutex>

#include "update/net/DownloadTool.h"

std::mutex ThreadStopMaskLock;
uint32_t ThreadStopMask = 0;

void ThreadStopMask_Set(uint32_t mask) {
    std::lock_guard<std::mutex> lock(ThreadStopMaskLock);
    ThreadStopMask = mask;
}

uint32_t IsThreadKilled(uint32_t bit) {
    std::lock_guard<std::mutex> lock(ThreadStopMaskLock);
    return ThreadStopMask & bit;
}

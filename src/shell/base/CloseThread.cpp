#include "shell/base/CloseThread.h"

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "shell/base/AppPaths.h"

namespace {
struct Worker {
    const char* Name;
    std::function<bool()> Running;
    std::function<void()> AfterStop;
};
std::mutex g_lock;
std::map<uint32_t, Worker> g_workers;
std::function<void(uint32_t)> g_writer;
uint32_t g_mask = 0;

void WriteMask(uint32_t mask) {
    std::function<void(uint32_t)> writer;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_mask = mask;
        writer = g_writer;
    }
    if (writer) writer(mask);
}

uint32_t StillRunning(uint32_t mask) {
    std::map<uint32_t, Worker> workers;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        workers = g_workers;
    }
    uint32_t running = 0;
    for (const auto& [bit, w] : workers)
        if ((mask & bit) && w.Running && w.Running()) running |= bit;
    return running;
}
} // namespace

void CloseThread_Register(uint32_t bit, const char* name, std::function<bool()> running,
                          std::function<void()> afterStop) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_workers[bit] = Worker{name, std::move(running), std::move(afterStop)};
}

void CloseThread_SetMaskWriter(std::function<void(uint32_t)> writer) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_writer = std::move(writer);
}

uint32_t CloseThread_StopMask() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_mask;
}

uint32_t CloseThread(uint32_t mask) {
    Log("* CloseThread( " + std::to_string(static_cast<int32_t>(mask)) + " )");
    WriteMask(mask);
    uint32_t running = StillRunning(mask);
    for (int i = 0; i < 300 && running; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        running = StillRunning(mask);
    }
    std::map<uint32_t, Worker> workers;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        workers = g_workers;
    }
    for (const auto& [bit, w] : workers) {
        if (!(mask & bit)) continue;
        if (running & bit)
            Log(std::string("! Thread still running after 3 s, left to end: ") + w.Name);
        else if (w.AfterStop)
            w.AfterStop();
    }
    if (mask & WORKER_FEED_UPDATE) File_Delete(ThreadTmpPagePath);
    // A thread that has not ended yet keeps its stop bit, so it still gives up at its next
    // test; the others may be started again.
    WriteMask(running);
    return running;
}

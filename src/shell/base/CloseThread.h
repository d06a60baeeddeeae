// Stopping the worker threads at exit (and when a job is cancelled). Threads are asked to
// stop through their bit in the stop mask and waited for a bounded time; a thread is
// never killed: every blocking call of a worker tests its bit and gives up.
#pragma once
#include <cstdint>
#include <functional>

// Worker bits: 1 feed update, 2 podcast download, 8 article page.
enum : uint32_t {
    WORKER_FEED_UPDATE = 1,
    WORKER_PODCAST_DOWNLOAD = 2,
    WORKER_ARTICLE_PAGE = 8,
};

// A worker module declares how to tell whether its thread still runs (and, optionally,
// what to do once it has stopped, e.g. join it). Re-registering a bit replaces it.
void CloseThread_Register(uint32_t bit, const char* name, std::function<bool()> running,
                          std::function<void()> afterStop = {});
// How the stop mask is written (the download layer owns the mask and its lock); without
// a writer CloseThread keeps its own copy, readable with CloseThread_StopMask().
void CloseThread_SetMaskWriter(std::function<void(uint32_t)> writer);
uint32_t CloseThread_StopMask();

// Asks the threads named by `mask` (-1: all) to stop and waits up to 300 pauses of 10 ms
// for them. For bit 1 the thread's temporary page is deleted afterwards. A thread still
// running after the wait is logged, keeps its stop bit and is left to end on its own;
// the other bits are cleared. Returns the bits of the threads still running.
uint32_t CloseThread(uint32_t mask);

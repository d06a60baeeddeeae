#include "update/worker/FeedThread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <list>
#include <system_error>
#include <thread>
#include <utility>

#include "access/core/ScreenReaderSay.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/SignalStack.h"
#include "platform/core/Text.h"
#include "plugins/core/RunExtractor.h"
#include "shell/base/AppState.h"
#include "shell/base/CloseThread.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/base/AppPaths.h"
#include "update/net/DownloadTool.h"
#include "update/core/FeedParse.h"
#include "update/worker/Notifications.h"
#include "update/core/XmlDownload.h"

std::recursive_mutex FeedThreadLock;
CursorList<DownloadEntry> DownloadQueue;

namespace {
// The workers: one slot per possible thread. A slot is free when its thread is neither
// running nor waiting to be joined. `Running` is cleared by the worker as its very last
// step that touches shared data, after which the interface thread may join it.
// Never destroyed: a worker left running by a stop at exit must not end the process
// through a joinable thread's destructor.
struct WorkerSlot {
    std::thread Thread;
    std::atomic<bool> Running{false};
};
WorkerSlot* const g_slots = new WorkerSlot[UPDATE_WORKERS_MAX];
// Guards the slots' thread objects (started and joined on the interface thread, joined
// also by CloseThread's after-stop step).
std::mutex g_slotsLock;
uint64_t g_nextSerial = 0;
uint64_t g_endCounter = 0; // under FeedThreadLock
std::once_flag g_initOnce;

// The wake-up: a worker that ends asks for a tick at once rather than at the next timer.
std::mutex g_wakeLock;
std::condition_variable g_wakeCondition;
bool g_wakeSignalled = false;          // under g_wakeLock, for FeedThread_WaitForWake
std::atomic<bool> g_wakePosted{false}; // a wake-up is on its way to the interface
std::function<void()> g_wakeHook;      // under g_wakeLock

const char* const OBSOLETE_GROUP = "Obsolète";

Rss* FindFeed(int32_t rssID) {
    for (Rss& r : RssList)
        if (r.RssID == rssID) return &r;
    return nullptr;
}

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool AnyWorkerRunning() {
    for (int i = 0; i < UPDATE_WORKERS_MAX; ++i)
        if (g_slots[i].Running.load()) return true;
    return false;
}

// Joins the workers that have ended. Once none runs, a stop bit left behind no longer
// has a thread to stop, so it is cleared for the next workers.
void ReapWorkers() {
    std::lock_guard<std::mutex> lock(g_slotsLock);
    bool running = false;
    for (int i = 0; i < UPDATE_WORKERS_MAX; ++i) {
        WorkerSlot& slot = g_slots[i];
        if (slot.Running.load())
            running = true;
        else if (slot.Thread.joinable())
            slot.Thread.join();
    }
    if (!running && IsThreadKilled(WORKER_FEED_UPDATE)) {
        std::lock_guard<std::mutex> maskLock(ThreadStopMaskLock);
        ThreadStopMask &= ~static_cast<uint32_t>(WORKER_FEED_UPDATE);
    }
}

// After a stop: the ended workers are joined and the page files of the extra workers go
// the way CloseThread sends the first one's.
void AfterStop() {
    ReapWorkers();
    for (int i = 1; i < UPDATE_WORKERS_MAX; ++i)
        if (!g_slots[i].Running.load()) File_Delete(FeedThread_PageFile(i));
}

// Called by a worker as it ends: wakes FeedThread_WaitForWake and, once per tick, the
// interface.
// The hook is called under the wake lock, so that once FeedThread_SetWake({}) returned
// no call of the former hook is still under way.
void WakeInterface() {
    {
        std::lock_guard<std::mutex> lock(g_wakeLock);
        g_wakeSignalled = true;
        if (!g_wakePosted.exchange(true) && g_wakeHook) g_wakeHook();
    }
    g_wakeCondition.notify_all();
}

DownloadEntry* FindBySerial(uint64_t serial) {
    for (DownloadEntry& e : DownloadQueue.Raw())
        if (e.Serial == serial && e.InProgress) return &e;
    return nullptr;
}

// The entries in progress always lead the queue: workers start on the first waiting
// entry, new entries are never placed before one in progress, and merges only remove.
size_t InProgressCount(const std::list<DownloadEntry>& queue) {
    size_t k = 0;
    for (const DownloadEntry& e : queue) {
        if (!e.InProgress) break;
        ++k;
    }
    return k;
}

void Say(const std::string& text, int interrupt) {
    const auto& say = FeedThread_Hooks().Say;
    if (say)
        say(text, interrupt);
    else
        ScreenReader_Say(text, interrupt);
}

void Refresh() {
    if (FeedThread_Hooks().Refresh) FeedThread_Hooks().Refresh();
}
} // namespace

FeedThreadHooks& FeedThread_Hooks() {
    static FeedThreadHooks hooks;
    return hooks;
}

void FeedThread_Init() {
    std::call_once(g_initOnce, [] {
        CloseThread_SetMaskWriter([](uint32_t mask) { ThreadStopMask_Set(mask); });
        CloseThread_Register(WORKER_FEED_UPDATE, "DownloadRSS", &AnyWorkerRunning, &AfterStop);
    });
}

bool FeedThread_IsRunning() {
    return AnyWorkerRunning();
}

int FeedThread_RunningCount() {
    int n = 0;
    for (int i = 0; i < UPDATE_WORKERS_MAX; ++i)
        if (g_slots[i].Running.load()) ++n;
    return n;
}

std::string FeedThread_PageFile(int worker) {
    if (worker <= 0) return ThreadTmpPagePath;
    const std::string& base = ThreadTmpPagePath;
    const size_t dot = base.rfind('.');
    const size_t slash = base.find_last_of('/');
    const std::string suffix = "-" + std::to_string(worker + 1);
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return base + suffix;
    return base.substr(0, dot) + suffix + base.substr(dot);
}

void FeedThread_SetWake(std::function<void()> wake) {
    std::lock_guard<std::mutex> lock(g_wakeLock);
    g_wakeHook = std::move(wake);
}

bool FeedThread_WaitForWake(int timeoutMs) {
    std::unique_lock<std::mutex> lock(g_wakeLock);
    const bool woken = g_wakeCondition.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                                [] { return g_wakeSignalled; });
    g_wakeSignalled = false;
    return woken;
}

size_t DownloadQueue_Size() {
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    return DownloadQueue.Size();
}

// ---------------------------------------------------------------------------------------
// Queue

void ActualizeFeeds(int all, int onStart) {
    if (all) {
        std::vector<int32_t> ids;
        for (Rss& r : RssList) {
            if (IsArticleFeed(r) && (r.Flags & RSSFLAG_DISABLE)) continue;
            if (onStart && !(r.Flags & RSSFLAG_ACTUALIZE_ON_START))
                r.NextUpdateIn = r.Interval * 60;
            else
                ids.push_back(r.RssID);
        }
        for (int32_t id : ids)
            DownloadRSS_Push(id, 0);
    } else {
        int32_t rssID = 0;
        std::string group;
        if (FeedThread_Hooks().Selection) FeedThread_Hooks().Selection(rssID, group);
        const Rss* selected = rssID ? FindFeed(rssID) : nullptr;
        if (selected) {
            if (IsArticleFeed(*selected)) DownloadRSS_Push(rssID, 1);
        } else if (!group.empty()) {
            std::vector<int32_t> ids;
            for (const Rss& r : RssList)
                if (IsArticleFeed(r) && Utf8Lower(r.Group) == Utf8Lower(group))
                    ids.push_back(r.RssID);
            for (int32_t id : ids)
                DownloadRSS_Push(id, 0);
        }
    }
    if (onStart) AppState_Set(APPSTATE_FIRST_UPDATES);
}

int DownloadRSS_Push(int32_t rssID, int priority) {
    // The catalogue cursor is left where it is: the interface keeps its selection there.
    Rss* feed = FindFeed(rssID);
    if (!feed || !IsArticleFeed(*feed)) return 0;
    if (priority == 0 && Utf8Lower(feed->Group) == Utf8Lower(OBSOLETE_GROUP)) return 0;
    feed->NextUpdateIn = feed->Interval * 60;

    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    auto& queue = DownloadQueue.Raw();
    auto found = queue.end();
    for (auto it = queue.begin(); it != queue.end(); ++it)
        if (it->RssID == rssID) {
            found = it;
            break;
        }
    if (feed->Flags & RSSFLAG_PRIORITY_TO_ACTUALIZE) priority = 2;
    // The entries in progress (one with a single worker) act as the head: nothing is
    // placed before them and they never move. `front` is the first place after them, the
    // second place when none has started yet.
    const size_t front = std::max<size_t>(InProgressCount(queue), 1);

    if (found == queue.end()) {
        size_t pos = queue.size();
        if (priority != 0) {
            pos = queue.empty() ? 0 : front;
        } else if (!feed->ExtractError) {
            size_t i = 0;
            for (auto it = queue.begin(); it != queue.end(); ++it, ++i)
                if (it->ExtractError) {
                    pos = (i < front) ? front : i;
                    break;
                }
        }
        if (pos > queue.size()) pos = queue.size();
        DownloadEntry e;
        e.Name = feed->Name;
        e.RssID = feed->RssID;
        e.ExtractAs = feed->ExtractAs;
        e.Url = feed->Url;
        e.ExtractError = feed->ExtractError;
        e.Notify = priority == 1 ? 1 : 0;
        queue.insert(std::next(queue.begin(), static_cast<long>(pos)), std::move(e));
        Log("- DownloadRSS_Push(" + std::to_string(rssID) + "=" + feed->Name +
            ") pos=" + std::to_string(pos));
    } else if (priority != 0) {
        if (priority == 1) found->Notify = 1;
        const size_t at = static_cast<size_t>(std::distance(queue.begin(), found));
        if (queue.size() >= 2 && at >= front) {
            auto target = std::next(queue.begin(), static_cast<long>(front));
            if (found != target) std::iter_swap(found, target);
            Log("- DownloadRSS_Push( Priority to " + std::to_string(rssID) + "=" + feed->Name +
                ") Pos=" + std::to_string(front));
        }
    }
    return 0;
}

void DownloadRSS_Remove(int32_t rssID) {
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    auto& queue = DownloadQueue.Raw();
    if (queue.empty()) return;
    // The head and the entries in progress stay (their workers own them until the
    // merge); their outcome is no longer announced.
    const size_t front = std::max<size_t>(InProgressCount(queue), 1);
    size_t i = 0;
    for (auto it = queue.begin(); it != queue.end(); ++it, ++i) {
        if (it->RssID != rssID) continue;
        if (i < front) {
            it->Notify = 0;
            continue;
        }
        queue.erase(it);
        return;
    }
}

void StopUpdates() {
    FeedThread_Init();
    CloseThread(WORKER_FEED_UPDATE);
    ReapWorkers();
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    DownloadQueue.Clear();
}

void FeedCountdown() {
    std::vector<int32_t> due;
    for (Rss& r : RssList) {
        if ((r.Flags & RSSFLAG_DISABLE) || !IsArticleFeed(r)) continue;
        if (r.NextUpdateIn > 0)
            --r.NextUpdateIn;
        else
            due.push_back(r.RssID);
    }
    for (int32_t id : due)
        DownloadRSS_Push(id, 0);
}

// ---------------------------------------------------------------------------------------
// The tick

static void MergeEntry(DownloadEntry& entry, std::string& message) {
    const int parsed = Feed_Update(entry, entry.Parsed);
    Rss* feed = FindFeed(entry.RssID);
    if (parsed > 0) {
        if (entry.Notify) {
            message = entry.NewCount > 0
                          ? Lng(L_Msg_FeedRefreshedNew, entry.Name, std::to_string(entry.NewCount))
                          : Lng(L_Msg_FeedRefreshed, entry.Name);
        }
        if (feed) {
            feed->Updated = Items_Now();
            feed->LastBuildDate = entry.FeedDate;
            feed->ExtractError = 0;
        }
        Log(std::to_string(entry.NewCount) + " added, " + std::to_string(entry.UpdatedCount) +
            " updated, of " + std::to_string(parsed) + " extracted in " +
            std::to_string(entry.ExtractTime) + "ms");
    } else {
        // A feed deleted meanwhile is not announced.
        if (entry.Notify && feed) message = Lng(L_Msg_FeedNotRefreshed, entry.Name);
        if (feed) {
            feed->Updated = Items_Now();
            feed->LastBuildDate = entry.FeedDate;
            feed->ExtractError = 1;
        }
        Log("! No feed extracted !");
    }
    Refresh();
    if (feed && feed->NbAutoDownLoadPodCast > 0 && FeedThread_Hooks().PodcastAutoDownload)
        FeedThread_Hooks().PodcastAutoDownload(*feed);
    if (FeedThread_Hooks().FeedDone) FeedThread_Hooks().FeedDone(entry, parsed);
}

// The entry in progress whose worker ended first and has been joined; end() when none.
static std::list<DownloadEntry>::iterator FirstEnded(std::list<DownloadEntry>& queue) {
    auto first = queue.end();
    for (auto it = queue.begin(); it != queue.end() && it->InProgress; ++it) {
        if (!it->EndOrder || it->Worker < 0 || g_slots[it->Worker].Running.load()) continue;
        if (first == queue.end() || it->EndOrder < first->EndOrder) first = it;
    }
    return first;
}

// Starts workers on the first waiting entries while fewer than "UpdateThreads" run.
static void StartWorkers(std::list<DownloadEntry>& queue) {
    // A worker a stop could not end within its wait still has the stop bit: nothing new
    // starts before it has gone (ReapWorkers then withdraws the bit).
    if (IsThreadKilled(WORKER_FEED_UPDATE)) return;
    const int limit = std::clamp<int>(Pref.UpdateThreads, 1, UPDATE_WORKERS_MAX);
    std::lock_guard<std::mutex> slotsLock(g_slotsLock);
    int busy = 0;
    for (int i = 0; i < UPDATE_WORKERS_MAX; ++i)
        if (g_slots[i].Running.load() || g_slots[i].Thread.joinable()) ++busy;
    bool started = false;
    for (auto it = queue.begin(); it != queue.end() && busy < limit; ++it) {
        if (it->InProgress) continue;
        int slot = 0;
        while (g_slots[slot].Running.load() || g_slots[slot].Thread.joinable())
            ++slot;
        DownloadEntry& entry = *it;
        entry.Serial = ++g_nextSerial;
        entry.InProgress = 1;
        entry.Worker = slot;
        entry.EndOrder = 0;
        g_slots[slot].Running = true;
        try {
            g_slots[slot].Thread = std::thread([slot, serial = entry.Serial] {
                DownloadRSS_Guarded(serial);
                try {
                    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
                    if (DownloadEntry* own = FindBySerial(serial)) own->EndOrder = ++g_endCounter;
                } catch (...) {
                }
                g_slots[slot].Running = false;
                WakeInterface();
            });
        } catch (const std::system_error&) {
            g_slots[slot].Running = false;
            entry.InProgress = 0;
            entry.Worker = -1;
            Log("! ExtractFeedByThread, Can't create thread !");
            break;
        }
        ++busy;
        started = true;
        Log("* ExtractFeedByThread=" + std::to_string(entry.Serial) +
            ", RssId=" + std::to_string(entry.RssID) + ", " + entry.Name);
    }
    if (started) Refresh();
}

void ExtractFeedByThread() {
    FeedThread_Init();
    // Wake-ups from now on ask for another tick.
    g_wakePosted = false;
    std::vector<std::string> messages;
    {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        ReapWorkers();
        auto& queue = DownloadQueue.Raw();
        // Merges one at a time, in the order the workers ended.
        for (auto done = FirstEnded(queue); done != queue.end(); done = FirstEnded(queue)) {
            std::string message;
            MergeEntry(*done, message);
            if (!message.empty()) messages.push_back(std::move(message));
            queue.erase(done);
            DownloadQueue.Reset();
        }
        StartWorkers(queue);
        if (queue.empty() && AppState_Test(APPSTATE_FIRST_UPDATES)) {
            if (PrefFlags & PREF_ALARMFINISHFIRSTACTUALIZE) {
                Log("* Finish First Actualize of All RSS");
                Notify(Lng(L_Msg_FinsihFirstActualize), ALARM_FIRST_UPDATE_DONE);
            }
            Feed_Save();
            AppState_Clear(APPSTATE_FIRST_UPDATES);
        }
    }
    // Several outcomes of one tick are spoken one after the other.
    for (size_t i = 0; i < messages.size(); ++i)
        Say(messages[i], i == 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------------------
// The worker

static bool IsDocumentKind(const std::string& kind) {
    return EqualsNoCase(kind, "atom") || EqualsNoCase(kind, "rdf") || EqualsNoCase(kind, "rssv2");
}

int DownloadRSS_Guarded(uint64_t serial) {
    SignalStack signalStack; // a stack overflow here is still reported
    std::string reason;
    try {
        return DownloadRSS(serial);
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    } catch (const std::exception& e) {
        reason = e.what();
    } catch (...) {
        reason = "unknown exception";
    }
    // Whatever the feed left behind is dropped first: the log line needs memory too.
    std::vector<Item>().swap(ParsedItems);
    try {
        std::string name;
        {
            std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
            if (const DownloadEntry* own = FindBySerial(serial)) name = own->Name;
        }
        Log("! Error DownloadRSS, " + reason + ", " + name);
    } catch (...) {
    }
    return 0;
}

int DownloadRSS(uint64_t serial) {
    std::string url, kind, page;
    {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        const DownloadEntry* own = FindBySerial(serial);
        if (!own) return 0;
        url = own->Url;
        kind = own->ExtractAs;
        page = FeedThread_PageFile(own->Worker);
    }
    if (EqualsNoCase(kind, "OV-DailyMotion")) kind = "RssV2";
    // ParsedItems is this thread's own list: each worker reads into its own.
    ParsedItems.clear();
    int32_t feedDate = 0;
    int64_t start = -1;
    if (IsDocumentKind(kind)) {
        std::unique_ptr<XmlDocument> doc = DownloadXml(url, page, 1, "", 0);
        if (!IsUpdateStopped()) {
            start = SteadyMs();
            if (EqualsNoCase(kind, "atom"))
                feedDate = Feed_ReadAtom(doc.get());
            else if (EqualsNoCase(kind, "rdf"))
                feedDate = Feed_ReadRdf(doc.get());
            else
                feedDate = Feed_ReadRssV2(doc.get());
        }
    } else if (!kind.empty()) {
        Extractor_Update(PlugInPath, kind, url, page, start);
    }
    const int32_t extractTime = start >= 0 ? static_cast<int32_t>(SteadyMs() - start) : 0;
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    if (DownloadEntry* own = FindBySerial(serial)) {
        own->ExtractTime = extractTime;
        own->FeedDate = feedDate;
        own->Parsed = std::move(ParsedItems);
    }
    ParsedItems.clear();
    return 0;
}

#include "update/worker/FeedThread.h"

#include <atomic>
#include <chrono>
#include <iterator>
#include <thread>
#include <utility>

#include "access/core/ScreenReaderSay.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
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
// The worker: at most one. `g_running` is cleared by the worker as its very last step,
// after which the main thread may read ParsedItems and join it.
// Never destroyed: a worker left running by a stop at exit must not end the process
// through a joinable thread's destructor.
std::thread& g_thread = *new std::thread;
std::atomic<bool> g_running{false};
uint64_t g_nextSerial = 0;
std::once_flag g_initOnce;

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

// Joins a worker that has ended; a stop bit it left behind no longer has a thread to
// stop, so it is cleared for the next worker.
void ReapWorker() {
    if (g_running.load() || !g_thread.joinable()) return;
    g_thread.join();
    if (IsThreadKilled(WORKER_FEED_UPDATE)) {
        std::lock_guard<std::mutex> lock(ThreadStopMaskLock);
        ThreadStopMask &= ~static_cast<uint32_t>(WORKER_FEED_UPDATE);
    }
}

void Say(const std::string& text) {
    const auto& say = FeedThread_Hooks().Say;
    if (say)
        say(text, 1);
    else
        ScreenReader_Say(text, 1);
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
        CloseThread_Register(
            WORKER_FEED_UPDATE, "DownloadRSS", [] { return g_running.load(); }, &ReapWorker);
    });
}

bool FeedThread_IsRunning() {
    return g_running.load();
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

    if (found == queue.end()) {
        size_t pos = queue.size();
        if (priority != 0) {
            pos = queue.empty() ? 0 : 1;
        } else if (!feed->ExtractError) {
            size_t i = 0;
            for (auto it = queue.begin(); it != queue.end(); ++it, ++i)
                if (it->ExtractError) {
                    pos = (i == 0) ? 1 : i;
                    break;
                }
        }
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
        if (queue.size() >= 2 && found != queue.begin()) {
            auto second = std::next(queue.begin());
            if (found != second) std::iter_swap(found, second);
            Log("- DownloadRSS_Push( Priority to " + std::to_string(rssID) + "=" + feed->Name +
                ") Pos=1");
        }
    }
    return 0;
}

void DownloadRSS_Remove(int32_t rssID) {
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    auto& queue = DownloadQueue.Raw();
    if (queue.empty()) return;
    // The head may be in progress and stays; its outcome is no longer announced.
    if (queue.front().RssID == rssID) queue.front().Notify = 0;
    for (auto it = std::next(queue.begin()); it != queue.end(); ++it)
        if (it->RssID == rssID) {
            queue.erase(it);
            return;
        }
}

void StopUpdates() {
    FeedThread_Init();
    CloseThread(WORKER_FEED_UPDATE);
    ReapWorker();
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

static void MergeHead(DownloadEntry& head, std::string& message) {
    const int parsed = Feed_Update(head, ParsedItems);
    Rss* feed = FindFeed(head.RssID);
    if (parsed > 0) {
        if (head.Notify) {
            message = head.NewCount > 0
                          ? Lng(L_Msg_FeedRefreshedNew, head.Name, std::to_string(head.NewCount))
                          : Lng(L_Msg_FeedRefreshed, head.Name);
        }
        if (feed) {
            feed->Updated = Items_Now();
            feed->LastBuildDate = head.FeedDate;
            feed->ExtractError = 0;
        }
        Log(std::to_string(head.NewCount) + " added, " + std::to_string(head.UpdatedCount) +
            " updated, of " + std::to_string(parsed) + " extracted in " +
            std::to_string(head.ExtractTime) + "ms");
    } else {
        // A feed deleted meanwhile is not announced.
        if (head.Notify && feed) message = Lng(L_Msg_FeedNotRefreshed, head.Name);
        if (feed) {
            feed->Updated = Items_Now();
            feed->LastBuildDate = head.FeedDate;
            feed->ExtractError = 1;
        }
        Log("! No feed extracted !");
    }
    Refresh();
    if (feed && feed->NbAutoDownLoadPodCast > 0 && FeedThread_Hooks().PodcastAutoDownload)
        FeedThread_Hooks().PodcastAutoDownload(*feed);
    if (FeedThread_Hooks().FeedDone) FeedThread_Hooks().FeedDone(head, parsed);
}

void ExtractFeedByThread() {
    FeedThread_Init();
    std::string message;
    {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        ReapWorker();
        auto& queue = DownloadQueue.Raw();
        if (!queue.empty() && !g_running.load() && !g_thread.joinable()) {
            if (queue.front().InProgress) {
                MergeHead(queue.front(), message);
                queue.pop_front();
                DownloadQueue.Reset();
            }
            if (!queue.empty()) {
                DownloadEntry& head = queue.front();
                head.Serial = ++g_nextSerial;
                head.InProgress = 1;
                g_running = true;
                try {
                    g_thread = std::thread([serial = head.Serial] {
                        DownloadRSS_Guarded(serial);
                        g_running = false;
                    });
                    Log("* ExtractFeedByThread=" + std::to_string(head.Serial) +
                        ", RssId=" + std::to_string(head.RssID) + ", " + head.Name);
                    Refresh();
                } catch (const std::system_error&) {
                    g_running = false;
                    head.InProgress = 0;
                    Log("! ExtractFeedByThread, Can't create thread !");
                }
            }
        }
        if (queue.empty() && AppState_Test(APPSTATE_FIRST_UPDATES)) {
            if (PrefFlags & PREF_ALARMFINISHFIRSTACTUALIZE) {
                Log("* Finish First Actualize of All RSS");
                Notify(Lng(L_Msg_FinsihFirstActualize), ALARM_FIRST_UPDATE_DONE);
            }
            Feed_Save();
            AppState_Clear(APPSTATE_FIRST_UPDATES);
        }
    }
    if (!message.empty()) Say(message);
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
            if (!DownloadQueue.Empty() && DownloadQueue.Raw().front().Serial == serial)
                name = DownloadQueue.Raw().front().Name;
        }
        Log("! Error DownloadRSS, " + reason + ", " + name);
    } catch (...) {
    }
    return 0;
}

int DownloadRSS(uint64_t serial) {
    std::string url, kind;
    {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        if (DownloadQueue.Empty() || DownloadQueue.Raw().front().Serial != serial) return 0;
        url = DownloadQueue.Raw().front().Url;
        kind = DownloadQueue.Raw().front().ExtractAs;
    }
    if (EqualsNoCase(kind, "OV-DailyMotion")) kind = "RssV2";
    ParsedItems.clear();
    int32_t feedDate = 0;
    int64_t start = -1;
    if (IsDocumentKind(kind)) {
        std::unique_ptr<XmlDocument> doc = DownloadXml(url, ThreadTmpPagePath, 1, "", 0);
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
        Extractor_Update(PlugInPath, kind, url, ThreadTmpPagePath, start);
    }
    const int32_t extractTime = start >= 0 ? static_cast<int32_t>(SteadyMs() - start) : 0;
    std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
    if (!DownloadQueue.Empty() && DownloadQueue.Raw().front().Serial == serial) {
        DownloadQueue.Raw().front().ExtractTime = extractTime;
        DownloadQueue.Raw().front().FeedDate = feedDate;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// The merge

int Item_Find(CursorList<Item>& list, const Item& item) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        const bool same = item.GUID.empty()
                              ? (it->GUID.empty() && Utf8Lower(it->Title) == Utf8Lower(item.Title))
                              : it->GUID == item.GUID;
        if (same) {
            list.SetCurrent(it);
            return 1;
        }
    }
    return 0;
}

std::string Item_Compare(const Item& before, const Item& after) {
    std::string c;
    if (Utf8Lower(before.Title) != Utf8Lower(after.Title)) c += "T ";
    if (before.Description != after.Description) c += "D ";
    if (before.AudioFileLength != after.AudioFileLength) c += "F ";
    if (before.AudioLink != after.AudioLink) c += "A ";
    if (before.ItunesDuration != after.ItunesDuration) c += "I ";
    return c;
}

int Feed_Update(DownloadEntry& entry, const std::vector<Item>& parsed) {
    Rss* feed = FindFeed(entry.RssID);
    if (!feed || parsed.empty()) return 0;

    // A feed whose stored text comes out of the merge unchanged is not marked for saving,
    // so the automatic save does not rewrite every file after each round of updates.
    const bool wasChanged = feed->ItemsChanged != 0;
    const std::string storedText = wasChanged ? std::string() : Feed_ItemsText(*feed);

    CursorList<Item> oldItems;
    oldItems.Raw().swap(feed->Items.Raw());
    oldItems.Reset();
    feed->Items.Reset();

    for (const Item& p : parsed) {
        if ((feed->Flags & RSSFLAG_REMOVE_DUPLICATE) && Item_Find(feed->Items, p)) continue;
        if (Item_Find(oldItems, p)) {
            Item& o = *oldItems.Current();
            const std::string c = Item_Compare(o, p);
            if (c.empty()) {
                Item kept = std::move(o);
                kept.TypeUpdate = ".";
                kept.Views = p.Views;
                Item_AddTo(*feed, std::move(kept), 1);
            } else {
                Item changed = p;
                changed.FeedID = o.FeedID;
                changed.ID = o.ID;
                changed.CustomAudioFile = o.CustomAudioFile;
                changed.AudioPos = o.AudioPos;
                changed.TypeUpdate = c;
                changed.Readed = o.Readed;
                if (feed->Flags & RSSFLAG_SET_UPDATED_AS_UNREADED) changed.Readed &= ~1;
                Item_AddTo(*feed, std::move(changed), 1);
                ++entry.UpdatedCount;
            }
            oldItems.DeleteCurrent();
        } else {
            Item added = p;
            added.TypeUpdate = "+";
            Item_AddTo(*feed, std::move(added), 1);
            ++entry.NewCount;
        }
    }

    if ((feed->Flags & RSSFLAG_ALARM) && (feed->Updated != 0 || (PrefFlags & PREF_ALARMONSTART)) &&
        (entry.NewCount != 0 ||
         (entry.UpdatedCount != 0 && (feed->Flags & RSSFLAG_SET_UPDATED_AS_UNREADED))))
        Notify(feed->Name, ALARM_NEW_ARTICLES);

    int32_t kept = 0;
    for (Item& o : oldItems) {
        if (kept >= feed->MaxFeed) break;
        Item_AddTo(*feed, std::move(o), 1);
        ++kept;
    }

    const FeedThreadHooks& hooks = FeedThread_Hooks();
    if (feed->NbAutoDownLoadPodCast > 0 && hooks.PodcastFileName && hooks.PodcastQueue) {
        int32_t n = 0;
        for (Item& it : feed->Items) {
            if (n++ >= feed->NbAutoDownLoadPodCast) break;
            const std::string name = hooks.PodcastFileName(*feed, it);
            if (name != it.CustomAudioFile) {
                it.CustomAudioFile = name;
                feed->ItemsChanged = 1;
            }
            hooks.PodcastQueue(*feed, it);
        }
    }
    feed->Items.Reset();
    if (!wasChanged && Feed_ItemsText(*feed) == storedText) feed->ItemsChanged = 0;
    return static_cast<int>(parsed.size());
}

// ---------------------------------------------------------------------------------------

std::string UpdatedSinceText(int32_t date, int32_t now) {
    if (date == 0) return Lng(L_Status_NotUpdatedRss);
    int64_t elapsed = static_cast<int64_t>(now) - date;
    if (elapsed < 0) elapsed = 0;
    const int64_t h = elapsed / 3600;
    const int64_t m = (elapsed % 3600) / 60;
    if (h && m)
        return Lng(L_Status_UpdatedRSSInHourAndMinute, std::to_string(h), std::to_string(m));
    if (h) return Lng(L_Status_UpdatedRSSInHour, std::to_string(h));
    if (m) return Lng(L_Status_UpdatedRSSInMinute, std::to_string(m));
    return Lng(L_Status_UpdatedRSS);
}

std::string UpdatedSinceText(int32_t date) {
    return UpdatedSinceText(date, Items_Now());
}

// The update queue of the article feeds, its worker threads and the merge of a finished
// update into the feed's articles.
//
// Everything is driven by two ticks called on the interface thread: ExtractFeedByThread
// (merge the finished updates, start the next ones), run as soon as a worker ends (the
// wake-up) and every 100 ms as a safety net, and FeedCountdown every second (feeds whose
// next update is due join the queue). Up to "UpdateThreads" workers run at once, each on
// its own entry: the entries in progress lead the queue, in the order they started. A
// worker only downloads and parses; it reads and writes its own entry under
// FeedThreadLock and never holds it while downloading. A worker is never killed: a stop
// request (bit 1 of the stop mask, shared by all of them) makes downloads and parses
// give up.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/core/Records.h"
#include "platform/core/CursorList.h"

struct DownloadEntry {
    int32_t ExtractError = 0; // the feed's failure mark when queued (decides the place)
    int32_t FeedDate = 0;     // newest feed date found by the worker
    std::string Name;
    int32_t NewCount = 0;     // articles added by the merge
    int32_t UpdatedCount = 0; // articles changed by the merge
    int32_t RssID = 0;
    int32_t ExtractTime = 0; // ms spent reading the feed, set by the worker
    std::string ExtractAs;
    std::string Url;
    int32_t Notify = 0; // speak the outcome (a request on one chosen feed)
    // Set when a worker was started for this entry (it then never moves, and only the
    // merge removes it); Serial tells the worker its own entry from a later one after a
    // stop; Worker is the worker's slot (its page file).
    int32_t InProgress = 0;
    uint64_t Serial = 0;
    int32_t Worker = -1;
    // Set (> 0, increasing) when the worker has ended: merges follow this order.
    uint64_t EndOrder = 0;
    // The articles the worker read, handed over when it ends.
    std::vector<Item> Parsed;
};

// Most workers that ever run at once ("UpdateThreads" is bounded to it).
inline constexpr int UPDATE_WORKERS_MAX = 16;

// Guards DownloadQueue and the head entry's results. Recursive so that hooks called from
// the merge may queue feeds.
extern std::recursive_mutex FeedThreadLock;
extern CursorList<DownloadEntry> DownloadQueue;

// What the interface (or the tool) lets the update reach; every member may stay empty.
struct FeedThreadHooks {
    // The selection of the tree for ActualizeFeeds(0, ...): a feed (RssID > 0) or a
    // group name (RssID 0); both empty when nothing is selected.
    std::function<void(int32_t& rssID, std::string& group)> Selection;
    // Tree, article list and status bar changed (after a merge, when a worker starts).
    std::function<void()> Refresh;
    // One feed's update ended: `parsed` articles read, 0 when it failed. Called on the
    // interface thread after the feed record was updated.
    std::function<void(const DownloadEntry& entry, int parsed)> FeedDone;
    // Speech; empty means ScreenReader_Say.
    std::function<void(const std::string& text, int interrupt)> Say;
    // Podcasts: the file name an article's enclosure is stored under, and the queue of
    // automatic downloads. Without them the automatic podcast step does nothing.
    std::function<std::string(const Rss& feed, const Item& item)> PodcastFileName;
    std::function<void(Rss& feed, Item& item)> PodcastQueue;
    // The feed's automatic podcast download once its update was merged.
    std::function<void(Rss& feed)> PodcastAutoDownload;
};
FeedThreadHooks& FeedThread_Hooks();

// Registers the workers with CloseThread (bit 1: running while any runs; once stopped,
// the join and the extra page files deleted) and makes CloseThread write the download
// layer's stop mask. Idempotent.
void FeedThread_Init();
// True while a worker thread runs; the number of them.
bool FeedThread_IsRunning();
int FeedThread_RunningCount();
// The page file of worker slot `worker`: ThreadTmpPagePath for the first, the same name
// with "-2", "-3"... before the extension for the others.
std::string FeedThread_PageFile(int worker);
// What a worker calls (on its own thread) as it ends, once per tick at most: the
// interface posts a call of ExtractFeedByThread to its thread; it must not wait nor call
// back into the queue. Once this returned, the former hook is no longer running (set it
// empty before the interface goes away). May be empty.
void FeedThread_SetWake(std::function<void()> wake);
// Waits until a worker has ended since the last call, or `timeoutMs` passed (the
// tool's loop). True when a worker ended.
bool FeedThread_WaitForWake(int timeoutMs);

// Queues feeds: all = every article feed (with onStart, feeds without "ActualizeOnStart"
// only get a fresh countdown, and the initial-update bit is set); else the selected feed
// (chosen by the user) or the article feeds of the selected group.
void ActualizeFeeds(int all, int onStart);
// Puts a feed into the queue. priority 0 normal, 1 chosen by the user (the outcome is
// spoken), 2 internal for "PriorityToActualize" feeds. Refuses unknown and non-article
// feeds, and feeds of the group "Obsolète" at priority 0. Returns 0.
int DownloadRSS_Push(int32_t rssID, int priority);
// Takes a waiting feed out of the queue (a deleted feed); the head and the entries in
// progress are never removed, but their outcome is then no longer spoken.
void DownloadRSS_Remove(int32_t rssID);
// Stops every worker (CloseThread(1), at most 3 s for all) and empties the queue.
void StopUpdates();
// The tick: merges the finished entries one at a time in the order their workers ended,
// starts workers on the first waiting entries, ends the initial update when the queue
// runs empty, speaks the outcome of a chosen feed.
void ExtractFeedByThread();
// The 1 s tick: counts down each enabled article feed and queues the due ones.
void FeedCountdown();
// Number of entries in the queue (the head included).
size_t DownloadQueue_Size();

// The worker's body for the entry in progress with this serial: downloads (into its
// page file) and reads the feed document, or runs the feed's extractor, into this
// thread's ParsedItems; hands the articles, the extract time and the feed date to the
// entry. Runs on the worker thread.
int DownloadRSS(uint64_t serial);
// DownloadRSS as the worker runs it: whatever the work throws (out of memory included) is
// caught, logged "! Error DownloadRSS, " + the reason + ", " + the feed's name, and the
// feed ends with no articles (marked failed by the merge). Never throws.
int DownloadRSS_Guarded(uint64_t serial);

// Merges `parsed` into the feed of `entry` (counts go into the entry). Returns the number
// of parsed articles; 0 (nothing changed) when the feed is gone or nothing was parsed.
int Feed_Update(DownloadEntry& entry, const std::vector<Item>& parsed);
// 1 when `list` holds the same article (same GUID, case-sensitive; without GUID, an
// article without GUID whose title is equal ignoring case); its cursor is then on it.
int Item_Find(CursorList<Item>& list, const Item& item);
// The change letters from `before` to `after`: "T " title (ignoring case), "D "
// description, "F " enclosure length, "A " enclosure address, "I " duration.
std::string Item_Compare(const Item& before, const Item& after);

// "Non actualisé !" for 0, else how long ago `date` was, in hours and minutes.
std::string UpdatedSinceText(int32_t date);
std::string UpdatedSinceText(int32_t date, int32_t now);

// The podcast download queue: enclosures downloaded one at a time by a background thread,
// in an order that survives a restart ("PodDownload.Ini" in the data folder). The first
// job is the one being downloaded; the list's current element marks the job handed to the
// thread, so the scheduling step finds it again once the thread has ended.
//
// Threads: the interface thread pushes, removes, schedules and saves; the download thread
// takes the queue lock only to read its job and to store its result, never during the
// transfer. It streams into File + ".Tmp" and renames that onto File only when complete,
// so a stopped or failed download never leaves a file under the final name.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/core/CursorList.h"

struct Item;
struct Rss;

struct PodcastJob {
    std::string AudioLink;
    int64_t FileLength = 0;
    int32_t Done = 0; // set by the thread: 1 = downloaded and moved to File
    int32_t FeedID = 0;
    std::string File; // full path
    std::string Title;
    int32_t PlayWhenDone = 0;
};

extern std::recursive_mutex PodcastQueueLock;
extern CursorList<PodcastJob> PodcastQueue;
// The FeedID of the job being downloaded, guarded by DownloadProgressLock.
extern int32_t DownloadProgressFeedID;

// `mode` bits of PodCastDownload_Push.
enum : int {
    PODCAST_PLAY = 1,  // play when ready, with priority
    PODCAST_FORCE = 2, // queue even when the file exists (reload of the queue)
};

// What the window (or the tool) does for the queue; each may stay empty.
struct PodcastHooks {
    // Plays a file (default: Audio_Play).
    std::function<void(const std::string& file, int32_t feedId, const std::string& title,
                       int32_t positionMs)>
        Play;
    std::function<void(int32_t feedId)> RowChanged; // the article's row
    std::function<void()> StatusChanged;            // status line and list
    std::function<void()> SyncMenu;                 // the copy-to-player menu entries
    // A job left the queue: ok when its file arrived.
    std::function<void(const PodcastJob& job, bool ok)> JobDone;
};
PodcastHooks& Podcast_Hooks();

// Registers the download thread with CloseThread (bit 2). Idempotent.
void PodcastQueue_Init();
// True while the download thread runs.
bool PodCastDownload_IsRunning();

// Queues an item's enclosure into the feed's sub-folder `feedFolder`. Returns 1 added,
// -1 already queued (updated, or moved to position 2 with PODCAST_PLAY), 0 nothing
// queued (no file name, file already there, no link, refused folder, being downloaded).
int PodCastDownload_Push(Item& item, const std::string& feedFolder, int mode);
// The scheduling step (timer 2): ends the finished job, starts the next download.
void PodCastDownload_InThread();
// Reads "PodDownload.Ini" and queues its jobs again, in order (start-up).
void PodCastDownload_Load();
// Writes the queue into "PodDownload.Ini" through a twin and a rename, or deletes the
// file when the queue is empty. False when the file could not be written.
bool PodCastDownload_Save();
// Takes an article's job out; the running one is stopped and dropped by the next step.
void PodCastDownload_Remove(int32_t feedId);
// An article (or its whole feed) is being deleted: its job leaves the queue (a running
// download is stopped), and with "DelPodcastWithFeed" its downloaded file is deleted (only
// a podcast-extension regular file inside the podcast folder).
void Podcast_ReleaseFile(const Rss& feed, const Item& item);
// -1 when the article is queued, else 0.
int PodCastDownload_IsQueued(int32_t feedId);
// Clears PlayWhenDone of every job.
void PodCastDownload_ClearPlay();
// Jobs in the queue.
size_t PodCastDownload_Count();
// The status-line text while the thread runs ("" otherwise).
std::string PodCastDownload_StatusText();
// The status of an article in the list: "En téléchargement (…)" for the job being
// downloaded, "A télécharger" for a waiting one, "" when not queued.
std::string PodCastDownload_ItemStatus(int32_t feedId);
// What the article list shows before an article's title: its queue status, else "En
// lecture" while the audio engine holds it; "" otherwise.
std::string Podcast_ArticleStatus(int32_t feedId);
// The merge's automatic downloads of a feed: the NbAutoDownLoadPodCast newest articles get
// the feed's mask as their file name and are queued.
void PodCastDownload_AutoQueue(Rss& feed);
// Stops the download thread (CloseThread bit 2) and waits for it; the queue is kept.
void PodCastDownload_Stop();

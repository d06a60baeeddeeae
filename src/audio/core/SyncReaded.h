// Read-state synchronisation between installations: each installation writes the read
// state and playback position of its articles into its own ".OVSR" file in a shared
// folder ("SyncReadedPath"), and reads the files of the others. No locking: each file
// has a single writer, and it is written to a twin and renamed, so a reader (or a
// cloud-synchronisation client) never sees it half written.
//
// Everything here runs on the interface thread.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/core/Records.h"

// A state read from another installation, not yet applied to an article.
struct SyncEntry {
    std::string ID;
    int32_t Readed = 0;
    int32_t AudioPos = 0;
};

// A state file already read: its lower-cased full path, and its modification date (in
// nanoseconds) and size at that reading.
struct SyncSeenFile {
    std::string Name;
    int64_t Date = 0;
    int64_t Size = -1;
};

extern std::vector<SyncSeenFile> SyncSeen;
// Keyed by article ID.
extern std::unordered_map<std::string, SyncEntry> SyncPending;

// The file name used when "SyncReadedFile" is empty: login name, "-", the kernel release,
// "P" in portable mode, ".OVSR". Characters not allowed in a file name are dropped.
std::string SyncReaded_DefaultFileName(const std::string& userName, const std::string& release,
                                       bool portable);

// Writes this installation's file (folder "SyncReadedPath", name "SyncReadedFile") through
// a ".Tmp" twin and a rename. Only when the feature is on. 1 written, 0 not.
int SyncReaded_Save();
// Reads the state files of the folder that changed since the last scan into SyncPending,
// then applies the pending states to every article. Only when the feature is on; a
// folder that is missing (and cannot be created) is logged and skipped. Returns the
// number of articles changed; with `apply` and a change the refresh hook is called.
int SyncReaded_Scan(int apply);
// Applies and forgets the pending state of the article's ID: taken when its read date is
// later than the article's, or when it is exactly 1 and the article's is 0. Returns 1
// when the article changed.
int SyncReaded_Apply(Item& item);
// Merges one state file into SyncPending (later read dates win). Lines that do not parse
// are skipped; the file is read as a stream. 1 when the file could be read.
int SyncReaded_ReadFile(const std::string& path);
// The main window's one-minute tick: scans every "SyncReadedNbTime" minutes.
int SyncReaded_Tick();

// Makes every article the store adds (loaders and the update merge) take its pending
// state.
void SyncReaded_Link();
// Called after a scan with `apply` changed something (the window refreshes its lists).
extern void (*SyncReaded_RefreshHook)();
// Forgets the seen files, the pending states and the tick count (tests, configuration load).
void SyncReaded_Reset();

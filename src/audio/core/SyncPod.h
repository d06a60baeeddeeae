// Copying the newest podcasts onto a portable player: "copy" adds the files, "synchronise"
// also deletes the other podcast files of the folders it copied into. The drives come from
// an interface (the platform's volume monitor in the program, plain folders in tests).
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SyncJob {
    int32_t CopyOnly = 1;
    std::string Destination; // ends with '/'
    int32_t DeleteErrors = 0, CopyErrors = 0, Deleted = 0, Copied = 0, AlreadyPresent = 0,
            NotFound = 0;
    std::vector<std::string> Files; // full paths of the sources
};

// The removable drives: each root ("mount point label") then its folders, down to 5
// levels, each ending with '/'.
class SyncPodDrives {
  public:
    virtual ~SyncPodDrives() = default;
    virtual std::vector<std::string> List() = 0;
};
// The folders given (each with its folders down to 5 levels): the drives of the tests and
// of orvalis-tool.
std::unique_ptr<SyncPodDrives> SyncPodDrives_Folders(std::vector<std::string> roots);

// The source files: for each enabled feed its first NbAutoDownLoadPodCast articles'
// files (the chosen name when set), as full paths in the podcast folder.
std::vector<std::string> SyncPod_CollectFiles();
// The worker: copies each source under job.Destination (a file of the podcast folder keeps
// its feed sub-folder) through a temporary name and a rename, skipping equal sizes; in
// synchronise mode then deletes the other podcast-extension files of those folders. Stops
// between files when `stop` is set. Counters in `job`.
void SyncPod_Work(SyncJob& job, const std::atomic<bool>* stop = nullptr);
// The report text of a finished job.
std::string SyncPod_Report(const SyncJob& job);

// The state of the two menu entries.
struct SyncPodMenu {
    bool Enabled = false;
    bool Complete = false;
    int32_t Expected = 0, Present = 0;
    std::string SyncText, CopyText;
};
// Counts the expected and present files of the qualifying feeds and makes the texts; logs
// "- IsCanSyncPod(), ...".
SyncPodMenu IsCanSyncPod();

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
    // The folder a line of List() stands for (a root line holds its label too).
    virtual std::string PathOf(const std::string& line) { return line; }
};
// Appends the folders below `root` (ending with '/'), down to 5 levels, each ending with
// '/'; symbolic links are not followed.
void SyncPodDrives_AddFolders(const std::string& root, std::vector<std::string>& out);
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
// `progress` (when given) counts the source files handled, for a progress bar.
void SyncPod_Work(SyncJob& job, const std::atomic<bool>* stop = nullptr,
                  std::atomic<int>* progress = nullptr);
// The log lines of a finished job ("... Podcast To synchronize", the counters).
void SyncPod_LogResult(const SyncJob& job);
// The report text of a finished job, and its title: "Terminé avec succés !" or, with
// errors, "Erreur".
std::string SyncPod_Report(const SyncJob& job);
std::string SyncPod_ReportTitle(const SyncJob& job);

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
// Whether the complete-download alarm is due: every expected file present, the preference
// on, and the set was not already complete at the previous call (`wasComplete` keeps that
// between calls), so one completed set raises one alarm.
bool SyncPod_AlarmDue(const SyncPodMenu& menu, bool& wasComplete);

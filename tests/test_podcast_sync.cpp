// Copy and synchronise of podcasts onto temporary folders standing for a player's drive.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/core/SyncPod.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {
class SyncPodTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(m_dir.File("Test.Log"));
        Pref.PodcastPath = m_dir.Path() + "/Podcast/";
        Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
        RssList.Clear();
        Rss r;
        r.Name = "Show";
        r.FilePath = "Show";
        r.NbAutoDownLoadPodCast = 2;
        r.Updated = 1;
        Rss& feed = RssList.AddLast(r);
        for (const char* n : {"a", "b", "c"}) {
            Item it;
            it.Title = n;
            it.AudioLink = std::string("http://127.0.0.1:9/") + n + ".mp3";
            Item_AddTo(feed, it, 1);
        }
        fs::create_directories(Pref.PodcastPath + "Show");
        WriteFileOrDie(Pref.PodcastPath + "Show/a.mp3", "aaaa");
        fs::create_directories(m_dir.File("player/Show/keep"));
        WriteFileOrDie(m_dir.File("player/Show/old.mp3"), "old");
        WriteFileOrDie(m_dir.File("player/Show/notes.txt"), "text");
    }
    void TearDown() override { RssList.Clear(); }
    TempDir m_dir;
};
} // namespace

TEST_F(SyncPodTest, SynchroniseCopiesTheNewestAndDeletesOnlyOtherPodcastFiles) {
    SyncJob job;
    job.CopyOnly = 0;
    job.Destination = m_dir.File("player/");
    job.Files = SyncPod_CollectFiles();
    ASSERT_EQ(job.Files.size(), 2u);
    SyncPod_Work(job);
    EXPECT_EQ(job.Copied, 1);
    EXPECT_EQ(job.NotFound, 1) << "b.mp3 was never downloaded";
    EXPECT_EQ(job.Deleted, 1);
    EXPECT_EQ(ReadFileOrEmpty(m_dir.File("player/Show/a.mp3")), "aaaa");
    EXPECT_FALSE(fs::exists(m_dir.File("player/Show/old.mp3")));
    EXPECT_TRUE(fs::exists(m_dir.File("player/Show/notes.txt")));
    EXPECT_TRUE(fs::is_directory(m_dir.File("player/Show/keep")));
    EXPECT_FALSE(fs::exists(m_dir.File("player/Show/a.mp3.Tmp")));

    SyncJob again = job;
    again.Copied = again.Deleted = again.NotFound = 0;
    SyncPod_Work(again);
    EXPECT_EQ(again.Copied, 0);
    EXPECT_EQ(again.AlreadyPresent, 1) << "equal sizes are not copied again";
    EXPECT_EQ(again.Deleted, 0);
    EXPECT_NE(SyncPod_Report(again).find("Synchronisation pour 2 fichiers de podcast"),
              std::string::npos);
}

TEST_F(SyncPodTest, MenuTextsSayWhetherEveryExpectedFileIsThere) {
    SyncPodMenu m = IsCanSyncPod();
    EXPECT_TRUE(m.Enabled);
    EXPECT_EQ(m.Expected, 2);
    EXPECT_EQ(m.Present, 1);
    EXPECT_EQ(m.SyncText, "Synchroniser, en partie, les nouveaux podcasts sur un baladeur...");
    EXPECT_EQ(m.CopyText, "Copier, en partie, les nouveaux podcasts sur un baladeur");
    WriteFileOrDie(Pref.PodcastPath + "Show/b.mp3", "b");
    m = IsCanSyncPod();
    EXPECT_EQ(m.SyncText, "Synchroniser les nouveaux podcast sur un baladeur...");
    EXPECT_EQ(m.CopyText, "Copier les nouveaux podcast sur un baladeur");
    RssList.begin()->Flags |= RSSFLAG_DISABLE;
    EXPECT_FALSE(IsCanSyncPod().Enabled);
}

TEST_F(SyncPodTest, TheFolderDrivesListTheirFoldersBelowTheRoot) {
    auto drives = SyncPodDrives_Folders({m_dir.File("player"), m_dir.File("absent")});
    const std::vector<std::string> list = drives->List();
    EXPECT_EQ(list, (std::vector<std::string>{m_dir.File("player/"), m_dir.File("player/Show/"),
                                              m_dir.File("player/Show/keep/")}));
}

TEST_F(SyncPodTest, ProgressCountsEveryFileAStopCopiesNothingAndOneCompleteSetRingsOnce) {
    SyncJob job;
    job.CopyOnly = 1;
    job.Destination = m_dir.File("player/");
    job.Files = SyncPod_CollectFiles();
    std::atomic<bool> stop{true};
    std::atomic<int> progress{0};
    SyncPod_Work(job, &stop, &progress);
    EXPECT_EQ(job.Copied + job.CopyErrors + job.NotFound, 0);
    EXPECT_FALSE(fs::exists(m_dir.File("player/Show/a.mp3")));
    stop = false;
    SyncPod_Work(job, &stop, &progress);
    EXPECT_EQ(progress.load(), 2) << "the missing file counts on the bar too";
    EXPECT_EQ(job.Copied, 1);
    EXPECT_EQ(SyncPod_ReportTitle(job), "Terminé avec succés !");
    EXPECT_TRUE(fs::exists(m_dir.File("player/Show/old.mp3"))) << "a copy deletes nothing";
    job.CopyErrors = 2;
    EXPECT_EQ(SyncPod_ReportTitle(job), "Erreur");
    EXPECT_NE(SyncPod_Report(job).find("\r\n2 erreurs de copie"), std::string::npos);

    PrefFlags |= PREF_ALARMALLDOWNLOADED;
    bool was = false;
    EXPECT_FALSE(SyncPod_AlarmDue(IsCanSyncPod(), was)) << "b.mp3 is still missing";
    WriteFileOrDie(Pref.PodcastPath + "Show/b.mp3", "b");
    EXPECT_TRUE(SyncPod_AlarmDue(IsCanSyncPod(), was));
    EXPECT_FALSE(SyncPod_AlarmDue(IsCanSyncPod(), was)) << "one alarm per completed set";
    PrefFlags &= ~PREF_ALARMALLDOWNLOADED;
    fs::remove(Pref.PodcastPath + "Show/b.mp3");
    SyncPod_AlarmDue(IsCanSyncPod(), was);
    WriteFileOrDie(Pref.PodcastPath + "Show/b.mp3", "b");
    EXPECT_FALSE(SyncPod_AlarmDue(IsCanSyncPod(), was)) << "the preference is off";
}

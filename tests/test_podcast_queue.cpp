// The podcast download queue in this process against a real local HTTP server: where jobs
// go, what the download thread leaves on disk, the queue file, the masks and the purge.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "audio/core/Audio.h"
#include "audio/core/PodcastFile.h"
#include "audio/core/PodcastQueue.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "catalogue/core/RssGroups.h"
#include "shell/base/AppPaths.h"
#include "shell/base/CloseThread.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"

namespace fs = std::filesystem;

namespace {

struct PodcastRun {
    std::vector<std::string> Done; // "ok NAME" / "failed NAME" in order
    std::vector<std::string> Played;
};

class PodcastQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Log_Reset();
        Log_SetFile(m_dir.File("Test.Log"));
        ASSERT_TRUE(Network_Init());
        FeedThread_Init();
        PodcastQueue_Init();
        DataPath = m_dir.Path() + "/";
        Pref.PodcastPath = m_dir.Path() + "/Podcast/";
        Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
        Pref.NbDayBeforeDelPodCast = 0;
        fs::create_directories(Pref.PodcastPath);
        RssList.Clear();
        PodcastQueue.Clear();
        Podcast_Hooks().Play = [this](const std::string& file, int32_t, const std::string&,
                                      int32_t) { m_run.Played.push_back(file); };
        Podcast_Hooks().JobDone = [this](const PodcastJob& job, bool ok) {
            m_run.Done.push_back(std::string(ok ? "ok " : "failed ") +
                                 fs::path(job.File).filename().string());
        };
    }
    void TearDown() override {
        PodCastDownload_Stop();
        PodcastQueue.Clear();
        Podcast_Hooks() = PodcastHooks{};
        RssList.Clear();
    }
    Rss& AddFeed(const std::string& name, const std::string& filePath = {}) {
        Rss r;
        r.Name = name;
        r.FilePath = filePath;
        return RssList.AddLast(r);
    }
    Item& AddItem(Rss& feed, const std::string& title, const std::string& link) {
        Item it;
        it.Title = title;
        it.AudioLink = link;
        Item_AddTo(feed, it, 1);
        return feed.Items.Raw().back();
    }
    std::vector<std::string> QueueTitles() {
        std::vector<std::string> t;
        for (const PodcastJob& j : PodcastQueue)
            t.push_back(j.Title);
        return t;
    }
    // Runs the scheduling step until the queue is empty (bounded).
    void RunQueue() {
        for (int i = 0; i < 3000 && (PodCastDownload_Count() || PodCastDownload_IsRunning()); ++i) {
            PodCastDownload_InThread();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_EQ(PodCastDownload_Count(), 0u);
    }
    std::string Pod(const std::string& rel) { return Pref.PodcastPath + rel; }

    TempDir m_dir;
    PodcastRun m_run;
};

} // namespace

TEST_F(PodcastQueueTest, PlacesJobsAndMovesAPlayWhenReadyJobToSecondPlace) {
    Rss& feed = AddFeed("Feed");
    std::vector<Item*> items;
    for (int i = 1; i <= 6; ++i)
        items.push_back(&AddItem(feed, "T" + std::to_string(i),
                                 "http://127.0.0.1:9/e" + std::to_string(i) + ".mp3"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(PodCastDownload_Push(*items[i], "", 0), 1);
    // The first job stands for the one being downloaded.
    PodcastQueue.SetCurrent(PodcastQueue.begin());
    EXPECT_EQ(PodCastDownload_Push(*items[0], "", PODCAST_PLAY), 0)
        << "being downloaded: unchanged";
    EXPECT_EQ(PodCastDownload_Push(*items[4], "", PODCAST_PLAY), -1);
    EXPECT_EQ(QueueTitles(), (std::vector<std::string>{"T1", "T5", "T3", "T4", "T2"}));
    EXPECT_EQ(PodcastQueue.Current(), &*PodcastQueue.begin()) << "current element restored";
    // A new job to play goes right behind the first, and takes the play mark from the others.
    EXPECT_EQ(PodCastDownload_Push(*items[5], "", PODCAST_PLAY), 1);
    EXPECT_EQ(QueueTitles(), (std::vector<std::string>{"T1", "T6", "T5", "T3", "T4", "T2"}));
    int playing = 0;
    for (const PodcastJob& j : PodcastQueue)
        playing += j.PlayWhenDone;
    EXPECT_EQ(playing, 1);
    EXPECT_EQ(PodCastDownload_IsQueued(items[2]->FeedID), -1);
    EXPECT_EQ(PodCastDownload_ItemStatus(items[0]->FeedID), "En téléchargement");
    EXPECT_EQ(PodCastDownload_ItemStatus(items[2]->FeedID), "A télécharger");

    // The queue file keeps the order; reloading it queues the same jobs in the same order.
    IniReader ini;
    ASSERT_TRUE(ini.Open(DataPath + "PodDownload.Ini"));
    ASSERT_TRUE(ini.SelectGroup("1"));
    EXPECT_EQ(ini.ReadString("Name"), "T6");
    EXPECT_EQ(ini.ReadString("File"), Pod("e6.mp3"));
    EXPECT_EQ(ini.ReadString("AudioLink"), "http://127.0.0.1:9/e6.mp3");
    PodcastQueue.Clear();
    PodCastDownload_Load();
    EXPECT_EQ(QueueTitles(), (std::vector<std::string>{"T1", "T6", "T5", "T3", "T4", "T2"}));

    PodCastDownload_ClearPlay();
    for (const PodcastJob& j : PodcastQueue)
        EXPECT_EQ(j.PlayWhenDone, 0);
    PodCastDownload_Remove(items[3]->FeedID);
    EXPECT_EQ(PodCastDownload_IsQueued(items[3]->FeedID), 0);
    PodcastQueue.Clear();
    EXPECT_TRUE(PodCastDownload_Save());
    EXPECT_FALSE(fs::exists(DataPath + "PodDownload.Ini")) << "an empty queue has no file";

    // A file already there is played at once and nothing is queued.
    WriteFileOrDie(Pod("e1.mp3"), "sound");
    EXPECT_EQ(PodCastDownload_Push(*items[0], "", PODCAST_PLAY), 0);
    EXPECT_EQ(m_run.Played, (std::vector<std::string>{Pod("e1.mp3")}));
    EXPECT_EQ(PodCastDownload_Count(), 0u);
}

TEST_F(PodcastQueueTest, DownloadsInOrderDropsAFailedJobAndKeepsTheGoodFileItWouldReplace) {
    LocalHttpServer server;
    server.Serve("/a.mp3", HttpOk(std::string(100000, 'a'), "audio/mpeg"));
    server.Serve("/c.mp3", HttpOk("ccc", "audio/mpeg"));
    Rss& feed = AddFeed("Feed", "Sub\\Dir");
    Item& a = AddItem(feed, "A", server.Url("/a.mp3"));
    Item& b = AddItem(feed, "B", server.Url("/b.mp3")); // 404
    Item& c = AddItem(feed, "C", server.Url("/c.mp3"));
    fs::create_directories(Pod("Sub/Dir"));
    WriteFileOrDie(Pod("Sub/Dir/b.mp3"), "good old file");
    EXPECT_EQ(PodCastDownload_Push(a, feed.FilePath, 0), 1);
    EXPECT_EQ(PodCastDownload_Push(b, feed.FilePath, PODCAST_FORCE), 1);
    EXPECT_EQ(PodCastDownload_Push(c, feed.FilePath, PODCAST_PLAY), 1);
    EXPECT_EQ(QueueTitles(), (std::vector<std::string>{"A", "C", "B"}));
    RunQueue();
    EXPECT_EQ(m_run.Done, (std::vector<std::string>{"ok a.mp3", "ok c.mp3", "failed b.mp3"}));
    EXPECT_EQ(m_run.Played, (std::vector<std::string>{Pod("Sub/Dir/c.mp3")}));
    EXPECT_EQ(ReadFileOrEmpty(Pod("Sub/Dir/a.mp3")).size(), 100000u);
    EXPECT_EQ(ReadFileOrEmpty(Pod("Sub/Dir/b.mp3")), "good old file");
    for (const auto& e : fs::directory_iterator(Pod("Sub/Dir")))
        EXPECT_NE(e.path().extension(), ".Tmp") << e.path();
    EXPECT_FALSE(fs::exists(DataPath + "PodDownload.Ini"));
    // Every download method tries the missing file once: the requests come in job order.
    std::vector<std::string> paths = server.Paths();
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"/a.mp3", "/c.mp3", "/b.mp3"}));
}

TEST_F(PodcastQueueTest, AStopDuringAStalledTransferEndsTheThreadAndLeavesNoFinalFile) {
    LocalHttpServer server;
    HttpReply stalled = HttpOk(std::string(50000, 's'), "audio/mpeg");
    stalled.StallAfter = 1000;
    server.Serve("/stall.mp3", stalled);
    Rss& feed = AddFeed("Feed");
    Item& item = AddItem(feed, "S", server.Url("/stall.mp3"));
    ASSERT_EQ(PodCastDownload_Push(item, "", 0), 1);
    PodCastDownload_InThread();
    ASSERT_TRUE(PodCastDownload_IsRunning());
    for (int i = 0; i < 3000 && server.Paths().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(server.Paths().empty());
    EXPECT_EQ(PodCastDownload_StatusText().rfind("Podcast ", 0), 0u);
    // Removing the job being downloaded stops the thread (CloseThread waits 3 s at most).
    PodCastDownload_Remove(item.FeedID);
    EXPECT_FALSE(PodCastDownload_IsRunning()) << "the download gave up within the wait";
    PodCastDownload_InThread();
    EXPECT_EQ(m_run.Done, (std::vector<std::string>{"failed stall.mp3"}));
    EXPECT_FALSE(fs::exists(Pod("stall.mp3")));
    EXPECT_FALSE(fs::exists(Pod("stall.mp3.Tmp")));
    EXPECT_EQ(CloseThread_StopMask() & WORKER_PODCAST_DOWNLOAD, 0u);
}

namespace {
// The user answers yes to the deletion.
class YesUi : public CatalogueUi {
  public:
    int AskYesNo(const std::string&, const std::string&) override { return 1; }
    std::string AskText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};
} // namespace

TEST_F(PodcastQueueTest, ADeletedFeedTakesItsJobsAndItsPodcastFilesAwayAndNothingElse) {
    LocalHttpServer server;
    HttpReply stalled = HttpOk(std::string(50000, 's'), "audio/mpeg");
    stalled.StallAfter = 1000;
    server.Serve("/a1.mp3", stalled);
    server.Serve("/b1.mp3", HttpOk("bbbb", "audio/mpeg"));
    Rss& a = AddFeed("A", "A");
    Rss& b = AddFeed("B", "B");
    Item& a1 = AddItem(a, "A1", server.Url("/a1.mp3"));
    Item& a2 = AddItem(a, "A2", server.Url("/a2.mp3"));
    Item& a3 = AddItem(a, "A3", server.Url("/a3.mp3"));
    Item& b1 = AddItem(b, "B1", server.Url("/b1.mp3"));
    fs::create_directories(Pod("A"));
    WriteFileOrDie(Pod("A/a3.mp3"), "downloaded before");
    WriteFileOrDie(Pod("A/notes.txt"), "not a podcast");
    ASSERT_EQ(PodCastDownload_Push(a1, a.FilePath, 0), 1);
    ASSERT_EQ(PodCastDownload_Push(a2, a.FilePath, 0), 1);
    ASSERT_EQ(PodCastDownload_Push(a3, a.FilePath, 0), 0) << "already there";
    ASSERT_EQ(PodCastDownload_Push(b1, b.FilePath, 0), 1);
    PodCastDownload_InThread();
    ASSERT_TRUE(PodCastDownload_IsRunning());
    for (int i = 0; i < 3000 && server.Paths().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    // What the article list shows before each title.
    EXPECT_EQ(Podcast_ArticleStatus(a1.FeedID).rfind("En téléchargement", 0), 0u);
    EXPECT_EQ(Podcast_ArticleStatus(a2.FeedID), "A télécharger");
    EXPECT_EQ(Podcast_ArticleStatus(a3.FeedID), "");
    Audio.FeedID = a3.FeedID;
    Audio.State = AUDIO_STATE_LOADED;
    EXPECT_EQ(Podcast_ArticleStatus(a3.FeedID), "En lecture");
    Audio.FeedID = 0;
    Audio.State = 0;

    // The feed is deleted while its first job is being downloaded.
    PrefFlags |= PREF_DELPODCASTWITHFEED;
    Items_ReleaseFileHook = [](Rss& feed, Item& item) { Podcast_ReleaseFile(feed, item); };
    YesUi yes;
    Catalogue_SetUi(&yes);
    char cwd[4096] = {};
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(m_dir.Path().c_str()), 0); // the catalogue is saved in the data folder
    RssList.SetCurrent(&a);
    const int deleted = Feed_Delete();
    ASSERT_EQ(::chdir(cwd), 0);
    Catalogue_SetUi(nullptr);
    Items_ReleaseFileHook = nullptr;
    PrefFlags &= ~PREF_DELPODCASTWITHFEED;
    ASSERT_EQ(deleted, 1);
    EXPECT_FALSE(PodCastDownload_IsRunning()) << "the running download was stopped";
    PodCastDownload_InThread(); // drops the stopped job, starts the other feed's
    EXPECT_EQ(m_run.Done, (std::vector<std::string>{"failed a1.mp3"}));
    EXPECT_EQ(QueueTitles(), (std::vector<std::string>{"B1"}));
    RunQueue();
    EXPECT_EQ(ReadFileOrEmpty(Pod("B/b1.mp3")), "bbbb");
    EXPECT_FALSE(fs::exists(Pod("A/a3.mp3"))) << "deleted with its feed";
    EXPECT_FALSE(fs::exists(Pod("A/a1.mp3.Tmp")));
    EXPECT_FALSE(fs::exists(Pod("A/a1.mp3")));
    EXPECT_TRUE(fs::exists(Pod("A/notes.txt"))) << "only podcast files go";
    const std::vector<std::string> paths = server.Paths();
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/a2.mp3"), 0)
        << "a job of the deleted feed was downloaded";
}

TEST_F(PodcastQueueTest, MasksMakeOneFileNameInsideTheFeedFolderWhateverTheTitle) {
    Rss feed;
    feed.Name = "Le Journal";
    Item item;
    item.AudioFile = "abc.mp3";
    item.Title = "Un/deux \"trois\"";
    item.Date = Date_Make(2016, 5, 3, 7, 8, 9);
    EXPECT_EQ(PodcastFileName("%yyyy-%mm-%dd %RN", feed, item), "2016-05-03 Le Journal.mp3");
    EXPECT_EQ(PodcastFileName("%PT", feed, item), "Un-deux _trois_.mp3");
    EXPECT_EQ(PodcastFileName("%rn %pf", feed, item), "Le Journal abc.mp3");
    EXPECT_EQ(PodcastFileName("%PF.MP3", feed, item), "abc.MP3");
    EXPECT_EQ(PodcastFileName("%hh%ii%ss", feed, item), "070809.mp3");
    EXPECT_EQ(PodcastFileName("", feed, item), "");
    EXPECT_EQ(Podcast_Masks().size(), 9u);

    item.Title = "../../../etc/passwd";
    EXPECT_EQ(PodcastFileName("%PT", feed, item), "..-..-..-etc-passwd.mp3");
    item.Title = "%RN";
    EXPECT_EQ(PodcastFileName("%PT", feed, item), "%RN.mp3") << "a title is not read as a mask";
    item.AudioFile = "";
    item.Title = "..";
    EXPECT_EQ(PodcastFileName("%PT", feed, item), "");

    // Folders and names from a feed never leave the podcast folder.
    EXPECT_EQ(Podcast_FullPath("x.mp3", "A\\B"), Pod("A/B/x.mp3"));
    EXPECT_EQ(Podcast_FullPath("/etc/x.mp3", ""), Pod("x.mp3"));
    EXPECT_EQ(Podcast_FullPath("..\\..\\x.mp3", "A"), Pod("A/x.mp3"));
    EXPECT_EQ(Podcast_FullPath("..", ""), "");
    EXPECT_EQ(Podcast_FullPath("x.mp3", "../out"), "");
    EXPECT_EQ(Podcast_FullPath("x.mp3", "A/../../out"), "");
    EXPECT_EQ(Podcast_FullPath("x.mp3", "/etc"), "");
    EXPECT_EQ(Podcast_FullPath("x.mp3", "C:\\Podcasts"), "");
    Rss& hostile = AddFeed("Hostile", "../outside");
    Item& it = AddItem(hostile, "H", "http://127.0.0.1:9/h.mp3");
    EXPECT_EQ(PodCastDownload_Push(it, hostile.FilePath, 0), 0);
    EXPECT_NE(Log_Text().find("! Error PodCastDownload_Push() refused path"), std::string::npos);
}

TEST_F(PodcastQueueTest, ThePurgeDeletesOldPodcastsByCountAndAgeAndNothingElse) {
    Rss& feed = AddFeed("Feed", "F");
    feed.NbAutoDownLoadPodCast = 1;
    feed.Flags |= RSSFLAG_DEL_OLD_PODCAST;
    AddItem(feed, "New", "http://127.0.0.1:9/new.mp3");
    AddItem(feed, "Old", "http://127.0.0.1:9/old.mp3");
    Rss& keep = AddFeed("Keep", "K"); // no DelOldPodcast: only the age counts
    keep.NbAutoDownLoadPodCast = 1;
    AddItem(keep, "K1", "http://127.0.0.1:9/k1.mp3");
    AddItem(keep, "K2", "http://127.0.0.1:9/k2.mp3");
    Rss& hostile = AddFeed("Hostile", "../outside");
    hostile.NbAutoDownLoadPodCast = 1;
    hostile.Flags |= RSSFLAG_DEL_OLD_PODCAST;
    AddItem(hostile, "H1", "http://127.0.0.1:9/h1.mp3");
    AddItem(hostile, "H2", "http://127.0.0.1:9/h2.mp3");
    fs::create_directories(Pod("F"));
    fs::create_directories(Pod("K"));
    fs::create_directories(m_dir.File("outside"));
    for (const std::string& p :
         {Pod("F/new.mp3"), Pod("F/old.mp3"), Pod("F/notes.txt"), Pod("K/k1.mp3"), Pod("K/k2.mp3"),
          Pod("K/recent.ogg"), m_dir.File("outside/h2.mp3")})
        WriteFileOrDie(p, "x");
    for (const std::string& p : {Pod("F/new.mp3"), Pod("F/notes.txt"), Pod("K/k1.mp3"),
                                 Pod("K/k2.mp3"), m_dir.File("outside/h2.mp3")})
        ASSERT_EQ(RunProcess({"/usr/bin/touch", "-d", "10 days ago", p}).ExitCode, 0);

    Pref.NbDayBeforeDelPodCast = 0; // count only
    EXPECT_EQ(PodCastPurge(), 1);
    EXPECT_FALSE(fs::exists(Pod("F/old.mp3")));
    EXPECT_TRUE(fs::exists(Pod("F/new.mp3")));
    EXPECT_TRUE(fs::exists(Pod("K/k2.mp3")));

    Pref.NbDayBeforeDelPodCast = 5; // and age
    EXPECT_EQ(PodCastPurge(), 1);
    EXPECT_FALSE(fs::exists(Pod("K/k2.mp3")));
    EXPECT_TRUE(fs::exists(Pod("K/k1.mp3"))) << "protected: among the newest";
    EXPECT_TRUE(fs::exists(Pod("F/new.mp3"))) << "protected: among the newest";
    EXPECT_TRUE(fs::exists(Pod("F/notes.txt"))) << "not a podcast file";
    EXPECT_TRUE(fs::exists(Pod("K/recent.ogg"))) << "young enough";
    EXPECT_TRUE(fs::exists(m_dir.File("outside/h2.mp3"))) << "outside the podcast folder";
    EXPECT_NE(Log_Text().find("! PodCastPurge() refused FilePath=../outside"), std::string::npos);
}

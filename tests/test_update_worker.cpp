// The update worker thread driven by the 100 ms tick, in this process, against a real
// local HTTP server: merges, a failed feed queued last, an extractor feed, the spoken
// outcome of a chosen feed, the end of the initial update, and stopping a worker that
// hangs in a stalled download.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"
#include "update/core/FeedParse.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {

class UpdateWorker : public ::testing::Test {
  protected:
    void SetUp() override {
        m_old = std::filesystem::current_path().string();
        std::filesystem::current_path(m_dir.Path());
        Log_Reset();
        Log_SetFile(m_dir.File("Orvalis.Log"));
        RssList.Clear();
        DownloadQueue.Clear();
        Pref_Defaults();
        PrefFlags = 0;
        ThreadStopMask_Set(0);
        Network_Init();
        FeedThread_Init();
        FeedThread_Hooks() = FeedThreadHooks();
        FeedThread_Hooks().Say = [this](const std::string& t, int) { m_spoken.push_back(t); };
        FeedThread_Hooks().FeedDone = [this](const DownloadEntry& e, int parsed) {
            m_done.push_back(e.Name + "=" + std::to_string(parsed));
        };
        Notifications_Shutdown();
    }
    void TearDown() override {
        StopUpdates();
        Notifications_Shutdown();
        FeedThread_Hooks() = FeedThreadHooks();
        RssList.Clear();
        std::filesystem::current_path(m_old);
    }
    Rss& AddFeed(int32_t id, const std::string& name, const std::string& url,
                 const std::string& kind = "RssV2") {
        RssList.Reset();
        Rss& f = RssList.AddLast();
        f.RssID = id;
        f.Name = name;
        f.Url = url;
        f.ExtractAs = kind;
        f.Interval = 60;
        f.Flags = RSSFLAG_ACTUALIZE_ON_START;
        return f;
    }
    // Ticks (faster than the window's timer: this is not about timing) until the queue
    // is empty and the worker has ended.
    void RunQueue() {
        for (int i = 0; i < 6000; ++i) {
            ExtractFeedByThread();
            if (DownloadQueue_Size() == 0 && !FeedThread_IsRunning()) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        FAIL() << "the queue did not run empty";
    }
    // Outcomes in queue order: with one worker they come in that order; with several,
    // in the order the concurrent downloads end, so only the set is compared.
    static std::vector<std::string> EndOrder(std::vector<std::string> outcomes) {
        if (Pref.UpdateThreads > 1) std::sort(outcomes.begin(), outcomes.end());
        return outcomes;
    }
    static HttpReply Xml(const std::string& fixture) {
        return HttpOk(ReadFileOrEmpty(TestData("update/" + fixture)), "application/xml");
    }
    static std::vector<std::string> Titles(const Rss& f) {
        std::vector<std::string> t;
        for (const Item& it : f.Items)
            t.push_back(it.Title);
        return t;
    }
    TempDir m_dir;
    std::string m_old;
    std::vector<std::string> m_spoken, m_done;
};

} // namespace

TEST_F(UpdateWorker, AFailedFeedIsMarkedAndQueuedBehindHealthyOnesNextTime) {
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    server.Serve("/archive.xml", Xml("archive_first_fetch.xml"));
    AddFeed(1, "News", server.Url("/news.xml"));
    AddFeed(2, "Missing", server.Url("/missing.xml"));
    AddFeed(3, "Archive", server.Url("/archive.xml"), "Atom");
    ActualizeFeeds(1, 0);
    RunQueue();
    EXPECT_EQ(EndOrder(m_done), EndOrder({"News=3", "Missing=0", "Archive=2"}));
    const Rss& missing = *RssList.Select(1);
    EXPECT_EQ(missing.ExtractError, 1);
    EXPECT_NE(missing.Updated, 0);
    EXPECT_TRUE(missing.Items.Empty());
    EXPECT_EQ(RssList.Select(0)->ExtractError, 0);
    EXPECT_NE(RssList.Select(0)->LastBuildDate, 0);
    EXPECT_EQ(Titles(*RssList.Select(2)), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_NE(Log_Text().find("! No feed extracted !"), std::string::npos);
    EXPECT_NE(Log_Text().find("3 added, 0 updated, of 3 extracted in "), std::string::npos);

    // The next round: the failed feed goes behind the others, whatever the catalogue order.
    ActualizeFeeds(1, 0);
    std::vector<int32_t> ids;
    for (const DownloadEntry& e : DownloadQueue)
        ids.push_back(e.RssID);
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 3, 2}));
    RunQueue();
}

TEST_F(UpdateWorker, AChosenFeedHasItsOutcomeSpoken) {
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    AddFeed(1, "News", server.Url("/news.xml"));
    AddFeed(2, "Missing", server.Url("/missing.xml"));
    DownloadRSS_Push(1, 1);
    DownloadRSS_Push(2, 1);
    RunQueue();
    DownloadRSS_Push(1, 1);
    RunQueue();
    ASSERT_EQ(m_spoken.size(), 3u);
    EXPECT_EQ(EndOrder({m_spoken[0], m_spoken[1]}),
              EndOrder({"News actualisé, 3 nouveaux articles !",
                        "Erreur durant l'actualisation de Missing"}));
    EXPECT_EQ(m_spoken[2], "News actualisé !");
}

TEST_F(UpdateWorker, TheInitialUpdateEndsWithItsAlarmWhenTheQueueRunsEmpty) {
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    AddFeed(1, "News", server.Url("/news.xml"));
    PrefFlags = PREF_ALARMFINISHFIRSTACTUALIZE;
    ActualizeFeeds(1, 1);
    EXPECT_TRUE(AppState_Test(APPSTATE_FIRST_UPDATES));
    RunQueue();
    ExtractFeedByThread();
    EXPECT_FALSE(AppState_Test(APPSTATE_FIRST_UPDATES));
    const auto pending = Notifications_Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].Text, "Fin d'actualisation initiale des flux !");
    EXPECT_EQ(pending[0].Type, ALARM_FIRST_UPDATE_DONE);
    EXPECT_TRUE(std::filesystem::exists(m_dir.File("Feeds")));
}

TEST_F(UpdateWorker, AnExtractorFeedRunsItsProgramOnTheDownloadedPage) {
    LocalHttpServer server;
    server.Serve("/page.html", HttpOk("<p>listing</p>", "text/html"));
    std::filesystem::create_directory(m_dir.File("PlugIn"));
    const std::string program = m_dir.File("PlugIn/OV-Listing.exe");
    WriteFileOrDie(program,
                   "#!/usr/bin/python3\nimport sys\n"
                   "page = open(sys.argv[1]).read()\n"
                   "text = 'Title=' + page + '\\r\\nLink=' + sys.argv[2] + '\\r\\nOrvalis\\r\\n"
                   "Title=Second\\r\\n'\n"
                   "sys.stdout.buffer.write(text.encode('utf-16-le'))\n");
    ::chmod(program.c_str(), 0755);
    PlugInPath = m_dir.File("PlugIn") + "/";
    AddFeed(1, "Listing", server.Url("/page.html"), "OV-Listing.exe");
    DownloadRSS_Push(1, 0);
    RunQueue();
    const Rss& f = *RssList.Select(0);
    EXPECT_EQ(Titles(f), (std::vector<std::string>{"listing", "Second"}))
        << "titles lose their tags as any feed's";
    EXPECT_EQ(f.Items.begin()->Link, server.Url("/page.html"));
    EXPECT_EQ(m_done, (std::vector<std::string>{"Listing=2"}));
}

TEST_F(UpdateWorker, AStopDuringAStalledDownloadEndsTheWorkerWithoutKillingIt) {
    LocalHttpServer server;
    HttpReply stalled = Xml("news_first_fetch.xml");
    stalled.StallAfter = 20;
    server.Serve("/stalled.xml", stalled);
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    AddFeed(1, "Stalled", server.Url("/stalled.xml"));
    AddFeed(2, "News", server.Url("/news.xml"));
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    ExtractFeedByThread();
    ASSERT_TRUE(FeedThread_IsRunning());
    for (int i = 0; i < 3000 && server.OpenConnections() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    WriteFileOrDie(m_dir.File("Orvalis-ThreadTmp.htm"), "left over");

    StopUpdates();
    EXPECT_FALSE(FeedThread_IsRunning()) << "the worker gave up within the 3 s wait";
    EXPECT_EQ(DownloadQueue_Size(), 0u);
    EXPECT_EQ(Log_Text().find("still running"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("Orvalis-ThreadTmp.htm")));
    EXPECT_TRUE(RssList.Select(0)->Items.Empty());
    EXPECT_EQ(IsThreadKilled(1), 0u) << "the stop request is withdrawn once obeyed";

    // The queue works again after the stop.
    DownloadRSS_Push(2, 0);
    RunQueue();
    EXPECT_EQ(RssList.Select(1)->Items.Size(), 3u);
}

TEST_F(UpdateWorker, AFeedDeletedWhileInProgressCountsAsFailedWithoutHarm) {
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    AddFeed(1, "News", server.Url("/news.xml"));
    DownloadRSS_Push(1, 0);
    ExtractFeedByThread();
    RssList.Clear();
    RunQueue();
    EXPECT_EQ(m_done, (std::vector<std::string>{"News=0"}));
}

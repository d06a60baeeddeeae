// Several update workers at once, against a real local HTTP server: the placement rules
// with entries in progress, a stop of four stalled workers (an extractor among them), a
// feed deleted while its download runs, and the same outcome with one and four workers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "shell/base/AppPaths.h"
#include "shell/base/CloseThread.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {

class UpdateWorkers : public ::testing::Test {
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
        ResetHooks();
        Notifications_Shutdown();
        std::filesystem::create_directory(m_dir.File("PlugIn"));
        PlugInPath = m_dir.File("PlugIn") + "/";
    }
    void TearDown() override {
        StopUpdates();
        FeedThread_SetWake({});
        Notifications_Shutdown();
        FeedThread_Hooks() = FeedThreadHooks();
        RssList.Clear();
        std::filesystem::current_path(m_old);
    }
    void ResetHooks() {
        m_spoken.clear();
        m_done.clear();
        FeedThread_Hooks() = FeedThreadHooks();
        FeedThread_Hooks().Say = [this](const std::string& t, int) { m_spoken.push_back(t); };
        FeedThread_Hooks().FeedDone = [this](const DownloadEntry& e, int parsed) {
            m_done.push_back(e.Name + "=" + std::to_string(parsed));
        };
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
        f.MaxFeed = 1;
        f.Flags = RSSFLAG_ACTUALIZE_ON_START;
        return f;
    }
    Rss* Feed(int32_t id) {
        for (Rss& r : RssList)
            if (r.RssID == id) return &r;
        return nullptr;
    }
    std::vector<int32_t> QueueIds() {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        std::vector<int32_t> ids;
        for (const DownloadEntry& e : DownloadQueue)
            ids.push_back(e.RssID);
        return ids;
    }
    int Notified(int32_t id) {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        for (const DownloadEntry& e : DownloadQueue)
            if (e.RssID == id) return e.Notify;
        return -1;
    }
    // Ticks the way the tool does (at each worker's end, at the latest every 100 ms) until
    // the queue is empty and every worker has ended; notes the most workers seen at once.
    void RunQueue() {
        for (int i = 0; i < 3000; ++i) {
            ExtractFeedByThread();
            m_mostRunning = std::max(m_mostRunning, FeedThread_RunningCount());
            if (DownloadQueue_Size() == 0 && !FeedThread_IsRunning()) return;
            FeedThread_WaitForWake(100);
        }
        FAIL() << "the queue did not run empty";
    }
    template <class Test> void WaitFor(Test test) {
        for (int i = 0; i < 2000 && !test(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_TRUE(test());
    }
    // An answer that never comes: the connection is accepted and nothing is ever sent.
    static HttpReply Silence() {
        HttpReply r;
        r.Raw = "HTTP/1.1 200 OK\r\n\r\n";
        r.StallAfter = 0;
        return r;
    }
    static HttpReply Xml(const std::string& fixture) {
        return HttpOk(ReadFileOrEmpty(TestData("update/" + fixture)), "application/xml");
    }
    // An extractor that writes a mark file, then the page's first line as a title and the
    // address as the link.
    std::string Extractor(const std::string& name, bool hang = false) {
        const std::string program = m_dir.File("PlugIn/" + name);
        WriteFileOrDie(program,
                       std::string("#!/usr/bin/python3\nimport sys, time\n"
                                   "open(sys.argv[1] + '.ran', 'w').close()\n") +
                           (hang ? "time.sleep(60)\n" : "") +
                           "page = open(sys.argv[1]).read().splitlines()[0]\n"
                           "text = 'Title=' + page + '\\r\\nLink=' + sys.argv[2] + '\\r\\n'\n"
                           "sys.stdout.buffer.write(text.encode('utf-16-le'))\n");
        ::chmod(program.c_str(), 0755);
        return name;
    }
    TempDir m_dir;
    std::string m_old;
    std::vector<std::string> m_spoken, m_done;
    int m_mostRunning = 0;
};

} // namespace

TEST_F(UpdateWorkers, PrioritiesPlaceBehindTheEntriesInProgressAndFailedFeedsStayLast) {
    Pref.UpdateThreads = 4;
    LocalHttpServer server;
    server.Serve("/silent.xml", Silence());
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    for (int32_t id : {1, 2, 3, 4})
        AddFeed(id, "s" + std::to_string(id), server.Url("/silent.xml?" + std::to_string(id)));
    Feed(2)->ExtractError = 1;
    AddFeed(5, "n5", server.Url("/news.xml"));
    AddFeed(6, "f6", server.Url("/missing.xml")).ExtractError = 1;
    AddFeed(7, "n7", server.Url("/news.xml?7"));
    AddFeed(8, "c8", server.Url("/news.xml?8"));
    for (int32_t id : {1, 2, 3, 4})
        DownloadRSS_Push(id, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2})) << "the failed feed goes last";

    ExtractFeedByThread(); // four workers start, the failed feed's among them
    WaitFor([&] { return server.OpenConnections() == 4 && server.Paths().size() == 4; });
    EXPECT_EQ(FeedThread_RunningCount(), 4);
    // Nothing is placed before an entry in progress: the first place after them stands
    // for the document's second place.
    DownloadRSS_Push(5, 0);
    DownloadRSS_Push(6, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 5, 6}));
    DownloadRSS_Push(8, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 8, 5, 6}));
    EXPECT_EQ(Notified(8), 1);
    EXPECT_NE(Log_Text().find("- DownloadRSS_Push(8=c8) pos=4"), std::string::npos);
    // Healthy, while a failed feed is in progress: right behind the entries in progress,
    // as behind a failed head.
    DownloadRSS_Push(7, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 7, 8, 5, 6}));
    DownloadRSS_Push(5, 1); // waiting: exchanged with the first waiting entry
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 5, 8, 7, 6}));
    EXPECT_NE(Log_Text().find("- DownloadRSS_Push( Priority to 5=n5) Pos=4"), std::string::npos);
    DownloadRSS_Push(3, 1); // in progress: only its outcome will be spoken
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 5, 8, 7, 6}));
    EXPECT_EQ(Notified(3), 1);
    DownloadRSS_Remove(4); // in progress: stays until its merge, no longer spoken
    DownloadRSS_Remove(7);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2, 5, 8, 6}));
    EXPECT_EQ(Notified(4), 0);

    // All four are busy: nothing more starts, and no feed is ever fetched twice at once.
    ExtractFeedByThread();
    EXPECT_EQ(FeedThread_RunningCount(), 4);
    EXPECT_EQ(server.Paths().size(), 4u);
    auto paths = server.Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(std::unique(paths.begin(), paths.end()), paths.end());
    EXPECT_TRUE(m_done.empty());
}

TEST_F(UpdateWorkers, AStopEndsFourStalledWorkersAnExtractorAmongThemWithinTheWait) {
    Pref.UpdateThreads = 4;
    LocalHttpServer server;
    server.Serve("/silent.xml", Silence());
    server.Serve("/page.html", HttpOk("listing\n", "text/html"));
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    for (int32_t id : {1, 2, 3})
        AddFeed(id, "s" + std::to_string(id), server.Url("/silent.xml?" + std::to_string(id)));
    AddFeed(4, "Hanging", server.Url("/page.html"), Extractor("OV-Hang.exe", true));
    AddFeed(5, "News", server.Url("/news.xml"));
    for (int32_t id : {1, 2, 3, 4, 5})
        DownloadRSS_Push(id, 0);
    ExtractFeedByThread();
    // The extractor counts as a worker: the fifth feed waits.
    WaitFor([&] {
        return server.OpenConnections() >= 3 &&
               std::filesystem::exists(FeedThread_PageFile(3) + ".ran");
    });
    EXPECT_EQ(FeedThread_RunningCount(), 4);
    ExtractFeedByThread();
    EXPECT_EQ(FeedThread_RunningCount(), 4);
    for (int w = 0; w < 4; ++w)
        WriteFileOrDie(m_dir.File(FeedThread_PageFile(w)), "left over");

    EXPECT_EQ(CloseThread(WORKER_FEED_UPDATE), 0u) << "every worker gave up within 3 s";
    EXPECT_FALSE(FeedThread_IsRunning());
    EXPECT_EQ(Log_Text().find("still running"), std::string::npos);
    for (int w = 0; w < 4; ++w)
        EXPECT_FALSE(std::filesystem::exists(m_dir.File(FeedThread_PageFile(w))))
            << FeedThread_PageFile(w);
    StopUpdates();
    EXPECT_EQ(DownloadQueue_Size(), 0u);
    EXPECT_EQ(IsThreadKilled(WORKER_FEED_UPDATE), 0u);
    EXPECT_TRUE(m_done.empty()) << "nothing stopped is merged";
    EXPECT_TRUE(Feed(5)->Items.Empty());

    // The queue works again after the stop.
    DownloadRSS_Push(5, 0);
    RunQueue();
    EXPECT_EQ(m_done, (std::vector<std::string>{"News=3"}));
}

TEST_F(UpdateWorkers, AFeedDeletedWhileItsDownloadRunsIsMergedAsAFailureWithoutHarm) {
    Pref.UpdateThreads = 4;
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    for (int32_t id : {1, 2, 3, 4, 5})
        AddFeed(id, "n" + std::to_string(id), server.Url("/news.xml?" + std::to_string(id)));
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 1); // chosen: its outcome would be spoken
    for (int32_t id : {3, 4, 5})
        DownloadRSS_Push(id, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    ExtractFeedByThread();
    // What deleting feeds 2 (in progress) and 5 (waiting) does: the queue first, then the
    // catalogue.
    for (int32_t id : {2, 5}) {
        DownloadRSS_Remove(id);
        RssList.Raw().remove_if([id](const Rss& r) { return r.RssID == id; });
    }
    RssList.Reset();
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2, 3, 4}));
    RunQueue();
    std::sort(m_done.begin(), m_done.end());
    EXPECT_EQ(m_done, (std::vector<std::string>{"n1=3", "n2=0", "n3=3", "n4=3"}));
    EXPECT_TRUE(m_spoken.empty()) << m_spoken.front();
    EXPECT_EQ(RssList.Size(), 3u) << "the deleted feed is not brought back";
    for (int32_t id : {1, 3, 4})
        EXPECT_EQ(Feed(id)->Items.Size(), 3u);
    EXPECT_EQ(Log_Text().find("! Error DownloadRSS"), std::string::npos);
}

TEST_F(UpdateWorkers, OneAndFourWorkersGiveTheSameArticlesMarksAndMessages) {
    LocalHttpServer server;
    Extractor("OV-List.exe");
    server.Serve("/page.html", HttpOk("listing\n", "text/html"));
    std::atomic<int> wakes{0};
    struct Outcome {
        std::map<std::string, std::string> Texts; // name -> articles' text, failure mark
        std::vector<std::string> Done, Spoken;
    };
    // Two rounds over the same feeds: the first fetch, then changed documents.
    auto run = [&](int threads) {
        Pref.UpdateThreads = threads;
        RssList.Clear();
        Items_ResetFeedIDCounter();
        ResetHooks();
        m_mostRunning = 0;
        server.Serve("/news.xml", Xml("news_first_fetch.xml"));
        server.Serve("/archive.xml", Xml("archive_first_fetch.xml"));
        AddFeed(1, "News", server.Url("/news.xml"));
        AddFeed(2, "Missing", server.Url("/missing.xml"));
        AddFeed(3, "Archive", server.Url("/archive.xml"), "Atom");
        AddFeed(4, "Listing", server.Url("/page.html"), "OV-List.exe");
        AddFeed(5, "News again", server.Url("/news.xml?again"));
        AddFeed(6, "Archive again", server.Url("/archive.xml?again"), "Atom");
        ActualizeFeeds(1, 0);
        RunQueue();
        server.Serve("/news.xml", Xml("news_one_new_one_changed_one_gone.xml"));
        server.Serve("/archive.xml", Xml("archive_one_gone_kept_by_maxfeed.xml"));
        ActualizeFeeds(1, 0);
        DownloadRSS_Push(1, 1);
        DownloadRSS_Push(2, 1);
        RunQueue();
        EXPECT_LE(m_mostRunning, threads);
        Outcome o;
        for (const Rss& r : RssList)
            o.Texts[r.Name] = Feed_ItemsText(r) + "ExtractError=" + std::to_string(r.ExtractError);
        o.Done = m_done;
        o.Spoken = m_spoken;
        std::sort(o.Done.begin(), o.Done.end());
        std::sort(o.Spoken.begin(), o.Spoken.end());
        return o;
    };
    FeedThread_SetWake([&] { ++wakes; });
    const Outcome one = run(1);
    EXPECT_GT(wakes.load(), 0) << "a worker's end asks for a tick";
    EXPECT_EQ(m_mostRunning, 1);
    const Outcome four = run(4);
    EXPECT_GT(m_mostRunning, 1);
    EXPECT_EQ(one.Texts, four.Texts);
    EXPECT_EQ(one.Done, four.Done);
    EXPECT_EQ(one.Spoken, four.Spoken);
    EXPECT_EQ(one.Done.size(), 12u);
    EXPECT_EQ(one.Spoken, (std::vector<std::string>{"Erreur durant l'actualisation de Missing",
                                                    "News actualisé, 1 nouveaux articles !"}));
    EXPECT_NE(one.Texts.at("Listing").find("listing"), std::string::npos);
    EXPECT_NE(one.Texts.at("News").find("Four"), std::string::npos);
}

TEST_F(UpdateWorkers, UpdateThreadsIsBoundedAndWrittenOnlyWhenNotTheDefault) {
    const int32_t byDefault = Pref_DefaultUpdateThreads();
    WriteFileOrDie(m_dir.File("Orvalis.ini"), "UpdateThreads = 40\r\n");
    Pref_Charge("Orvalis.ini", 1);
    EXPECT_EQ(Pref.UpdateThreads, 16);
    WriteFileOrDie(m_dir.File("Orvalis.ini"), "UpdateThreads = 0\r\n");
    Pref_Charge("Orvalis.ini", 1);
    EXPECT_EQ(Pref.UpdateThreads, 1);
    WriteFileOrDie(m_dir.File("Orvalis.ini"), "");
    Pref_Charge("Orvalis.ini", 1);
    EXPECT_EQ(Pref.UpdateThreads, byDefault);
    ASSERT_TRUE(Pref_Save(1));
    EXPECT_EQ(ReadFileOrEmpty(m_dir.File("Orvalis.ini")).find("UpdateThreads"), std::string::npos);
    Pref.UpdateThreads = byDefault == 7 ? 8 : 7;
    ASSERT_TRUE(Pref_Save(1));
    IniReader ini;
    ASSERT_TRUE(ini.Open(m_dir.File("Orvalis.ini")));
    EXPECT_EQ(ini.ReadLong("UpdateThreads", 0), Pref.UpdateThreads);
}

// orvalis-tool update on a real data folder, twice, against a real local HTTP server: the
// articles as stored on disk after each run, and a stop signal during a stalled download.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "shell/base/Log.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

extern char** environ;

namespace {

// Loads and saves the data folder in this process, as the program would, around runs of
// the tool (which works in its own process).
class DataFolder {
  public:
    explicit DataFolder(const std::string& dir) : m_dir(dir) {
        m_old = std::filesystem::current_path().string();
        std::filesystem::current_path(dir);
        Log_Reset();
        Log_SetFile(dir + "/Test.Log");
        RssList.Clear();
    }
    ~DataFolder() {
        RssList.Clear();
        std::filesystem::current_path(m_old);
    }
    void Load() {
        RssList.Clear();
        ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
        Feed_Read();
    }
    Rss* Feed(const std::string& name) {
        for (Rss& r : RssList)
            if (r.Name == name) return &r;
        return nullptr;
    }

  private:
    std::string m_dir, m_old;
};

std::vector<std::string> Titles(const Rss& f) {
    std::vector<std::string> t;
    for (const Item& it : f.Items)
        t.push_back(it.Title);
    return t;
}

const Item* ByGuid(Rss& f, const std::string& guid) {
    for (const Item& it : f.Items)
        if (it.GUID == guid) return &it;
    return nullptr;
}

HttpReply Xml(const std::string& fixture) {
    return HttpOk(ReadFileOrEmpty(TestData("update/" + fixture)), "application/xml");
}

void AddFeed(const std::string& name, const std::string& url, const std::string& kind,
             int32_t maxFeed) {
    Rss r;
    r.Name = name;
    r.Url = url;
    r.ExtractAs = kind;
    r.MaxFeed = maxFeed;
    r.Interval = 60;
    ASSERT_EQ(RssList_Add(r), 1);
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(UpdateTool, ADataFolderUpdatedTwiceKeepsIdentitiesAndReadStates) {
    TempDir dir;
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    server.Serve("/archive.xml", Xml("archive_first_fetch.xml"));
    // "/missing.xml" is not served: 404.
    {
        DataFolder data(dir.Path());
        AddFeed("News", server.Url("/news.xml"), "RssV2", 0);
        AddFeed("Archive", server.Url("/archive.xml"), "Atom", 5);
        AddFeed("Missing", server.Url("/missing.xml"), "RssV2", 0);
        ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    }

    ProcessResult first = RunTool({"update", "--data", dir.Path()});
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    EXPECT_TRUE(Contains(first.Out, "News: 3 new, 0 updated, 3 parsed\n")) << first.Out;
    EXPECT_TRUE(Contains(first.Out, "Archive: 2 new, 0 updated, 2 parsed\n")) << first.Out;
    EXPECT_TRUE(Contains(first.Out, "Missing: failed, no articles extracted\n")) << first.Out;

    std::string id1, id2, id3;
    {
        DataFolder data(dir.Path());
        data.Load();
        Rss* news = data.Feed("News");
        ASSERT_NE(news, nullptr);
        EXPECT_EQ(Titles(*news), (std::vector<std::string>{"One", "Two", "Three"}));
        id1 = ByGuid(*news, "g1")->ID;
        id2 = ByGuid(*news, "g2")->ID;
        id3 = ByGuid(*news, "g3")->ID;
        EXPECT_FALSE(id1.empty());
        // The reader opens One and Two between the runs.
        SetItemRead(*news->Items.Select(0), 1, 1);
        SetItemRead(*news->Items.Select(1), 1, 1);
        news->ItemsChanged = 1;
        ASSERT_EQ(Feed_Save(), 0);
        EXPECT_TRUE(data.Feed("Missing")->Items.Empty());
    }

    server.Serve("/news.xml", Xml("news_one_new_one_changed_one_gone.xml"));
    server.Serve("/archive.xml", Xml("archive_one_gone_kept_by_maxfeed.xml"));
    ProcessResult second = RunTool({"update", "--data", dir.Path()});
    ASSERT_EQ(second.ExitCode, 0) << second.Err;
    EXPECT_TRUE(Contains(second.Out, "News: 1 new, 1 updated, 3 parsed\n")) << second.Out;
    EXPECT_TRUE(Contains(second.Out, "Archive: 1 new, 0 updated, 2 parsed\n")) << second.Out;

    DataFolder data(dir.Path());
    data.Load();
    Rss* news = data.Feed("News");
    ASSERT_NE(news, nullptr);
    // Document order; "Three" left the document and MaxFeed 0 keeps nothing else.
    EXPECT_EQ(Titles(*news), (std::vector<std::string>{"Four", "One", "Two"}));
    EXPECT_EQ(ByGuid(*news, "g1")->ID, id1);
    EXPECT_EQ(ByGuid(*news, "g2")->ID, id2);
    EXPECT_EQ(ByGuid(*news, "g1")->Readed & 1, 1) << "unchanged article stays read";
    EXPECT_EQ(ByGuid(*news, "g2")->Readed & 1, 1) << "changed article keeps its state";
    EXPECT_EQ(ByGuid(*news, "g2")->Description, "second text, corrected");
    EXPECT_EQ(ByGuid(*news, "g4")->Readed & 1, 0);
    EXPECT_EQ(ByGuid(*news, "g3"), nullptr);
    // The title that changed only in case keeps the stored spelling.
    EXPECT_EQ(ByGuid(*news, "g1")->Title, "One");

    Rss* archive = data.Feed("Archive");
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(Titles(*archive), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
}

TEST(UpdateTool, AStopSignalDuringAStalledDownloadSavesAndEnds) {
    TempDir dir;
    LocalHttpServer server;
    server.Serve("/news.xml", Xml("news_first_fetch.xml"));
    HttpReply stalled = Xml("news_first_fetch.xml");
    stalled.StallAfter = 20;
    server.Serve("/stalled.xml", stalled);
    {
        DataFolder data(dir.Path());
        AddFeed("News", server.Url("/news.xml"), "RssV2", 0);
        AddFeed("Stalled", server.Url("/stalled.xml"), "RssV2", 0);
        ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    }
    const std::string outFile = dir.File("out.txt");
    const std::string tool = BinPath("orvalis-tool");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const char* argv[] = {tool.c_str(), "update", "--data", dir.Path().c_str(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(
        posix_spawn(&pid, tool.c_str(), &fa, nullptr, const_cast<char* const*>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&fa);

    // Wait until the tool hangs in the stalled download, then ask it to stop.
    bool requested = false;
    for (int i = 0; i < 3000 && !requested; ++i) {
        for (const std::string& p : server.Paths())
            if (p == "/stalled.xml") requested = true;
        if (!requested) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(requested);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    const std::string out = ReadFileOrEmpty(outFile);
    EXPECT_TRUE(Contains(out, "News: 3 new, 0 updated, 3 parsed\n")) << out;
    EXPECT_TRUE(Contains(out, "stopped\n")) << out;
    const std::string log = ReadFileOrEmpty(dir.File("Orvalis.Log"));
    EXPECT_FALSE(Contains(log, "still running")) << "the worker gave up within the wait";
    EXPECT_FALSE(std::filesystem::exists(dir.File("Orvalis-ThreadTmp.htm")));

    DataFolder data(dir.Path());
    data.Load();
    ASSERT_NE(data.Feed("News"), nullptr);
    EXPECT_EQ(Titles(*data.Feed("News")), (std::vector<std::string>{"One", "Two", "Three"}));
}

TEST(UpdateTool, RefusesAMissingDataFolderWithAClearError) {
    ProcessResult r = RunTool({"update", "--data", "/nonexistent/folder"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_TRUE(Contains(r.Err, "no folder /nonexistent/folder")) << r.Err;
}

TEST(UpdateTool, AnExtractorFeedRunsTheShippedProgramOnTheServedPage) {
    TempDir dir;
    LocalHttpServer server;
    server.Serve(
        "/search",
        HttpOk(ReadFileOrEmpty(TestData("extractors/OV-YouTube/search-results-in-utf-8.html")),
               "text/html"));
    {
        DataFolder data(dir.Path());
        AddFeed("Crêpes", server.Url("/search"), "OV-YouTube.exe", 0);
        ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    }
    ProcessResult r = RunTool({"update", "--data", dir.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Out, "Crêpes: 2 new, 0 updated, 2 parsed\n")) << r.Out;
    DataFolder data(dir.Path());
    data.Load();
    ASSERT_NE(data.Feed("Crêpes"), nullptr);
    EXPECT_EQ(Titles(*data.Feed("Crêpes")),
              (std::vector<std::string>{"Recette de la crêpe – facile", "Sans lien ni durée"}));
}

// orvalis-tool podcasts and podname on a real data folder against a real local HTTP
// server: files named by their masks in their feed folders, the queue file, and a queue of
// three jobs that survives a stop signal in order.
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
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

// Writes a data folder: preferences naming the podcast folder, a podcast feed with three
// enclosures to fetch automatically, and a feed whose sub-folder and title try to climb out.
void MakeDataFolder(const std::string& dir, const LocalHttpServer& server) {
    WriteFileOrDie(dir + "/Orvalis.ini", "PodcastPath = " + dir + "/Podcast/\r\n");
    const std::string old = fs::current_path().string();
    fs::current_path(dir);
    Log_Reset();
    Log_SetFile(dir + "/Test.Log");
    RssList.Clear();
    Rss show;
    show.Name = "Show";
    show.Url = server.Url("/show.xml");
    show.ExtractAs = "RssV2";
    show.FilePath = "Show";
    show.CustomPodcastFileName = "%RN %PF";
    show.NbAutoDownLoadPodCast = 3;
    ASSERT_EQ(RssList_Add(show), 1);
    Rss evil = show;
    evil.Name = "Evil";
    evil.Url = server.Url("/evil.xml");
    evil.FilePath = "../evil";
    evil.CustomPodcastFileName = "%PT";
    evil.NbAutoDownLoadPodCast = 1;
    ASSERT_EQ(RssList_Add(evil), 1);
    for (Rss& r : RssList) {
        const int count = r.Name == "Show" ? 3 : 1;
        for (int i = 1; i <= count; ++i) {
            Item it;
            it.Title = r.Name == "Show" ? "Episode " + std::to_string(i) : "../../escape";
            it.AudioLink = server.Url("/" + r.Name + std::to_string(i) + ".mp3");
            it.Date = 1462255200 + i;
            Item_AddTo(r, it, 1);
        }
    }
    ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    ASSERT_EQ(Feed_Save(), 0);
    RssList.Clear();
    fs::current_path(old);
}

std::vector<std::string> QueueNames(const std::string& file) {
    IniReader ini;
    std::vector<std::string> names;
    if (!ini.Open(file)) return names;
    for (int i = 0; ini.SelectGroup(std::to_string(i)); ++i)
        names.push_back(ini.ReadString("Name") + " | " +
                        fs::path(ini.ReadString("File")).filename().string());
    return names;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(PodcastTool, ThreeJobsSurviveAStopSignalInOrderAndArriveNamedByTheirMask) {
    TempDir dir;
    LocalHttpServer server;
    HttpReply stalled = HttpOk(std::string(40000, '1'), "audio/mpeg");
    stalled.StallAfter = 500;
    server.Serve("/Show1.mp3", stalled);
    server.Serve("/Show2.mp3", HttpOk("two", "audio/mpeg"));
    server.Serve("/Show3.mp3", HttpOk("three", "audio/mpeg"));
    server.Serve("/Evil1.mp3", HttpOk("evil", "audio/mpeg"));
    MakeDataFolder(dir.Path(), server);

    const std::string outFile = dir.File("out.txt");
    const std::string tool = BinPath("orvalis-tool");
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const char* argv[] = {tool.c_str(), "podcasts", "--data", dir.Path().c_str(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(
        posix_spawn(&pid, tool.c_str(), &fa, nullptr, const_cast<char* const*>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&fa);
    bool requested = false;
    for (int i = 0; i < 3000 && !requested; ++i) {
        for (const std::string& p : server.Paths())
            if (p == "/Show1.mp3") requested = true;
        if (!requested) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(requested);
    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
    EXPECT_TRUE(Contains(ReadFileOrEmpty(outFile), "stopped\n"));
    const std::vector<std::string> expected = {
        "Episode 1 | Show Show1.mp3", "Episode 2 | Show Show2.mp3", "Episode 3 | Show Show3.mp3",
        "../../escape | ..-..-escape.mp3"};
    EXPECT_EQ(QueueNames(dir.File("PodDownload.Ini")), expected);
    EXPECT_FALSE(fs::exists(dir.File("Podcast/Show/Show Show1.mp3")));

    // The next run starts again from the first job, and downloads them in the same order.
    server.Serve("/Show1.mp3", HttpOk("one", "audio/mpeg"));
    ProcessResult second = RunTool({"podcasts", "--data", dir.Path()});
    ASSERT_EQ(second.ExitCode, 0) << second.Err;
    const std::string pod = dir.Path() + "/Podcast/Show/";
    EXPECT_EQ(second.Out, "ok " + pod + "Show Show1.mp3\nok " + pod + "Show Show2.mp3\nok " + pod +
                              "Show Show3.mp3\nok " + dir.Path() + "/Podcast/..-..-escape.mp3\n");
    EXPECT_EQ(ReadFileOrEmpty(pod + "Show Show1.mp3"), "one");
    EXPECT_EQ(ReadFileOrEmpty(pod + "Show Show3.mp3"), "three");
    EXPECT_FALSE(fs::exists(dir.File("PodDownload.Ini"))) << "the queue is empty";
    // The catalogue reads the climbing sub-folder as none, and the title cannot climb either.
    EXPECT_FALSE(fs::exists(dir.File("evil")));
    EXPECT_FALSE(fs::exists(dir.File("escape.mp3")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("Podcast/..-..-escape.mp3")), "evil");
}

TEST(PodcastTool, PodnameMakesTheFileNameOfAMask) {
    ProcessResult r = RunTool({"podname", "%yyyy-%mm-%dd %RN", "--feed", "Le Journal", "--title",
                               "t", "--file", "abc.mp3", "--date", "2016-05-03"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "2016-05-03 Le Journal.mp3\n");
    r = RunTool({"podname", "%PT %yyyy", "--feed", "F", "--title", "a/b:\"c\"/../..", "--file",
                 "x.ogg", "--date", "2016-05-03"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "a-b_c_-..-.. 2016.ogg\n");
}

TEST(PodcastTool, SyncpodOntoAFolderDeletesTheOldPodcastAndKeepsTheTextFile) {
    TempDir dir;
    LocalHttpServer server;
    MakeDataFolder(dir.Path(), server);
    fs::create_directories(dir.File("Podcast/Show"));
    WriteFileOrDie(dir.File("Podcast/Show/Show1.mp3"), "one");
    fs::create_directories(dir.File("player/Show"));
    WriteFileOrDie(dir.File("player/Show/old.mp3"), "old");
    WriteFileOrDie(dir.File("player/Show/notes.txt"), "text");
    ProcessResult r = RunTool({"syncpod", "--data", dir.Path(), "--to", dir.File("player")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "files 4\ncopied 1\nalready 0\nnotfound 3\ncopyerrors 0\ndeleted 1\n"
                     "deleteerrors 0\n");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("player/Show/Show1.mp3")), "one");
    EXPECT_FALSE(fs::exists(dir.File("player/Show/old.mp3")));
    EXPECT_EQ(ReadFileOrEmpty(dir.File("player/Show/notes.txt")), "text");
    r = RunTool({"syncpod", "--data", dir.Path(), "--to", dir.File("player"), "--copy"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Out, "copied 0\nalready 1\n")) << r.Out;
}

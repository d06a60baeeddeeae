// Start-up without a window: paths and tokens, the command line, the data folder, the
// shipped data, the system's name, stopping workers and the single-instance hand-over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/CloseThread.h"
#include "shell/core/CrashHandler.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/core/Startup.h"
#include "shell/core/SystemInfo.h"
#include "support/TestSupport.h"

namespace {
// Runs each test from its own folder with fresh options and restores what it changed.
struct StartupTest : ::testing::Test {
    void SetUp() override {
        old = getcwd(nullptr, 0);
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);
        const char* d = std::getenv("XDG_DATA_HOME");
        oldData = d ? d : "";
        hadData = d != nullptr;
        PortableMode = CheckUsbClose = DBBaseMode = ConvertMode = NoSaveItems = 0;
        StartOpmlFile.clear();
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        RssList.Clear();
    }
    void TearDown() override {
        if (chdir(old) != 0) ADD_FAILURE();
        free(old);
        if (hadData)
            setenv("XDG_DATA_HOME", oldData.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        RssList.Clear();
    }
    TempDir dir;
    char* old = nullptr;
    std::string oldData;
    bool hadData = false;
};
} // namespace

TEST(PathTools, CleanFileNameRemovesReservedAndControlCharacters) {
    EXPECT_EQ(CleanFileName("a\x01<b>:c\"d/e\\f|g?h*i\x1F"), "abcdefghi");
    EXPECT_EQ(CleanFileName("Émission du jour.mp3"), "Émission du jour.mp3");
    EXPECT_FALSE(IsValidFileName(".."));
    EXPECT_FALSE(IsValidFileName("a/b"));
    EXPECT_TRUE(IsValidFileName("a b.txt"));
}

TEST(PathTools, ParentFolderIgnoresATrailingSeparatorAndKeepsItsOwn) {
    EXPECT_EQ(ParentFolder("/a/b/c/"), "/a/b/");
    EXPECT_EQ(ParentFolder("/a/b/c"), "/a/b/");
    EXPECT_EQ(ParentFolder("D:\\a\\b\\c\\"), "D:\\a\\b\\");
    EXPECT_EQ(ParentFolder("/a"), "/");
    EXPECT_EQ(ParentFolder("name"), "");
}

TEST_F(StartupTest, ResolveFolderClimbsFromTheCurrentFolderWithEitherSeparator) {
    ASSERT_TRUE(Dir_Create(dir.File("a/b/c")));
    ASSERT_EQ(chdir(dir.File("a/b/c").c_str()), 0);
    const std::string root = std::filesystem::canonical(dir.Path()).string();
    EXPECT_EQ(ResolveFolder("..\\..\\x"), root + "/a/x/");
    EXPECT_EQ(ResolveFolder("../../x/"), root + "/a/x/");
    EXPECT_EQ(ResolveFolder("sub"), root + "/a/b/c/sub/");
    EXPECT_EQ(ResolveFolder("/abs\\path"), "/abs/path/");
    EXPECT_EQ(ResolveFolder("   "), "");
}

TEST_F(StartupTest, TokensTurnIntoFoldersAndBackIgnoringCase) {
    PathTools_SetAppPath("/opt/orvalis/");
    EXPECT_EQ(TokenToPath(" %mainapp%Podcast\\ "), "/opt/orvalis/Podcast\\");
    EXPECT_EQ(PathToToken("/opt/orvalis/Podcast/"), "%MainApp%Podcast/");
    EXPECT_EQ(ResolveFolder("%MainApp%Podcast\\"), "/opt/orvalis/Podcast/");
    EXPECT_EQ(TokenToPath("%WindowsRoot%\\x"), "\\x");
    EXPECT_EQ(TokenToPath("%MyDoc%"), GetMyDocumentsFolder());
}

TEST_F(StartupTest, SpecialFoldersFollowTheXdgVariables) {
    setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
    EXPECT_EQ(GetSpecialFolder(CSIDL_APPDATA), "/tmp/xdg-data/");
    EXPECT_EQ(GetSpecialFolder(12345), "");
    EXPECT_EQ(GetMyDocumentsFolder().back(), '/');
}

TEST_F(StartupTest, CheckDirectoryCreatesEachMissingFolderAndTestsWriting) {
    EXPECT_EQ(CheckDirectory(dir.File("x/y/z/file.txt"), 0, 0), 0);
    EXPECT_EQ(CheckDirectory(dir.File("x/y/z/file.txt"), 1, 1), 1);
    EXPECT_TRUE(Dir_Exists(dir.File("x/y/z")));
    EXPECT_FALSE(Dir_Exists(dir.File("x/y/z/file.txt")));
    EXPECT_EQ(CheckDirectory("Feeds\\", 1, 0), 1);
    EXPECT_TRUE(Dir_Exists(dir.File("Feeds")));
    // Only the folder part counts, and nothing is left behind by the write test.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("x/y/z")), {}), 0);
    EXPECT_EQ(CheckDirectory("/proc/no-such-folder/", 1, 1), 0);
}

TEST_F(StartupTest, OptionsIgnoreCaseAndTheLastOpmlFileWins) {
    Startup_SetProgramFile(dir.File("Orvalis"));
    ASSERT_EQ(ParseCommandLine(
                  {"-PORTABLE", "-NoSaveXml", "one.opml", "-unknown", "two.OPML", "notes.txt"}),
              1);
    EXPECT_EQ(PortableMode, 1);
    EXPECT_EQ(NoSaveItems, 1);
    EXPECT_EQ(CheckUsbClose, 0);
    const std::string root = std::filesystem::canonical(dir.Path()).string();
    EXPECT_EQ(StartOpmlFile, root + "/two.OPML");
    EXPECT_EQ(AppName, "Orvalis-Portable");
    EXPECT_EQ(DataPath, root + "/");
    EXPECT_EQ(DefaultPath, root + "/OPML/");
    EXPECT_EQ(PlugInPath, root + "/PlugIn/");
}

TEST_F(StartupTest, AProgramNamedPortableStartsPortableAndWatchesItsDrive) {
    WriteFileOrDie(dir.File("Orvalis-Portable.bin"), "x");
    Startup_SetProgramFile(dir.File("Orvalis-Portable.bin"));
    EXPECT_EQ(PortableMode, 1);
    EXPECT_EQ(CheckUsbClose, 1);
}

TEST_F(StartupTest, InstalledModeUsesTheDataFolderAndMakesItCurrent) {
    setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);
    Startup_SetProgramFile(dir.File("Orvalis"));
    ASSERT_EQ(ParseCommandLine({"-dbbasemode"}), 1);
    EXPECT_EQ(DBBaseMode, 1);
    EXPECT_EQ(ConvertMode, 1);
    EXPECT_EQ(AppName, "Orvalis");
    EXPECT_EQ(DataPath, dir.File("data") + "/QuenbelS/Orvalis/");
    char* cwd = getcwd(nullptr, 0);
    EXPECT_EQ(std::string(cwd) + "/", std::filesystem::canonical(DataPath).string() + "/");
    free(cwd);
}

TEST_F(StartupTest, AnUnusableDataFolderIsReported) {
    setenv("XDG_DATA_HOME", "/proc/none", 1);
    std::string error;
    EXPECT_EQ(ParseCommandLine({}, &error), 0);
    EXPECT_EQ(error, "/proc/none/QuenbelS/Orvalis/");
}

TEST_F(StartupTest, DefaultDataCopiesTheBankAndOffersTheInitialCatalogue) {
    Dir_Create(dir.File("prog"));
    Dir_Create(dir.File("data"));
    WriteFileOrDie(dir.File("prog/OrvalisU.Dat"), "bank");
    WriteFileOrDie(dir.File("prog/DefaultListRSS.Ini"),
                   "\xEF\xBB\xBF[A]\r\nUrl = http://a.example.org/\r\n");
    AppPath = dir.File("prog") + "/";
    DataPath = dir.File("data") + "/";
    ASSERT_EQ(chdir(DataPath.c_str()), 0);
    int asked = 0;
    InstallDefaultData([&](const std::string& title, const std::string& text) {
        ++asked;
        EXPECT_EQ(title, "Info");
        return 0;
    });
    EXPECT_EQ(ReadFileOrEmpty(dir.File("data/OrvalisU.Dat")), "bank");
    EXPECT_NE(Log_Text().find("- Copy DBase :OrvalisU.Dat"), std::string::npos);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(RssList.Empty()); // "no" leaves an empty catalogue
    InstallDefaultData([](const std::string&, const std::string&) { return 1; });
    EXPECT_EQ(RssList.Size(), 1u);
    EXPECT_TRUE(File_Exists(dir.File("data/ListRSSU.Ini")));
}

TEST(SystemInfo, TheLogNamesTheRealSystemAndTheTableNamesWindowsVersions) {
    EXPECT_NE(WindowsVersionName().find("Linux"), std::string::npos);
    EXPECT_EQ(WindowsVersionCode(), 200);
    EXPECT_EQ(WindowsVersionNameOf(80), "Windows Seven");
    EXPECT_EQ(WindowsVersionNameOf(65), "Windows Server 2003");
    EXPECT_EQ(WindowsVersionNameOf(200), "OS inconnu");
}

TEST_F(StartupTest, TheLogHeaderListsThePaths) {
    PortableMode = 1;
    Startup_WriteLogHeader("/podcasts/");
    const std::string text = Log_Text();
    EXPECT_EQ(text.rfind("Orvalis 1.10.1708.2300 Unicode\r\nStart the ", 0), 0u);
    EXPECT_NE(text.find("Use in Portable Mode\r\nOS : "), std::string::npos);
    EXPECT_NE(text.find("Podcast Path = /podcasts/\r\n"), std::string::npos);
}

TEST_F(StartupTest, CloseThreadSetsTheStopBitsAndWaitsForTheWorkers) {
    std::atomic<uint32_t> mask{0};
    std::atomic<bool> running{true};
    CloseThread_SetMaskWriter([&](uint32_t m) { mask = m; });
    bool joined = false;
    CloseThread_Register(
        WORKER_FEED_UPDATE, "DownloadRSS", [&] { return running.load(); }, [&] { joined = true; });
    std::thread worker([&] {
        while (!(mask.load() & WORKER_FEED_UPDATE))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        running = false;
    });
    WriteFileOrDie(dir.File(ThreadTmpPagePath), "page");
    EXPECT_EQ(CloseThread(static_cast<uint32_t>(-1)), 0u);
    worker.join();
    EXPECT_TRUE(joined);
    EXPECT_EQ(mask.load(), 0u);
    EXPECT_FALSE(File_Exists(dir.File(ThreadTmpPagePath)));
    EXPECT_NE(Log_Text().find("* CloseThread( -1 )"), std::string::npos);
    CloseThread_Register(WORKER_FEED_UPDATE, "DownloadRSS", [] { return false; });
    CloseThread_SetMaskWriter({});
}

// ---------------------------------------------------------------- single instance

TEST(SingleInstance, ASecondStartHandsOverItsOpmlFileAndEnds) {
    TempDir dir;
    ProcessResult first;
    std::thread t([&] { first = RunTool({"instance", dir.Path()}); });
    // Wait until the first one holds the lock and listens.
    for (int i = 0; i < 1000 && !std::filesystem::exists(dir.File("Orvalis-OnlyOneInstance.lock"));
         ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const ProcessResult second = RunTool({"instance", dir.Path(), "Import.OPML", "-portable"});
    t.join();
    EXPECT_EQ(second.ExitCode, 0);
    EXPECT_EQ(second.Out, "handed-over\n");
    EXPECT_EQ(first.Out, "running\nhandover 2 " + dir.Path() + "/Import.OPML\n");
}

TEST(SingleInstance, TwoStartsAtOnceLeaveOneRunningAndOneHandedOver) {
    TempDir dir;
    for (int round = 0; round < 3; ++round) {
        ProcessResult a, b;
        std::thread ta([&] { a = RunTool({"instance", dir.Path()}); });
        std::thread tb([&] { b = RunTool({"instance", dir.Path(), "list.opml"}); });
        ta.join();
        tb.join();
        SCOPED_TRACE(a.Out + "|" + b.Out);
        if (a.Out.rfind("running", 0) == 0) {
            EXPECT_EQ(a.Out, "running\nhandover 2 " + dir.Path() + "/list.opml\n");
            EXPECT_EQ(b.Out, "handed-over\n");
        } else {
            EXPECT_EQ(a.Out, "handed-over\n");
            EXPECT_EQ(b.Out, "running\nhandover 1 \n");
        }
    }
}

// ---------------------------------------------------------------- crash report

TEST(CrashHandler, ACrashWritesTheReportToTheLogAndEndsWithCodeOne) {
    TempDir dir;
    const ProcessResult r = RunTool({"crash", "segv"}, dir.Path());
    EXPECT_EQ(r.ExitCode, 1);
    const std::string log = ReadFileOrEmpty(dir.File("Orvalis.Log"));
    ASSERT_EQ(
        log.rfind("Orvalis crash test\r\nA program error was detected:\r\nError Message:   ", 0),
        0u)
        << log;
    EXPECT_NE(log.find("\r\nError Code: 11 at Address: "), std::string::npos);
    EXPECT_NE(log.find("\r\nTarget Address:  16\r\nRegister content:\r\nEAX = "),
              std::string::npos);
    size_t at = 0;
    for (const char* reg : {"EAX", "EBX", "ECX", "EDX", "EBP", "ESI", "EDI", "ESP"}) {
        const size_t next = log.find(std::string("\r\n") + reg + " = ", at);
        ASSERT_NE(next, std::string::npos) << reg;
        at = next + 1;
    }
}

TEST(CrashHandler, OnlyAnAccessViolationNamesATargetAddress) {
    const unsigned long long regs[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::string r = CrashHandler_Report(SIGFPE, 0, 4096, nullptr, regs);
    EXPECT_EQ(r, "A program error was detected:\r\n"
                 "Error Message:   Arithmetic error (division by zero or overflow)\r\n"
                 "Error Code: 8 at Address: 4096\r\n"
                 "Register content:\r\nEAX = 1\r\nEBX = 2\r\nECX = 3\r\nEDX = 4\r\nEBP = 5\r\n"
                 "ESI = 6\r\nEDI = 7\r\nESP = 8\r\n");
    TempDir dir;
    EXPECT_EQ(RunTool({"crash", "abort"}, dir.Path()).ExitCode, 1);
    EXPECT_NE(ReadFileOrEmpty(dir.File("Orvalis.Log")).find("Program aborted"), std::string::npos);
}

TEST(FatalError, TheWindowCreationMessagesEndWithTheStopNotice) {
    EXPECT_EQ(FatalError_Text(2, ": LogWindow"),
              "Can't create Child Window : LogWindow\r\nLe programme doit être arrêté ...");
    EXPECT_EQ(FatalError_Text(8, "x"), "Can't creat Timer x\r\nLe programme doit être arrêté ...");
    EXPECT_EQ(FatalError_Text(4, "y"), "Error : y\r\nLe programme doit être arrêté ...");
}

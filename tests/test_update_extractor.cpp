// Extractor programs seen from the program: discovery in the plug-in folder, the settings
// run, and update runs of real child processes (small scripts named OV-*.exe, and one of
// the shipped extractors) whose UTF-16LE output becomes items.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "platform/core/Text.h"
#include "plugins/core/RunExtractor.h"
#include "shell/base/Log.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"
#include "update/core/FeedParse.h"

namespace {

class Extractors : public ::testing::Test {
  protected:
    void SetUp() override {
        m_old = std::filesystem::current_path().string();
        std::filesystem::current_path(m_dir.Path());
        std::filesystem::create_directory(m_dir.File("PlugIn"));
        Log_Reset();
        Log_SetFile(m_dir.File("Orvalis.Log"));
        ParsedItems.clear();
        ThreadStopMask_Set(0);
        Network_Init();
    }
    void TearDown() override { std::filesystem::current_path(m_old); }

    // A Python program in the plug-in folder; `body` may call out(text) to write UTF-16LE.
    std::string Script(const std::string& name, const std::string& body, bool executable = true) {
        const std::string path = m_dir.File("PlugIn/" + name);
        WriteFileOrDie(path, "#!/usr/bin/python3\nimport os, sys, time\n"
                             "def out(s):\n"
                             "    sys.stdout.buffer.write(s.encode('utf-16-le'))\n"
                             "    sys.stdout.flush()\n" +
                                 body + "\n");
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    std::vector<std::string> Titles() const {
        std::vector<std::string> t;
        for (const Item& it : ParsedItems)
            t.push_back(it.Title);
        return t;
    }
    TempDir m_dir;
    std::string m_old;
};

bool ProcessGone(int pid) {
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

} // namespace

TEST_F(Extractors, AreFoundByNameExtensionAndExecutableBit) {
    Script("OV-Alpha.exe", "pass");
    Script("ov-beta.EXE", "pass");
    Script("OV-NotRunnable.exe", "pass", false);
    Script("XX-Other.exe", "pass");
    Script("OV-Script.sh", "pass");
    std::filesystem::create_directory(m_dir.File("PlugIn/OV-Folder.exe"));
    std::vector<std::string> found = Extractor_List(m_dir.File("PlugIn"));
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"OV-Alpha.exe", "ov-beta.EXE"}));

    const std::vector<std::string> types = FeedType_List(m_dir.File("PlugIn") + "/");
    ASSERT_EQ(types.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(types.begin(), types.begin() + 5),
              (std::vector<std::string>{"RDF", "RssV2", "Atom", "NetRadio", "OV-DailyMotion"}));
}

TEST_F(Extractors, ExtractorNamesIgnoreCase) {
    struct Row {
        const char* Name;
        bool Is;
    } rows[] = {
        {"OV-Meteo.exe", true},      // the shipped form
        {"ov-meteo.EXE", true},      // any case
        {"OV-.exe", true},           // nothing required between prefix and extension
        {"OV-Meteo", false},         // no extension
        {"OV-Meteo.exe.txt", false}, // the last extension counts
        {"XOV-Meteo.exe", false},    // the prefix starts the name
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsExtractorName(r.Name), r.Is) << r.Name;
}

TEST_F(Extractors, TheWindowsCommandLineQuotesProgramPageAndAddress) {
    EXPECT_EQ(
        Extractor_CommandLine("C:\\P\\OV-A.exe", "C:\\D\\Orvalis-ThreadTmp.htm", "http://x/?q=1"),
        "\"C:\\P\\OV-A.exe\" \"C:\\D\\Orvalis-ThreadTmp.htm\" \"http://x/?q=1\"");
    EXPECT_EQ(Extractor_CommandLine("\"C:\\P\\OV-A.exe\"", "", "word"),
              "\"C:\\P\\OV-A.exe\" \"\" \"word\"");
}

TEST_F(Extractors, OutputLinesEndAtCrLfOrCrLf) {
    struct Row {
        std::string Text;
        std::vector<std::string> Lines;
    } rows[] = {
        {"a\r\nb\r\n", {"a", "b"}},   // CR LF
        {"a\nb\rc", {"a", "b", "c"}}, // LF, CR, and a last line without end
        {"a\r\r\nb", {"a", "", "b"}}, // CR then CR LF: one empty line between
        {"a\n\nb\n", {"a", "", "b"}}, // empty line kept
        {"x\x11y\n", {"xy"}},         // the separator character is removed
        {"Café é\n", {"Café é"}},     // beyond ASCII
    };
    for (const Row& r : rows)
        EXPECT_EQ(Extractor_SplitUtf16Lines(Utf8ToUtf16LEBytes(r.Text)), r.Lines) << r.Text;
}

TEST_F(Extractors, KeyRulesBuildItems) {
    struct Row {
        std::vector<std::string> Lines;
        std::vector<std::string> Titles;
        std::string FirstLink;
    } rows[] = {
        // a value keeps everything after the first "="
        {{"Title=A", "Link=http://x/?a=1&b=2", "Orvalis"}, {"A"}, "http://x/?a=1&b=2"},
        // keys ignore case and blanks around key and value
        {{"  TITLE = A  ", "Orvalis"}, {"A"}, ""},
        // "Orvalis" with "=" and anything after still separates; the end hands on the last
        {{"title=A", "orvalis=x", "Title=B"}, {"A", "B"}, ""},
        // two items without separator merge: the second's values win
        {{"Title=A", "Link=l1", "Title=B", "Link=l2"}, {"B"}, "l2"},
        // unknown keys and lines without "=" are ignored
        {{"Colour=red", "Title", "Title=A"}, {"A"}, ""},
        // no output at all: nothing
        {{}, {}, ""},
    };
    for (const Row& r : rows) {
        ParsedItems.clear();
        Extractor_ApplyLines(r.Lines);
        EXPECT_EQ(Titles(), r.Titles);
        if (!r.FirstLink.empty() && !ParsedItems.empty())
            EXPECT_EQ(ParsedItems[0].Link, r.FirstLink);
    }
}

TEST_F(Extractors, APubDateLineIsReadAsAFeedDate) {
    Extractor_ApplyLines({"Title=A", "PubDate=2026-03-01T10:00:00Z"});
    ASSERT_EQ(ParsedItems.size(), 1u);
    EXPECT_NE(ParsedItems[0].Date, 0);
    EXPECT_EQ(ParsedItems[0].PubDate, "2026-03-01T10:00:00Z");
}

TEST_F(Extractors, AChildGetsPageAndAddressAsTwoArgumentsWithoutShell) {
    const std::string p = Script("OV-Args.exe", "out('Title=' + sys.argv[1] + '\\r\\n"
                                                "Link=' + sys.argv[2] + '\\r\\n"
                                                "Description=' + str(len(sys.argv)) + '\\r\\n')");
    const std::string url = "http://x/a b?\"q\"=$HOME;`id`";
    ExtractorRun run = RunExtractor("/tmp/page file.htm", p, url);
    EXPECT_TRUE(run.Started);
    EXPECT_TRUE(run.Ended);
    ASSERT_EQ(ParsedItems.size(), 1u);
    EXPECT_EQ(ParsedItems[0].Title, "/tmp/page file.htm");
    EXPECT_EQ(ParsedItems[0].Link, url);
    EXPECT_EQ(ParsedItems[0].Description, "3");
}

TEST_F(Extractors, AQuickWriterYieldsEveryItem) {
    const std::string p =
        Script("OV-Quick.exe", "out('Orvalis\\r\\nTitle=First\\r\\nLink=http://x/?a=1\\r\\n"
                               "Orvalis\\nTITLE=Second\\rDescription=d\\r\\n')");
    ExtractorRun run = RunExtractor("", p, "word");
    EXPECT_EQ(run.Items, 2);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(ParsedItems[0].Link, "http://x/?a=1");
}

TEST_F(Extractors, AnExtractorThatEndsAtOnceYieldsNothing) {
    const std::string p = Script("OV-Empty.exe", "pass");
    ExtractorRun run = RunExtractor("", p, "word");
    EXPECT_TRUE(run.Ended);
    EXPECT_TRUE(ParsedItems.empty());
}

TEST_F(Extractors, ASilentHangingExtractorIsEndedAndReapedWhenTheBudgetRunsOut) {
    const std::string pidFile = m_dir.File("pid");
    const std::string p = Script("OV-Hang.exe", "open('" + pidFile +
                                                    "', 'w').write(str(os.getpid()))\n"
                                                    "time.sleep(120)");
    ExtractorRun run = RunExtractor("", p, "word");
    EXPECT_TRUE(run.Started);
    EXPECT_FALSE(run.Ended);
    EXPECT_TRUE(ParsedItems.empty());
    const int pid = static_cast<int>(ValInt(ReadFileOrEmpty(pidFile)));
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(ProcessGone(pid)) << "the child is neither running nor left as a zombie";
}

TEST_F(Extractors, AnExtractorHangingAfterItsLinesKeepsWhatItWrote) {
    const std::string p =
        Script("OV-HalfHang.exe", "out('Title=Kept\\r\\nOrvalis\\r\\nTitle=Also')\n"
                                  "time.sleep(120)");
    ExtractorRun run = RunExtractor("", p, "word");
    EXPECT_FALSE(run.Ended);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Kept", "Also"}));
}

TEST_F(Extractors, ASlowWriterIsKeptAliveBeyondTheFirstBudget) {
    // Pauses shorter than the per-line budget, adding up to more than the first budget;
    // one line arrives in two pieces.
    const std::string p = Script("OV-Slow.exe", "for i in range(4):\n"
                                                "    time.sleep(1.5)\n"
                                                "    out('Tit')\n"
                                                "    time.sleep(0.2)\n"
                                                "    out('le=Item %d\\r\\nOrvalis\\r\\n' % i)");
    ExtractorRun run = RunExtractor("", p, "word");
    EXPECT_TRUE(run.Ended);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Item 0", "Item 1", "Item 2", "Item 3"}));
}

TEST_F(Extractors, AnAddressWithoutSchemeIsNotDownloadedAndGivesAnEmptyPageFile) {
    Script("OV-Args.exe", "out('Title=[' + sys.argv[1] + ']\\r\\nLink=' + sys.argv[2])");
    for (const std::string url : {"keywords", "C:\\pages\\a.htm"}) {
        ParsedItems.clear();
        int64_t start = 0;
        Extractor_Update(m_dir.File("PlugIn"), "OV-Args.exe", url, "Orvalis-ThreadTmp.htm", start);
        EXPECT_GE(start, 0);
        ASSERT_EQ(ParsedItems.size(), 1u) << url;
        EXPECT_EQ(ParsedItems[0].Title, "[]");
        EXPECT_EQ(ParsedItems[0].Link, url);
    }
}

TEST_F(Extractors, TheDayPlaceholderOfTheAddressIsFilledBeforeTheDownload) {
    LocalHttpServer server;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char day[3];
    std::snprintf(day, sizeof day, "%02d", local.tm_mday);
    server.Serve(std::string("/day-") + day + ".html", HttpOk("page of the day", "text/html"));
    Script("OV-Page.exe", "out('Title=' + open(sys.argv[1]).read() + '\\r\\nLink=' + sys.argv[1])");
    int64_t start = 0;
    Extractor_Update(m_dir.File("PlugIn"), "OV-Page.exe", server.Url("/day-%dd.html"),
                     "Orvalis-ThreadTmp.htm", start);
    ASSERT_EQ(ParsedItems.size(), 1u);
    EXPECT_EQ(ParsedItems[0].Title, "page of the day");
    EXPECT_EQ(ParsedItems[0].Link,
              std::filesystem::current_path().string() + "/Orvalis-ThreadTmp.htm");
}

TEST_F(Extractors, AFailedDownloadOrAMissingProgramRunsNothing) {
    LocalHttpServer server; // every path answers 404
    const std::string marker = m_dir.File("ran");
    Script("OV-Mark.exe", "open('" + marker + "', 'w').write('x')\nout('Title=x')");
    int64_t start = 0;
    EXPECT_EQ(Extractor_Update(m_dir.File("PlugIn"), "OV-Mark.exe", server.Url("/none"),
                               "Orvalis-ThreadTmp.htm", start),
              0);
    EXPECT_EQ(start, -1);
    EXPECT_FALSE(std::filesystem::exists(marker));
    EXPECT_EQ(Extractor_Update(m_dir.File("PlugIn"), "OV-Missing.exe", "word",
                               "Orvalis-ThreadTmp.htm", start),
              0);
    EXPECT_EQ(Extractor_Update(m_dir.File("PlugIn"), "", "word", "Orvalis-ThreadTmp.htm", start),
              0);
    EXPECT_TRUE(ParsedItems.empty());
}

TEST_F(Extractors, APendingStopRunsNoExtractor) {
    const std::string marker = m_dir.File("ran");
    Script("OV-Mark.exe", "open('" + marker + "', 'w').write('x')");
    ThreadStopMask_Set(1);
    int64_t start = 0;
    Extractor_Update(m_dir.File("PlugIn"), "OV-Mark.exe", "word", "Orvalis-ThreadTmp.htm", start);
    ThreadStopMask_Set(0);
    EXPECT_EQ(start, -1);
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST_F(Extractors, TheSettingsRunGetsOpenGuiAndIsNotWaitedFor) {
    const std::string marker = m_dir.File("opened");
    Script("OV-Settings.exe",
           "time.sleep(0.3)\nopen('" + marker + "', 'w').write(' '.join(sys.argv[1:]))");
    EXPECT_EQ(Extractor_OpenSettings(m_dir.File("PlugIn"), "OV-Settings.exe"), 1);
    EXPECT_FALSE(std::filesystem::exists(marker)) << "the caller did not wait";
    for (int i = 0; i < 1000 && ReadFileOrEmpty(marker).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadFileOrEmpty(marker), "OpenGUI");
    EXPECT_EQ(Extractor_OpenSettings(m_dir.File("PlugIn"), "OV-Missing.exe"), 0);
}

TEST_F(Extractors, TheShippedVideoSearchExtractorRoundTripsThroughTheUpdate) {
    LocalHttpServer server;
    server.Serve(
        "/search",
        HttpOk(ReadFileOrEmpty(TestData("extractors/OV-YouTube/search-results-in-utf-8.html")),
               "text/html"));
    int64_t start = 0;
    const int kept = Extractor_Update(BinPath("PlugIn"), "OV-YouTube.exe", server.Url("/search"),
                                      "Orvalis-ThreadTmp.htm", start);
    EXPECT_EQ(kept, 2);
    EXPECT_EQ(Titles(),
              (std::vector<std::string>{"Recette de la crêpe – facile", "Sans lien ni durée"}));
    EXPECT_EQ(ParsedItems[0].Link, "https://www.youtube.com/watch?v=abc123&t=5");
    EXPECT_EQ(ParsedItems[0].GUID, "4047272404");
}

TEST_F(Extractors, AStopRequestEndsARunningExtractorWithoutWaitingForItsBudget) {
    const std::string pidFile = m_dir.File("pid");
    const std::string p = Script("OV-Hang.exe", "open('" + pidFile +
                                                    "', 'w').write(str(os.getpid()))\n"
                                                    "out('Title=Before the stop\\r\\n')\n"
                                                    "time.sleep(120)");
    ExtractorRun run;
    // The parsed articles belong to the thread that ran the extractor.
    std::vector<std::string> titles;
    std::thread worker([&] {
        run = RunExtractor("", p, "word");
        titles = Titles();
    });
    for (int i = 0; i < 3000 && ReadFileOrEmpty(pidFile).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ThreadStopMask_Set(1);
    worker.join();
    ThreadStopMask_Set(0);
    EXPECT_FALSE(run.Ended);
    EXPECT_NE(Log_Text().find("- RunExtractor stopped : " + p), std::string::npos);
    EXPECT_EQ(titles, (std::vector<std::string>{"Before the stop"}));
    EXPECT_TRUE(ProcessGone(static_cast<int>(ValInt(ReadFileOrEmpty(pidFile)))));
}

// The feed catalogue: its file read and written byte for byte, the invariants of its
// records, the twin file of an interrupted save, and the group operations.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <deque>
#include <random>
#include <thread>

#include "catalogue/core/RssGroups.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "support/TestSupport.h"

namespace {
struct CatalogueTest : ::testing::Test {
    void SetUp() override {
        Log_Reset();
        Log_SetFile(dir.File("Orvalis.Log"));
        Catalogue_Settings() = CatalogueSettings{};
        Catalogue_SetUi(nullptr);
        RssList.Clear();
    }
    void TearDown() override { RssList.Clear(); }
    Rss Feed(const std::string& name, const std::string& url, const std::string& group = "") {
        Rss r;
        r.Name = name;
        r.Url = url;
        r.Group = group;
        r.Flags = RSSFLAG_ACTUALIZE_ON_START;
        return r;
    }
    std::vector<std::string> Names() {
        std::vector<std::string> out;
        for (const Rss& r : RssList)
            out.push_back(r.Name);
        return out;
    }
    TempDir dir;
};
} // namespace

// ---------------------------------------------------------------- the tool, byte for byte

TEST(CatalogueTool, RewritesEveryFixtureToTheExpectedBytes) {
    const char* cases[] = {
        "legacy_header_090",                     // 0.90 header, no byte-order mark, bit 4096
        "legacy_version_on_second_line",         // version found on line 2, any case
        "legacy_without_header",                 // no version line at all counts as legacy
        "duplicates_differing_in_case",          // later address equal ignoring case dropped
        "entities_and_controls",                 // references, controls, no-break spaces
        "out_of_bound_values",                   // Interval, MaxFeed, ContentRss, Language
        "flag_spellings",                        // on / ON / 1 / yes / missing defaults
        "file_name_collisions",                  // www., ports, taken and unsafe file names
        "group_flux_written_without_group_line", // "Flux" and empty group
    };
    TempDir dir;
    for (const char* name : cases) {
        SCOPED_TRACE(name);
        const std::string in = TestData(std::string("catalogue/") + name + ".Ini");
        const std::string out = dir.File(std::string(name) + ".Ini");
        const ProcessResult r = RunTool({"catalogue", in, out}, dir.Path());
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        EXPECT_EQ(ReadFileOrEmpty(out),
                  ReadFileOrEmpty(TestData(std::string("catalogue/") + name + ".Expected.Ini")));
        // A saved catalogue reads back to the same bytes (values are stored unescaped, so
        // a decoded "&amp;lt;" is decoded once more: that case is left out).
        if (std::string(name) == "entities_and_controls") continue;
        const std::string again = dir.File(std::string(name) + ".again.Ini");
        ASSERT_EQ(RunTool({"catalogue", out, again}, dir.Path()).ExitCode, 0);
        EXPECT_EQ(ReadFileOrEmpty(again), ReadFileOrEmpty(out));
    }
}

TEST(CatalogueTool, AMissingCatalogueExitsWithOneAndAnError) {
    TempDir dir;
    const ProcessResult r = RunTool({"catalogue", dir.File("none.Ini"), dir.File("out.Ini")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("none.Ini"), std::string::npos);
    EXPECT_FALSE(File_Exists(dir.File("out.Ini")));
}

// ---------------------------------------------------------------- twin of a save

TEST_F(CatalogueTest, ATruncatedTwinBesideAGoodFileIsIgnored) {
    const std::string good =
        ReadFileOrEmpty(TestData("catalogue/file_name_collisions.Expected.Ini"));
    const std::string file = dir.File("ListRSSU.Ini");
    WriteFileOrDie(file, good);
    WriteFileOrDie(file + ".Tmp", good.substr(0, good.size() / 3));
    ASSERT_EQ(RssList_Load(file), 1);
    EXPECT_EQ(RssList.Size(), 7u);
    EXPECT_NE(Log_Text().find("! Stale RssList twin ignored"), std::string::npos);
}

TEST_F(CatalogueTest, TheTwinIsLoadedWhenTheMainFileIsMissing) {
    const std::string file = dir.File("ListRSSU.Ini");
    WriteFileOrDie(file + ".Tmp",
                   ReadFileOrEmpty(TestData("catalogue/flag_spellings.Expected.Ini")));
    ASSERT_EQ(RssList_Load(file), 1);
    EXPECT_EQ(RssList.Size(), 2u);
    // The twin holds a current version: no legacy bit is added.
    EXPECT_EQ(RssList.begin()->FormatExtractText, 102400);
}

TEST_F(CatalogueTest, NoFileLeavesAnEmptyCatalogueAndSaysSo) {
    RssList_Add(Feed("old", "http://old.example.org/"));
    EXPECT_EQ(RssList_Load(dir.File("ListRSSU.Ini")), 0);
    EXPECT_TRUE(RssList.Empty());
    EXPECT_NE(Log_Text().find("No RssFile found !"), std::string::npos);
}

TEST_F(CatalogueTest, SavingLeavesNoTwinAndLogsTheSave) {
    RssList_Add(Feed("A", "http://a.example.org/"));
    const std::string file = dir.File("ListRSSU.Ini");
    ASSERT_EQ(RssList_DirectSave(file), 1);
    EXPECT_FALSE(File_Exists(file + ".Tmp"));
    EXPECT_NE(Log_Text().find("* RssList_DirectSave(" + file + ") in "), std::string::npos);
    EXPECT_EQ(RssList_DirectSave(dir.File("missing/ListRSSU.Ini")), 0);
}

// A saving process killed at random moments never leaves fewer feeds than its last
// complete save announced.
TEST_F(CatalogueTest, ASaveKilledAtAnyMomentKeepsTheLastCompleteSave) {
    const std::string file = dir.File("ListRSSU.Ini");
    std::mt19937 rng(12345);
    size_t lastComplete = 0;
    for (int round = 0; round < 12; ++round) {
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            if (chdir(dir.Path().c_str()) != 0) _exit(127);
            const std::string tool = BinPath("orvalis-tool");
            execl(tool.c_str(), tool.c_str(), "catalogue-saveloop", file.c_str(), "100000",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        // Let it save a few times, then kill it somewhere inside a save.
        std::string seen;
        char buf[4096];
        size_t lines = 0;
        const size_t wanted = 2 + rng() % 20;
        while (lines < wanted) {
            const ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            seen.append(buf, static_cast<size_t>(n));
            lines = static_cast<size_t>(std::count(seen.begin(), seen.end(), '\n'));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 3000));
        kill(pid, SIGKILL);
        ssize_t n;
        while ((n = read(out[0], buf, sizeof buf)) > 0)
            seen.append(buf, static_cast<size_t>(n));
        close(out[0]);
        int status = 0;
        waitpid(pid, &status, 0);
        // The last whole line is the size of the last save that completed.
        const size_t end = seen.rfind('\n');
        ASSERT_NE(end, std::string::npos) << "the saving process printed nothing";
        const size_t begin = seen.rfind('\n', end - 1);
        const size_t count = std::stoul(seen.substr(begin == std::string::npos ? 0 : begin + 1));
        ASSERT_GE(count, lastComplete);
        lastComplete = count;
        ASSERT_EQ(RssList_Load(file), 1);
        EXPECT_GE(RssList.Size(), lastComplete) << "round " << round;
    }
}

// ---------------------------------------------------------------- records

TEST_F(CatalogueTest, AddingRefusesAnAddressThatExistsInAnotherCase) {
    EXPECT_EQ(RssList_Add(Feed("a", "http://Example.org/x")), 1);
    EXPECT_EQ(RssList_Add(Feed("b", "HTTP://example.ORG/X")), -1);
    EXPECT_EQ(RssList.Size(), 1u);
}

TEST_F(CatalogueTest, AddingNormalisesAndBoundsTheFields) {
    Rss r = Feed("a", "http://a.example.org/");
    r.Interval = 0;
    r.MaxFeed = 900;
    r.ContentRss = 5;
    r.ExtractAs = "ov-dailymotion";
    ASSERT_EQ(RssList_Add(r), 1);
    const Rss* added = RssList.Current();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Group, "Flux");
    EXPECT_EQ(added->Interval, 300);
    EXPECT_EQ(added->MaxFeed, 400);
    EXPECT_EQ(added->ContentRss, CONTENT_DAILYMOTION);
    EXPECT_GT(added->RssID, 10000);
    EXPECT_EQ(added->ItemsFileName, "a.example.org.Txt");
}

TEST_F(CatalogueTest, IdentifiersAreUniqueAndNeverReusedWithinARun) {
    RssList_Add(Feed("a", "http://a/"));
    RssList_Add(Feed("b", "http://b/"));
    const int32_t first = RssList.begin()->RssID;
    const int32_t second = std::next(RssList.begin())->RssID;
    EXPECT_NE(first, second);
    RssList.Clear();
    RssList_Add(Feed("c", "http://c/"));
    EXPECT_GT(RssList.begin()->RssID, second);
}

TEST_F(CatalogueTest, FileNamesFollowTheHostWithoutWwwAndCountUp) {
    RssList_Add(Feed("a", "http://www.site.org/a"));
    RssList_Add(Feed("b", "http://site.org/b"));
    RssList_Add(Feed("c", "https://WWW.site.org:443/c?x"));
    std::vector<std::string> names;
    for (const Rss& r : RssList)
        names.push_back(r.ItemsFileName);
    EXPECT_EQ(names,
              (std::vector<std::string>{"site.org.Txt", "site.org-1.Txt", "site.org-2.Txt"}));
    EXPECT_EQ(ItemsFile_NameUsed("SITE.ORG.txt", 0), 1);
    EXPECT_EQ(ItemsFile_NameUsed("site.org.Txt", RssList.begin()->RssID), 0);
    // The cursor stays on the feed just named.
    EXPECT_EQ(RssList.Current()->Name, "c");
}

TEST_F(CatalogueTest, SortingIsByGroupThenNameIgnoringCase) {
    RssList_Add(Feed("zeta", "http://1/", "b"));
    RssList_Add(Feed("Alpha", "http://2/", "B"));
    RssList_Add(Feed("beta", "http://3/", "a"));
    RssList_Add(Feed("gamma", "http://4/", "Flux"));
    RssList_Sort();
    EXPECT_EQ(Names(), (std::vector<std::string>{"beta", "Alpha", "zeta", "gamma"}));
    for (const Rss& r : RssList)
        EXPECT_TRUE(r.SortKey.empty());
}

TEST_F(CatalogueTest, TheActiveLimitDisablesLaterArticleFeedsButNeverRadios) {
    Catalogue_Settings().MaxRss = 2;
    RssList_Add(Feed("one", "http://1/"));
    Rss radio = Feed("radio", "http://r/");
    radio.ExtractAs = "NetRadio";
    RssList_Add(radio);
    RssList_Add(Feed("two", "http://2/"));
    RssList_Add(Feed("three", "http://3/"));
    EXPECT_EQ(RssList_CheckActiveLimit(), 0);
    std::vector<bool> disabled;
    for (const Rss& r : RssList)
        disabled.push_back(r.Flags & RSSFLAG_DISABLE);
    EXPECT_EQ(disabled, (std::vector<bool>{false, false, false, true}));
}

TEST_F(CatalogueTest, LoadingPastTheLimitLogsIt) {
    Catalogue_Settings().MaxRss = 1;
    ASSERT_EQ(RssList_Load(TestData("catalogue/flag_spellings.Ini")), 1);
    EXPECT_NE(Log_Text().find("! Nb RssList limited to 400"), std::string::npos);
}

TEST_F(CatalogueTest, VersionComesFromTheFirstTwoLines) {
    const std::string f = dir.File("v.Ini");
    WriteFileOrDie(f, "\xEF\xBB\xBF; Orvalis 1.10.1708.2300\r\n");
    EXPECT_EQ(CatalogueFileVersion(f), 110);
    WriteFileOrDie(f, "; x\r\n; orvalis 0.90\r\n");
    EXPECT_EQ(CatalogueFileVersion(f), 90);
    WriteFileOrDie(f, "; x\r\n; y\r\n; Orvalis 2.1\r\n");
    EXPECT_EQ(CatalogueFileVersion(f), 0);
    EXPECT_EQ(CatalogueFileVersion(dir.File("missing")), 0);
}

TEST_F(CatalogueTest, SelectingPositionsMovesBothCursors) {
    RssList_Add(Feed("a", "http://a/"));
    RssList_Add(Feed("b", "http://b/"));
    std::next(RssList.begin())->Items.AddLast(Item{});
    Select_RssList(1, 0);
    EXPECT_EQ(RssList.Current()->Name, "b");
    EXPECT_NE(RssList.Current()->Items.Current(), nullptr);
    Select_RssList(-1, 0);
    EXPECT_EQ(RssList.Current(), nullptr);
}

TEST_F(CatalogueTest, CleaningDecodesReferencesAndDropsControls) {
    EXPECT_EQ(Catalogue_CleanText("\t a&amp;b &#x41;&#66;\xC2\xA0\x01z "), "a&b AB z");
    EXPECT_EQ(Catalogue_CleanText("&amp;lt; &bogus; &#0;"), "&lt; &bogus; &#0;");
}

TEST_F(CatalogueTest, ControlCharactersCannotForgeLinesInTheFile) {
    Rss r = Feed("Name\r\n[Forged]", "http://a/\r\nUrl = http://evil/");
    RssList_Add(r);
    std::string text;
    RssList_Write(text);
    EXPECT_EQ(text.find("\r\n[Forged]"), std::string::npos);
    EXPECT_EQ(text.find("\r\nUrl = http://evil/"), std::string::npos);
}

// ---------------------------------------------------------------- group operations

namespace {
struct ScriptedUi : CatalogueUi {
    std::deque<int> answers;
    std::deque<std::string> texts;
    std::vector<std::string> asked, said, dequeued;
    int changed = 0;
    int AskYesNo(const std::string& title, const std::string& text) override {
        asked.push_back(title + "|" + text);
        int a = answers.empty() ? 0 : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    std::string AskText(const std::string& title, const std::string& prompt,
                        const std::string& initial) override {
        asked.push_back(title + "|" + prompt + "|" + initial);
        std::string t = texts.empty() ? "" : texts.front();
        if (!texts.empty()) texts.pop_front();
        return t;
    }
    void Say(const std::string& text) override { said.push_back(text); }
    void RemoveFromUpdateQueue(const Rss& feed) override { dequeued.push_back(feed.Name); }
    void CatalogueChanged() override { ++changed; }
};
struct GroupTest : CatalogueTest {
    void SetUp() override {
        CatalogueTest::SetUp();
        old = getcwd(nullptr, 0);
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);
        Catalogue_SetUi(&ui);
        RssList_Add(Feed("a", "http://a.example.org/", "News"));
        RssList_Add(Feed("b", "http://b.example.org/", "news"));
        RssList_Add(Feed("c", "http://c.other.org/", "Sport"));
    }
    void TearDown() override {
        Catalogue_SetUi(nullptr);
        if (chdir(old) != 0) ADD_FAILURE();
        free(old);
        CatalogueTest::TearDown();
    }
    ScriptedUi ui;
    char* old = nullptr;
};
} // namespace

TEST_F(GroupTest, DeletingAGroupAsksThenRemovesItsFeedsIgnoringCaseAndSaves) {
    ui.answers = {0};
    EXPECT_EQ(Group_DeleteAll("NEWS"), 0);
    EXPECT_EQ(RssList.Size(), 3u);
    ui.answers = {1};
    EXPECT_EQ(Group_DeleteAll("NEWS"), 2);
    EXPECT_EQ(Names(), std::vector<std::string>{"c"});
    EXPECT_EQ(ui.dequeued, (std::vector<std::string>{"a", "b"}));
    ASSERT_EQ(RssList_Load(CATALOGUE_FILE), 1);
    EXPECT_EQ(RssList.Size(), 1u);
}

TEST_F(GroupTest, RenamingAGroupCleansTheNewNameAndSaves) {
    ui.texts = {"  Actu &amp; co "};
    EXPECT_EQ(Group_Rename("News"), 2);
    EXPECT_EQ(ui.asked.at(0), "Renommer le groupe News|Saisissez le nouveau nom|News");
    EXPECT_EQ(RssList.begin()->Group, "Actu & co");
    EXPECT_TRUE(File_Exists(CATALOGUE_FILE));
    ui.texts = {""};
    EXPECT_EQ(Group_Rename("Sport"), 0);
}

TEST_F(GroupTest, MovingByAddressTermChangesTheGroupOfMatchingFeeds) {
    ui.texts = {"EXAMPLE", "Exemples"};
    EXPECT_EQ(Group_MoveByUrl(), 2);
    EXPECT_EQ(RssList.begin()->Group, "Exemples");
    EXPECT_EQ(std::prev(RssList.end())->Group, "Sport");
}

TEST_F(GroupTest, DeletingAFeedInBankModeMovesItToObsolete) {
    Catalogue_Settings().DBBaseMode = true;
    RssList.Select(0);
    ui.answers = {1};
    EXPECT_EQ(Feed_Delete(), 1);
    EXPECT_EQ(RssList.Size(), 3u);
    EXPECT_EQ(RssList.begin()->Group, "Obsolète");
}

TEST_F(GroupTest, DeletingTheSelectedFeedRemovesItAndAnnouncesIt) {
    RssList.Select(1);
    ui.answers = {1};
    EXPECT_EQ(Feed_Delete(), 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ui.said.size(), 1u);
    EXPECT_NE(ui.asked.at(0).find("b"), std::string::npos);
}

TEST_F(GroupTest, EnablingRespectsTheActiveLimit) {
    Catalogue_Settings().MaxRss = 2;
    RssList.Select(2);
    EXPECT_EQ(Feed_ToggleDisable(), 1); // c disabled
    EXPECT_TRUE(RssList.Current()->Flags & RSSFLAG_DISABLE);
    EXPECT_EQ(Feed_ToggleDisable(), 0); // a and b use the two places
    EXPECT_TRUE(RssList.Current()->Flags & RSSFLAG_DISABLE);
    EXPECT_EQ(Feed_ToggleDisable("news"), 2); // the group had enabled feeds: all disabled
    RssList.Select(2);
    EXPECT_EQ(Feed_ToggleDisable(), 1);
    EXPECT_FALSE(RssList.Current()->Flags & RSSFLAG_DISABLE);
    EXPECT_EQ(Feed_ToggleDisable("NEWS"), 1); // only one place left
}

TEST_F(CatalogueTest, AnUnreadableMainFileIsNeverReplacedByItsTwin) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not apply to root";
    const std::string file = dir.File("ListRSSU.Ini");
    WriteFileOrDie(file, ReadFileOrEmpty(TestData("catalogue/flag_spellings.Expected.Ini")));
    WriteFileOrDie(file + ".Tmp", "\xEF\xBB\xBF[Only]\r\nUrl = http://only/\r\n");
    chmod(file.c_str(), 0);
    EXPECT_EQ(RssList_Load(file), 0);
    EXPECT_TRUE(RssList.Empty());
    EXPECT_NE(Log_Text().find("! Error RssList_Load, can't read File="), std::string::npos);
    chmod(file.c_str(), 0644);
}

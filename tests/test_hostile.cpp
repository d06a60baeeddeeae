// Hostile input: downloads past their bound (a gzip bomb among them), documents nested
// too deep, a headless update that meets both beside a good feed, extractors that write
// without end, catalogue values that would leave the plug-in folder, names holding "]",
// many feeds of one host, and a crash in a worker thread.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "plugins/core/RunExtractor.h"
#include "shell/core/CrashHandler.h"
#include "shell/base/IniFile.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"
#include "update/core/FeedParse.h"
#include "update/core/XmlDownload.h"
#include "update/core/XmlRepair.h"

namespace {

// gzip of `n` zero bytes, compressed as it goes: a few kilobytes that unfold into n.
std::string GzipZeros(size_t n) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
    std::string out;
    const std::string zeros(1 << 20, '\0');
    char buffer[1 << 16];
    size_t left = n;
    int flush = Z_NO_FLUSH;
    do {
        const size_t take = std::min(left, zeros.size());
        left -= take;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = static_cast<uInt>(take);
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    return out;
}

// A feed whose one description holds `depth` nested elements.
std::string DeepFeed(size_t depth) {
    std::string s = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Deep</title>"
                    "<item><title>t</title><description>";
    s.reserve(s.size() + depth * 7 + 100);
    for (size_t i = 0; i < depth; ++i)
        s += "<a>";
    for (size_t i = 0; i < depth; ++i)
        s += "</a>";
    return s + "</description></item></channel></rss>";
}

std::string Nested(size_t depth) {
    std::string s;
    for (size_t i = 0; i < depth; ++i)
        s += "<a>";
    for (size_t i = 0; i < depth; ++i)
        s += "</a>";
    return s;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Runs in a data folder of its own and forgets the catalogue afterwards.
class InFolder {
  public:
    explicit InFolder(const std::string& dir = {}) : m_old(std::filesystem::current_path()) {
        const std::string path = dir.empty() ? m_dir.Path() : dir;
        std::filesystem::current_path(path);
        Log_Reset();
        Log_SetFile(path + "/Test.Log");
        RssList.Clear();
    }
    ~InFolder() {
        RssList.Clear();
        std::filesystem::current_path(m_old);
    }
    const TempDir& Dir() const { return m_dir; }

  private:
    TempDir m_dir;
    std::filesystem::path m_old;
};

} // namespace

// ---------------------------------------------------------------- XML depth

TEST(HostileXml, ATreeDeeperThanTheBoundIsRefusedAndOneAtTheBoundIsRead) {
    auto ok = Xml_ParseBytes(Nested(XML_TREE_MAX_DEPTH));
    EXPECT_EQ(ok->ErrorCode(), 0);
    auto deep = Xml_ParseBytes(Nested(XML_TREE_MAX_DEPTH + 1));
    EXPECT_EQ(deep->ErrorCode(), XML_TREE_TOO_DEEP);
    EXPECT_EQ(deep->Main()->FirstChild, nullptr) << "nothing of a refused tree is kept";
    // Two million levels: refused at once, and the repair does not try again.
    Log_Reset();
    const std::string bytes = DeepFeed(2000000);
    const uint64_t before = Xml_ParseCount();
    EXPECT_EQ(IsGoodXML("deep", &bytes, static_cast<int64_t>(bytes.size())), nullptr);
    EXPECT_EQ(Xml_ParseCount() - before, 1u);
    EXPECT_TRUE(Contains(Log_Text(), "! Error IsGoodXml, document refused : nested deeper than "
                                     "4096 levels"))
        << Log_Text();
}

TEST(HostileXml, TheToolAnswersADocumentThreeMillionLevelsDeep) {
    TempDir dir;
    ASSERT_TRUE(File_WriteAll(dir.File("deep.xml"), DeepFeed(3000000)));
    const ProcessResult r = RunTool({"parse", dir.File("deep.xml")}, dir.Path());
    EXPECT_EQ(r.ExitCode, 1) << r.Err;
}

// ---------------------------------------------------------------- download bounds

TEST(HostileDownload, EveryMethodStopsADocumentPastTheBoundAndKeepsNothing) {
    InFolder folder;
    Network_Init();
    LocalHttpServer server;
    // 16 MB of zeros in about 16 KB of gzip, and a plain body just over the bound.
    HttpReply bomb = HttpOk(std::string(), "application/xml");
    bomb.Raw = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Encoding: gzip\r\n"
               "Connection: close\r\n\r\n" +
               GzipZeros(16u << 20);
    server.Serve("/bomb.xml", bomb);
    server.Serve("/big.xml", HttpOk(std::string((1u << 20) + 1, 'x'), "application/xml"));
    DownloadSettings settings;
    settings.MaxDocumentBytes = 1 << 20;

    for (const char* method : {"WinINet;", "API;", "Pure;"}) {
        SCOPED_TRACE(method);
        Log_Reset();
        ASSERT_TRUE(File_WriteAll("old.xml", "<old/>"));
        EXPECT_EQ(DownloadXml(server.Url("/bomb.xml"), "old.xml", 0, method, 0, settings), nullptr);
        EXPECT_EQ(ReadFileOrEmpty("old.xml"), "<old/>") << "the file is left as it was";
        EXPECT_FALSE(File_Exists("old.xml.part"));
        EXPECT_TRUE(Contains(Log_Text(), "! Error, download over the size bound of 1048576 bytes"))
            << Log_Text();
    }
    // The program's own client counts the plain body (it asks for no compression).
    Log_Reset();
    EXPECT_EQ(DownloadXml(server.Url("/big.xml"), "old.xml", 0, "PureHttp;WinINet;", 0, settings),
              nullptr);
    EXPECT_TRUE(Contains(Log_Text(), "bytes by PureHttp, ")) << Log_Text();
    EXPECT_FALSE(Contains(Log_Text(), "by WinINet")) << "no other method after the bound";
    // A page and a file that is to be read whole are bounded the same way; a file that
    // streams to disk (a podcast) is not.
    PageDownload page;
    EXPECT_EQ(DownloadPage_Fetch(server.Url("/big.xml"), page, 0, settings), 0);
    EXPECT_TRUE(page.Memory.empty());
    EXPECT_EQ(DownloadFile(server.Url("/big.xml"), "page.htm", 0, 0, settings, 1 << 20), 0);
    EXPECT_FALSE(File_Exists("page.htm"));
    EXPECT_EQ(DownloadFile(server.Url("/big.xml"), "enclosure.mp3", 0, 0, settings), 1);
    EXPECT_EQ(File_Size("enclosure.mp3"), (1 << 20) + 1);
}

TEST(HostileDownload, TheBoundIsAPreferenceInMegabytesKeptWithinItsLimits) {
    InFolder folder;
    Pref_Charge("none.ini", 0);
    EXPECT_EQ(Pref.MaxDownloadSize, 64);
    ASSERT_TRUE(File_WriteAll("low.ini", "MaxDownloadSize = 0\r\n"));
    Pref_Charge("low.ini", 1);
    EXPECT_EQ(Pref.MaxDownloadSize, 1);
    ASSERT_TRUE(File_WriteAll("high.ini", "MaxDownloadSize = 99999\r\n"));
    Pref_Charge("high.ini", 1);
    EXPECT_EQ(Pref.MaxDownloadSize, 1024);
    Pref.MaxDownloadSize = 12;
    ASSERT_TRUE(Pref_SaveTo("saved.ini", 1));
    Pref_Charge("saved.ini", 1);
    EXPECT_EQ(Pref.MaxDownloadSize, 12);
}

// ---------------------------------------------------------------- headless update

TEST(HostileUpdate, ABombAndADeepFeedFailWhileTheGoodFeedIsStored) {
    TempDir dir;
    LocalHttpServer server;
    HttpReply bomb;
    bomb.Raw = "HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Encoding: gzip\r\n"
               "Connection: close\r\n\r\n" +
               GzipZeros(64u << 20);
    server.Serve("/bomb.xml", bomb);
    server.Serve("/deep.xml", HttpOk(DeepFeed(2000000), "application/xml"));
    server.Serve("/good.xml", HttpOk(ReadFileOrEmpty(TestData("update/news_first_fetch.xml")),
                                     "application/xml"));
    {
        InFolder data(dir.Path());
        for (const char* name : {"bomb", "deep", "good"}) {
            Rss r;
            r.Name = name;
            r.Url = server.Url(std::string("/") + name + ".xml");
            r.ExtractAs = "RssV2";
            ASSERT_EQ(RssList_Add(r), 1);
        }
        ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
        // A small bound keeps the test light: the bomb unfolds to 64 MB, the deep feed
        // (14 MB) stays within it.
        ASSERT_TRUE(File_WriteAll("Orvalis.ini", "MaxDownloadSize = 16\r\n"));
    }
    const ProcessResult r = RunTool({"update", "--data", dir.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Out, "bomb: failed, no articles extracted\n")) << r.Out;
    EXPECT_TRUE(Contains(r.Out, "deep: failed, no articles extracted\n")) << r.Out;
    EXPECT_TRUE(Contains(r.Out, "good: 3 new, 0 updated, 3 parsed\n")) << r.Out;
    const std::string log = ReadFileOrEmpty(dir.File("Orvalis.Log"));
    EXPECT_TRUE(Contains(log, "! Error, download over the size bound of 16777216 bytes by WinINet"))
        << log;
    EXPECT_TRUE(Contains(ReadFileOrEmpty(dir.File("ListRSSU.Ini")), "[good]"));
    EXPECT_TRUE(Contains(ReadFileOrEmpty(dir.File("Feeds/127.0.0.1-2.Txt")), "Title = Three"));
}

// ---------------------------------------------------------------- extractors

TEST(HostileExtractor, AnExtractorWritingWithoutEndIsEndedAndYieldsNothing) {
    InFolder folder;
    // One endless line, then endless short lines.
    ASSERT_TRUE(
        File_WriteAll("OV-Line.exe", "#!/bin/sh\nwhile :; do printf 'a\\000b\\000'; done\n"));
    ASSERT_TRUE(File_WriteAll(
        "OV-Lines.exe", "#!/bin/sh\nprintf 't\\000i\\000t\\000l\\000e\\000=\\000x\\000\\n\\000'\n"
                        "while :; do printf 'x\\000\\n\\000'; done\n"));
    for (const char* name : {"OV-Line.exe", "OV-Lines.exe"}) {
        SCOPED_TRACE(name);
        std::filesystem::permissions(name, std::filesystem::perms::owner_all);
        Log_Reset();
        ParsedItems.clear();
        const ExtractorRun run = RunExtractor("", folder.Dir().File(name), "http://x/");
        EXPECT_TRUE(run.Started);
        EXPECT_TRUE(run.OverBound);
        EXPECT_EQ(run.Items, 0);
        EXPECT_TRUE(ParsedItems.empty());
        EXPECT_TRUE(Contains(Log_Text(), "! Extractor ended, its output passed the bound on "))
            << Log_Text();
    }
    // The same bounds on bytes already read.
    bool over = false;
    std::string line;
    for (size_t i = 0; i < EXTRACTOR_MAX_LINE / 2 + 1; ++i)
        line += std::string("a\0", 2);
    Extractor_SplitUtf16Lines(line, &over);
    EXPECT_TRUE(over);
    EXPECT_EQ(Extractor_SplitUtf16Lines(std::string("a\0\n\0", 4), &over).size(), 1u);
    EXPECT_FALSE(over);
}

TEST(HostileCatalogue, AnExtractorNameThatIsAPathIsNotKept) {
    InFolder folder;
    ASSERT_TRUE(
        File_WriteAll(CATALOGUE_FILE, ReadFileOrEmpty(TestData("hostile/extract_as_paths.Ini"))));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    std::vector<std::string> kinds;
    for (const Rss& r : RssList)
        kinds.push_back(r.ExtractAs);
    EXPECT_EQ(kinds, (std::vector<std::string>{"RssV2", "RssV2", "OV-Meteo.exe"}));
    EXPECT_TRUE(Contains(Log_Text(), "! ExtractAs is not a plain file name, read as RssV2 : "
                                     "../../../bin/sh"));
    // Even a value that reached the queue some other way is never run.
    int64_t start = 0;
    Log_Reset();
    EXPECT_EQ(Extractor_Update("PlugIn/", "../../bin/true", "x", "page.htm", start), 0);
    EXPECT_EQ(start, -1);
    EXPECT_TRUE(Contains(Log_Text(), "! Error, extractor name is not a plain file name : "));
}

// ---------------------------------------------------------------- catalogue

TEST(HostileCatalogue, NamesHoldingABracketSurviveASaveAndALoad) {
    InFolder folder;
    // A file written before names were read to their last "]" reads the same way.
    ASSERT_TRUE(RssList_Load(TestData("hostile/name_with_brackets.Ini")));
    ASSERT_EQ(RssList.Size(), 1u);
    EXPECT_EQ(RssList.Select(0)->Name, "Le [bon] flux]");
    ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    ASSERT_EQ(RssList.Size(), 1u);
    EXPECT_EQ(RssList.Select(0)->Name, "Le [bon] flux]");
}

// A catalogue of `count` feeds of one host; some stored names collide, differ only in
// case, or are taken by a later feed.
static std::string OneHostCatalogue(int count) {
    std::string text = "\xEF\xBB\xBF; Orvalis 1.10.1708.2300\r\n";
    for (int i = 0; i < count; ++i) {
        std::string stored;
        if (i % 7 == 1) stored = "host.example-" + std::to_string(i / 2) + ".Txt";
        if (i % 11 == 2) stored = "HOST.EXAMPLE-3.txt";
        text += "[F" + std::to_string(i) + "]\r\nUrl = http://www.host.example/feed/" +
                std::to_string(i) + "\r\nItemsFileName = " + stored + "\r\n";
    }
    return text;
}

static std::vector<std::string> FileNames() {
    std::vector<std::string> names;
    for (const Rss& r : RssList)
        names.push_back(r.ItemsFileName);
    return names;
}

TEST(HostileCatalogue, ManyFeedsOfOneHostGetTheSameNamesLoadedAsAddedOneByOne) {
    InFolder folder;
    ASSERT_TRUE(File_WriteAll(CATALOGUE_FILE, OneHostCatalogue(400)));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    const std::vector<std::string> loaded = FileNames();
    // The same feeds added one at a time, as the interface adds a feed.
    RssList.Clear();
    IniReader ini;
    ASSERT_TRUE(ini.Open(CATALOGUE_FILE));
    for (size_t g = 1; g < ini.Groups().size(); ++g) {
        ini.SelectGroupIndex(g);
        Rss r;
        r.Name = ini.Groups()[g].Name;
        r.Url = ini.ReadString("Url");
        r.ItemsFileName = ini.ReadString("ItemsFileName");
        ASSERT_EQ(RssList_Add(r), 1);
    }
    EXPECT_EQ(loaded, FileNames());
    EXPECT_EQ(loaded[0], "host.example.Txt");
    EXPECT_EQ(loaded[2], "HOST.EXAMPLE-3.txt");
    EXPECT_EQ(loaded[3], "host.example-1.Txt");

    // Three thousand: every name distinct ignoring case, written and read back unchanged.
    ASSERT_TRUE(File_WriteAll(CATALOGUE_FILE, OneHostCatalogue(3000)));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    ASSERT_EQ(RssList.Size(), 3000u);
    const std::vector<std::string> many = FileNames();
    std::set<std::string> distinct;
    for (const std::string& name : many)
        EXPECT_TRUE(distinct.insert(AsciiLower(name)).second) << "twice: " << name;
    ASSERT_TRUE(RssList_DirectSave(CATALOGUE_FILE));
    ASSERT_TRUE(RssList_Load(CATALOGUE_FILE));
    EXPECT_EQ(FileNames(), many);
}

// ---------------------------------------------------------------- crash

TEST(HostileCrash, AStackOverflowInAWorkerIsReportedAndTheNextStartIsTold) {
    InFolder folder;
    const ProcessResult r = RunTool({"crash", "thread-overflow"}, folder.Dir().Path());
    EXPECT_EQ(r.ExitCode, 1);
    const std::string log = ReadFileOrEmpty(folder.Dir().File("Orvalis.Log"));
    EXPECT_TRUE(Contains(log, "Orvalis crash test\r\nA program error was detected:\r\n"
                              "Error Message:   Access violation"))
        << log;
    std::string report;
    ASSERT_TRUE(CrashHandler_TakeLastFault(report));
    EXPECT_EQ(report.rfind("A program error was detected:\r\n", 0), 0u);
    EXPECT_FALSE(CrashHandler_TakeLastFault(report)) << "told once";
}

// Feed documents become article records: the reader helpers on their own, then a
// corpus of documents shaped after what real feeds do, each with its expected items.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "support/TestSupport.h"
#include "update/core/FeedParse.h"
#include "update/net/UrlTools.h"

TEST(FeedParseHelpers, DurationsInTheirThreeForms) {
    struct Row {
        const char* Text;
        int32_t Seconds;
    } rows[] = {
        {"75", 75},         // plain seconds
        {"1:15", 75},       // minutes and seconds
        {"0:01:15", 75},    // hours, minutes and seconds
        {"01:02:03", 3723}, // leading zeros
        {"1:2:3:4", 0},     // three separators: unknown
        {"", 0},            // empty
    };
    for (const Row& r : rows)
        EXPECT_EQ(DurationToSeconds(r.Text), r.Seconds) << r.Text;
}

TEST(FeedParseHelpers, ExtensionIsTakenFromTheLastPathSegment) {
    struct Row {
        const char* Url;
        const char* Extension;
    } rows[] = {
        {"http://x.org/a/b.mp3", "mp3"},      // plain
        {"http://x.org/a/b.MP3?dl=1", "MP3"}, // query dropped, case kept
        {"http://x.org/a.dir/b", ""},         // dot only in a folder name
        {"http://x.org/b.tar.gz#frag", "gz"}, // last dot wins, fragment dropped
        {"http://x.org/", ""},                // no segment
    };
    for (const Row& r : rows)
        EXPECT_EQ(Url_Extension(r.Url), r.Extension) << r.Url;
    EXPECT_TRUE(Url_IsAudioExtension("MP3"));
    EXPECT_TRUE(Url_IsAudioExtension("m4a"));
    EXPECT_FALSE(Url_IsAudioExtension("jpg"));
    EXPECT_FALSE(Url_IsAudioExtension(""));
}

TEST(FeedParseHelpers, TrackingAddressesAreUnwrapped) {
    struct Row {
        const char* In;
        const char* Out;
    } rows[] = {
        {"http://example.org/a.mp3", "http://example.org/a.mp3"}, // ordinary address
        {"http://t.example.net/r?u=https%3A%2F%2Fm.example.com%2Fa.mp3",
         "https://m.example.com/a.mp3"}, // encoded inner address
        {"http://t.example.net/x/http://m.example.com/b.mp3", "http://m.example.com/b.mp3"},
        {"http://m.example.com:8080/c.mp3", "http://m.example.com:8080/c.mp3"}, // port kept
        {"no address at all", ""},                                              // no ":"
    };
    for (const Row& r : rows)
        EXPECT_EQ(UnwrapUrl(r.In), r.Out) << r.In;
}

TEST(FeedParseHelpers, OnlyBasicTagsSurviveInDescriptions) {
    EXPECT_EQ(
        KeepBasicTags("<div><p>a<br/>b</p><img src=\"i\"> <a href=\"u\">l</a><h2>h</h2></div>"),
        "a<br/>b<img src=\"i\"> <a href=\"u\">l</a><h2>h</h2>");
    EXPECT_EQ(KeepBasicTags("text <unclosed"), "text ");
    EXPECT_EQ(TitleToText("Caf&amp;#233;"), "Café");
}

TEST(FeedParseHelpers, UrlDateMasksAreFilled) {
    // 2026-03-01 09:05:07 on the wall clock.
    EXPECT_EQ(ExpandUrlDate("http://x/%yyyy/%mm/%dd/%hh%ii%ss-%yy", 1772355907),
              "http://x/2026/03/01/090507-26");
    EXPECT_EQ(ExpandUrlDate("http://x/plain", 1772355907), "http://x/plain");
}

// Every document of tests/data/feeds/ is parsed by orvalis-tool as the update does it, and
// compared line by line with the expected records beside it (<name>.jsonl); documents that
// must be refused have a <name>.fail file instead.
TEST(FeedCorpus, EveryDocumentGivesItsExpectedItems) {
    const std::string dir = TestData("feeds");
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string path = entry.path().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".xml" && ext != ".html") continue;
        const std::string base = path.substr(0, path.size() - ext.size());
        const ProcessResult r = RunTool({"parse", path}, {}, {"TZ=UTC"});
        if (File_Exists(base + ".fail")) {
            EXPECT_EQ(r.ExitCode, 1) << path;
            EXPECT_EQ(r.Out, "") << path;
            EXPECT_NE(r.Err, "") << path;
        } else {
            EXPECT_EQ(r.ExitCode, 0) << path << "\n" << r.Err;
            EXPECT_EQ(r.Out, ReadFileOrEmpty(base + ".jsonl")) << path;
        }
        ++checked;
    }
    EXPECT_GE(checked, 40);
}

TEST(FeedCorpus, ThousandsOfItemsAndHugeDescriptionsAreAllRead) {
    TempDir dir;
    std::string doc = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Big</title>";
    const std::string big(300000, 'x');
    for (int i = 0; i < 5000; ++i) {
        doc += "<item><title>Item " + std::to_string(i) + "</title><guid>g" + std::to_string(i) +
               "</guid><description>" + (i == 0 ? big : std::string("d")) + "</description></item>";
    }
    doc += "</channel></rss>";
    WriteFileOrDie(dir.File("big.xml"), doc);
    const ProcessResult r = RunTool({"parse", dir.File("big.xml")}, {}, {"TZ=UTC"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    size_t lines = 0;
    for (char c : r.Out)
        lines += c == '\n';
    EXPECT_EQ(lines, 5000u);
    EXPECT_NE(r.Out.find(big), std::string::npos);
    EXPECT_NE(r.Out.find("\"Title\":\"Item 4999\""), std::string::npos);
}

TEST(FeedCorpus, AMissingFileIsAnErrorOnStandardError) {
    const ProcessResult r = RunTool({"parse", "/nonexistent/feed.xml"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err, "");
}

#include "update/net/DownloadTool.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

static std::unique_ptr<XmlDocument> ParseText(const std::string& text) {
    return IsGoodXML("test.xml", &text, static_cast<int64_t>(text.size()));
}

TEST(FeedReaders, OnlyCdataThatOpensTheContentIsTaken) {
    auto doc = ParseText("<a><b>\n  <![CDATA[one]]><![CDATA[ two]]> end</b>"
                         "<c>lead <![CDATA[late]]></c></a>");
    ASSERT_TRUE(doc);
    XmlNode* a = doc->RootElement();
    EXPECT_EQ(Trim(XmlText(XmlChild(a, "b", 1))), "one two\n   end");
    // Character data is no node: a section after it still opens the element's nodes.
    EXPECT_EQ(XmlText(XmlChild(a, "c", 1)), "latelead ");
}

TEST(FeedReaders, AStopRequestBetweenItemsKeepsWhatWasCommitted) {
    auto doc = ParseText("<rss version=\"2.0\"><channel><title>t</title>"
                         "<item><title>one</title></item><item><title>two</title></item>"
                         "</channel></rss>");
    ASSERT_TRUE(doc);
    ParsedItems.clear();
    {
        std::lock_guard<std::mutex> lock(ThreadStopMaskLock);
        ThreadStopMask |= 1;
    }
    Feed_ReadRssV2(doc.get());
    EXPECT_TRUE(ParsedItems.empty());
    {
        std::lock_guard<std::mutex> lock(ThreadStopMaskLock);
        ThreadStopMask &= ~1u;
    }
    Feed_ReadRssV2(doc.get());
    ASSERT_EQ(ParsedItems.size(), 2u);
    EXPECT_EQ(ParsedItems[1].Title, "two");
}

TEST(FeedReaders, DailyMotionAndRssKindsShareOneReaderAndOtherRootsGiveNothing) {
    auto doc = ParseText("<html><body>page</body></html>");
    ASSERT_TRUE(doc);
    ParsedItems.clear();
    EXPECT_EQ(Feed_ReadByRoot(doc.get()), -1);
    EXPECT_EQ(Feed_ReadRssV2(doc.get()), 0);
    EXPECT_EQ(Feed_ReadAtom(nullptr), 0);
    EXPECT_TRUE(ParsedItems.empty());
}

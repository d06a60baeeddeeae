// Documents fetched from a local server with each download method, feeds recognised by
// their root element, page charsets, clean titles and the parse-error report.
#include <gtest/gtest.h>

#include "catalogue/core/Records.h"
#include "platform/core/FileUtil.h"
#include "shell/base/Log.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlDownload.h"

namespace {
std::string Fixture(const std::string& name) {
    return ReadFileOrEmpty(TestData("xml/" + name));
}

DownloadSettings Methods(const std::string& list) {
    DownloadSettings s;
    s.DownloadPriority = list;
    return s;
}

class XmlDownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Network_Init());
        Log_Reset();
        TimeZoneOffset = 0;
    }
    LocalHttpServer server;
    TempDir dir;
};

const char* const kRss2 =
    "<?xml version=\"1.0\"?><rss version=\" 2.0\"><channel><title>Le &lt;b&gt;Monde&lt;/b&gt;"
    "</title><description>Tout &amp; rien</description><language>fra</language>"
    "<ttl>60</ttl><lastBuildDate>Mon, 02 Jan 2006 15:04:05 GMT</lastBuildDate>"
    "<item><title>a</title><pubDate>Tue, 03 Jan 2006 10:00:00 GMT</pubDate></item>"
    "</channel></rss>";
} // namespace

TEST_F(XmlDownloadTest, EveryMethodBringsTheDocumentAndLogsIt) {
    server.Serve("/feed.xml", HttpOk(Fixture("bare-ampersand-in-title.xml"), "text/xml"));
    for (const char* method : {"WinINet", "PureHttp", "API", "Pure"}) {
        SCOPED_TRACE(method);
        Log_Reset();
        const std::string file = dir.File(std::string(method) + ".htm");
        auto doc = DownloadXml(server.Url("/feed.xml"), file, 0, std::string(method) + ";", 0,
                               DownloadSettings());
        ASSERT_NE(doc, nullptr) << Log_Text();
        EXPECT_EQ(XmlText(XmlChild(XmlChild(doc->RootElement(), "channel", 1), "title", 1)),
                  "Tom & Jerry");
        EXPECT_NE(Log_Text().find("  Patched by IsGoodXml, "), std::string::npos);
        EXPECT_NE(Log_Text().find(" DownloadedXml by " + std::string(method) +
                                  ", TotalBytes=146, TotalTime="),
                  std::string::npos)
            << Log_Text();
        // Only the methods that write a file leave one.
        const bool writesFile = std::string(method) == "API" || std::string(method) == "Pure";
        EXPECT_EQ(File_Exists(file), writesFile);
    }
}

TEST_F(XmlDownloadTest, AFailedMethodIsLoggedAndTheNextOneTried) {
    server.Serve("/bad.xml", HttpOk("<rss><channel>", "text/xml"));
    server.Serve("/good.xml", HttpOk("<rss/>", "text/xml"));
    auto doc = DownloadXml(server.Url("/missing.xml"), dir.File("p.htm"), 0, "WinINet;PureHttp;", 0,
                           DownloadSettings());
    EXPECT_EQ(doc, nullptr);
    const std::string log = Log_Text();
    EXPECT_NE(log.find("! Error, Not downloadedXml by WinINet, " + server.Url("/missing.xml")),
              std::string::npos);
    // A failing "PureHttp" counts as not tried, as in DownloadFile.
    EXPECT_EQ(log.find("PureHttp"), std::string::npos);
    EXPECT_EQ(server.Paths().size(), 2u);

    // A document that cannot be repaired counts as not downloaded.
    Log_Reset();
    EXPECT_EQ(DownloadXml(server.Url("/bad.xml"), dir.File("p.htm"), 0, "WinINet;", 0,
                          DownloadSettings()),
              nullptr);
    EXPECT_NE(Log_Text().find("! Error, Not downloadedXml by WinINet"), std::string::npos);

    // An unknown method name is skipped; "itpc:" is read as "http:".
    Log_Reset();
    std::string url = server.Url("/good.xml");
    url.replace(0, 4, "ITPC");
    doc = DownloadXml(url, dir.File("p.htm"), 0, "Carrier pigeon;WinINet;", 0, DownloadSettings());
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(Log_Text().find(" DownloadedXml by WinINet"), std::string::npos);
}

TEST_F(XmlDownloadTest, AnEmptyMethodListTakesTheDownloadPriority) {
    server.Serve("/good.xml", HttpOk("<rss/>", "text/xml"));
    auto doc =
        DownloadXml(server.Url("/good.xml"), dir.File("p.htm"), 0, "", 0, Methods("PureHttp;"));
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(Log_Text().find(" DownloadedXml by PureHttp"), std::string::npos);
}

TEST_F(XmlDownloadTest, WithTheProxyOnWinINetIsSkippedSilentlyButTheFileMethodsRun) {
    server.Serve("/good.xml", HttpOk("<rss/>", "text/xml"));
    DownloadSettings s;
    s.UseProxy = true;
    s.ProxyHost = "127.0.0.1";
    s.ProxyPort = 1; // nothing listens there; only "PureHttp" would use it
    auto doc = DownloadXml(server.Url("/good.xml"), dir.File("p.htm"), 0, "WinINet;API;", 0, s);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(Log_Text().find("WinINet"), std::string::npos);
    EXPECT_NE(Log_Text().find(" DownloadedXml by API, TotalBytes=6,"), std::string::npos);
}

TEST_F(XmlDownloadTest, NothingIsTriedWithoutAnAddressOrAFile) {
    EXPECT_EQ(DownloadXml("", dir.File("p.htm"), 0, "WinINet;", 0, DownloadSettings()), nullptr);
    EXPECT_EQ(DownloadXml(server.Url("/x"), "", 0, "WinINet;", 0, DownloadSettings()), nullptr);
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(XmlDownloadTest, AStopRequestEndsTheMethodList) {
    server.Serve("/good.xml", HttpOk("<rss/>", "text/xml"));
    ThreadStopMask_Set(1);
    auto doc = DownloadXml(server.Url("/good.xml"), dir.File("p.htm"), 1, "WinINet;PureHttp;", 0,
                           DownloadSettings());
    ThreadStopMask_Set(0);
    EXPECT_EQ(doc, nullptr);
    EXPECT_TRUE(server.Requests().empty());
}

struct FeedRow {
    const char* Body;
    int Result;
    const char* ExtractAs;
    const char* Name;
    const char* Language;
    const char* Description;
    int32_t Date;
    int32_t Interval;
    const char* Quirk;
};

TEST_F(XmlDownloadTest, FeedKindsAreRecognisedByTheirRootElement) {
    const int32_t jan2 = Date_Make(2006, 1, 2, 15, 4, 0);
    const FeedRow rows[] = {
        {kRss2, 2, "RssV2", "Le Monde", "FR", "Tout & rien", jan2, 60, "RSS 2 with ttl 60"},
        {"<rss version='0.91'><channel><title>Old</title><ttl>4320</ttl>"
         "</channel></rss>",
         1, "", "Old", "", "", 0, 300, "other RSS version, ttl of three days ignored"},
        {"<rss version='2.0'><channel xml:lang='en-gb'><title>T</title></channel></rss>", 1,
         "RssV2", "T", "EN-GB", "", 0, 300, "language from the channel's attribute"},
        {"<rdf:RDF xmlns:rdf='r' xmlns:dc='d'><channel><title>R</title>"
         "<dc:language>de</dc:language><description>D</description>"
         "<dc:date>2006-01-02T15:04:00Z</dc:date></channel><item/></rdf:RDF>",
         2, "RDF", "R", "DE", "D", jan2, 300, "RDF with items beside the channel"},
        {"<feed xml:lang='fr'><title>A</title><subtitle>S &amp; s</subtitle>"
         "<updated>2006-01-02T15:04:00Z</updated></feed>",
         1, "Atom", "A", "FR", "S & s", jan2, 300, "Atom without entry"},
        {"<FEED><title>A</title><entry/></FEED>", 2, "Atom", "A", "", "", 0, 300,
         "Atom with an entry, root name in capitals"},
        {"<feed><title>Uploads by Someone - Vid\xC3\xA9os les plus r\xC3\xA9"
         "centes - "
         "Dailymotion</title></feed>",
         1, "Atom", "Someone", "", "", 0, 300, "video site decorations removed"},
        {"<rss version='2.0'><channel><item/></channel></rss>", 0, "", "", "", "", 0, 300,
         "no title: no feed"},
        {"<html><title>Page</title></html>", 0, "", "", "", "", 0, 300, "not a feed"},
    };
    for (const FeedRow& r : rows) {
        SCOPED_TRACE(r.Quirk);
        // The XML check of the "WinINet" method wants a declaration in the first block.
        const std::string body = std::string(r.Body).rfind("<?xml", 0) == 0
                                     ? std::string(r.Body)
                                     : "<?xml version='1.0'?>" + std::string(r.Body);
        server.Serve("/f.xml", HttpOk(body, "text/xml"));
        Rss feed;
        EXPECT_EQ(GetRssInfoFromURL(server.Url("/f.xml"), feed, 1, 1, 0, DownloadSettings()),
                  r.Result);
        EXPECT_EQ(feed.ExtractAs, r.ExtractAs);
        EXPECT_EQ(feed.Name, r.Name);
        EXPECT_EQ(feed.Language, r.Language);
        EXPECT_EQ(feed.Description, r.Description);
        EXPECT_EQ(feed.LastBuildDate, r.Date);
        EXPECT_EQ(feed.Interval, r.Interval);
        EXPECT_EQ(feed.Url, r.Result ? server.Url("/f.xml") : "");
    }
}

TEST_F(XmlDownloadTest, FeedInfoKeepsTheNameUnlessAskedAndBankModeDatesByTheFirstItem) {
    server.Serve("/f.xml", HttpOk(kRss2, "text/xml"));
    Rss feed;
    feed.Name = "Mine";
    EXPECT_EQ(GetRssInfoFromURL(server.Url("/f.xml"), feed, 0, 1, 0, DownloadSettings()), 2);
    EXPECT_EQ(feed.Name, "Mine");
    EXPECT_EQ(feed.LastBuildDate, Date_Make(2006, 1, 2, 15, 4, 0));
    EXPECT_EQ(GetRssInfoFromURL(server.Url("/f.xml"), feed, 0, 1, 1, DownloadSettings()), 2);
    EXPECT_EQ(feed.LastBuildDate, Date_Make(2006, 1, 3, 10, 0, 0));
}

TEST_F(XmlDownloadTest, TheXmlCheckRefusesAPageWithoutDeclarationAtOnce) {
    server.Serve("/f.xml", HttpOk("<feed><title>A</title></feed>", "text/xml"));
    Rss feed;
    EXPECT_EQ(GetRssInfoFromURL(server.Url("/f.xml"), feed, 1, 1, 0, DownloadSettings()), 0);
    EXPECT_EQ(GetRssInfoFromURL(server.Url("/f.xml"), feed, 1, 0, 0, Methods("WinINet;")), 1);
    EXPECT_EQ(feed.ExtractAs, "Atom");
}

TEST_F(XmlDownloadTest, AFailedFeedInfoIsLogged) {
    Rss feed;
    EXPECT_EQ(GetRssInfoFromURL(server.Url("/none"), feed, 1, 1, 0, DownloadSettings()), 0);
    EXPECT_NE(Log_Text().find("! Error, GetRssInfoFromURL( " + server.Url("/none") + " )"),
              std::string::npos);
}

TEST_F(XmlDownloadTest, FeedInfoCommandPrintsTheFields) {
    server.Serve("/f.xml", HttpOk(kRss2, "text/xml"));
    ProcessResult r = RunTool({"feedinfo", server.Url("/f.xml")}, dir.Path(), {"TZ=UTC0"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "Result = 2\nUrl = " + server.Url("/f.xml") +
                         "\nExtractAs = RssV2\nName = Le Monde\nLanguage = FR\n"
                         "Description = Tout & rien\nLastBuildDate = 2006/01/02 15:04\n"
                         "Interval = 60\n");
    EXPECT_NE(r.Err.find(" DownloadedXml by WinINet"), std::string::npos);
    // The command leaves no page file behind, whatever method wrote it.
    r = RunTool({"feedinfo", server.Url("/f.xml"), "--methods", "API;"}, dir.Path(), {"TZ=UTC0"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_FALSE(File_Exists(dir.File(RssInfo_TmpPagePath)));
    r = RunTool({"feedinfo", server.Url("/none")}, dir.Path());
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_NE(r.Err.find("! Error, GetRssInfoFromURL( "), std::string::npos);
}

struct PeekRow {
    std::string Bytes;
    int64_t Size;
    int Format;
    std::string Text;
    const char* Quirk;
};

TEST(PeekPage, PicksTheCharsetOfAPage) {
    const std::string u16("<\0h\0\xE9\0", 6);
    const PeekRow rows[] = {
        {u16, 6, 0, "<h\xC3\xA9", "NUL among the first 10 bytes: UTF-16"},
        {"\xFF\xFE" + u16, 8, 0, "<h\xC3\xA9", "UTF-16 byte-order mark dropped"},
        {"<meta charset=UTF-8>\xC3\xA9", 22, 0, "<meta charset=UTF-8>\xC3\xA9", "utf-8 named"},
        {"<?xml encoding='Utf8'?>\xC3\xA9", 25, 0, "<?xml encoding='Utf8'?>\xC3\xA9", "utf8 named"},
        {"<p>\xE9\x80</p>", 9, 0, "<p>\xC3\xA9\xE2\x82\xAC</p>", "nothing named: Windows-1252"},
        {std::string(8000, ' ') + "utf-8\xE9", 8006, 0, std::string(8000, ' ') + "utf-8\xC3\xA9",
         "charset named after 8000 bytes is not seen"},
        {"<p>\xE9</p>", 8, 2, "<p>\xEF\xBF\xBD</p>", "forced UTF-8, bad byte replaced"},
        {"abc", 2, 1, "ab", "only the given size"},
        {"abc", 10, 1, "abc", "size cut to the block"},
        {"abc", 0, 0, "", "no size"},
        {"", 5, 0, "", "empty block"},
    };
    for (const PeekRow& r : rows)
        EXPECT_EQ(PeekPage(&r.Bytes, r.Size, r.Format), r.Text) << r.Quirk;
    EXPECT_EQ(PeekPage(nullptr, 5, 0), "");
}

TEST(CleanHtmlText, MakesOneCleanLineOfAFragment) {
    EXPECT_EQ(CleanHtmlText("  <b>Caf&eacute;</b>&nbsp;&amp; th\xC3\xA9<br/>suite\x01 "),
              "Caf\xC3\xA9 & th\xC3\xA9suite");
    EXPECT_EQ(CleanHtmlText("a<br>b"), "ab");
}

TEST(XmlShowError, ShowsTheLinesAroundTheFaultWithTheirBytes) {
    TempDir dir;
    const std::string file = dir.File("ItemsU.Xml");
    WriteFileOrDie(file, "<a>\r\n<b>caf\xC3\xA9 & co</b>\r\n</a>\r\n");
    // Position 6 of line 2 is its seventh character, "é" (two bytes); the other lines are
    // shorter than that.
    const std::string expected = "not well-formed\r\n Line=2 Position=6\r\n"
                                 "Line 1, 0 : \r\n\r\n"
                                 "Line 2, 5 : \xC3\xA9 & co</b>\r\n"
                                 "C3 A9 20 26 20 63 6F 3C 2F 62 3E \r\n"
                                 "Line 3, 24 : \r\n\r\n";
    EXPECT_EQ(XmlErrorText(file, "not well-formed", 2, 6), expected);
    EXPECT_EQ(XmlErrorText(file, "m", 1, 1), "m\r\n Line=1 Position=1\r\n"
                                             "Line 1, 0 : a>\r\n61 3E 0D 0A \r\n"
                                             "Line 2, 5 : b>caf\xC3\xA9 & c\r\n"
                                             "62 3E 63 61 66 C3 A9 20 26 20 63 \r\n");
    std::string title, text, folder;
    XmlShowError_SetPresenter(
        [&](const std::string& t, const std::string& x, const std::string& f) {
            title = t;
            text = x;
            folder = f;
        });
    XmlShowError(file, "not well-formed", 2, 6);
    XmlShowError_SetPresenter(nullptr);
    EXPECT_EQ(title, "Error ItemsU.Xml");
    EXPECT_EQ(text, expected);
    EXPECT_EQ(folder, dir.Path());
}

// Feed addresses and the discovery of feeds in pages served by a local server: link
// completion, candidates, checks in page order, radios, the filter words, cancelling,
// the verification of imported feeds, the video-address conversion on saved pages and
// orvalis-tool discover / feedurl.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "discovery/core/Discovery.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/FeedUrl.h"
#include "platform/core/Text.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"

namespace {
const char* kRss =
    "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Rss &amp; co</title>"
    "<language>fra</language><description>d</description><item><title>i</title>"
    "</item></channel></rss>";
const char* kAtom =
    "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:lang=\"en\"><title>Atom feed</title>"
    "<entry><title>e</title></entry></feed>";
const char* kRdf =
    "<?xml version=\"1.0\"?><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
    "<channel><title>Rdf feed</title></channel><item><title>i</title></item></rdf:RDF>";
const char* kEmpty =
    "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Empty</title></channel></rss>";

std::string LinksPage(const LocalHttpServer& s) {
    std::string page = ReadFileOrEmpty(TestData("discovery/links.html"));
    page = ReplaceAll(page, "HOSTPORT", s.HostPort());
    return ReplaceAll(page, "ABSOLUTE", s.Url(""));
}

void ServeSite(LocalHttpServer& s) {
    s.Serve("/site/links.html", HttpOk(LinksPage(s), "text/html"));
    s.Serve("/feeds/rss.xml", HttpOk(kRss, "application/rss+xml"));
    s.Serve("/site/atom.xml", HttpOk(kAtom, "application/atom+xml"));
    s.Serve("/proto/rdf.xml", HttpOk(kRdf, "application/rdf+xml"));
    // A feed with a bare ampersand: read through the repair.
    s.Serve("/abs/feed.xml", HttpOk("<rss version=\"2.0\"><channel><title>A & B</title><item>"
                                    "<title>x</title></item></channel></rss>",
                                    "text/xml"));
    s.Serve("/site/page2.html", HttpOk("<html><body>no feed</body></html>", "text/html"));
    s.Serve("/stream/live",
            HttpOk(std::string("ID3\x03\x00\x00\x00\x00\x00\x0f", 10) + std::string(20000, '\x55'),
                   "audio/mpeg"));
    s.Serve("/empty-channel.xml", HttpOk(kEmpty, "text/xml"));
    s.Serve("/podcast.php", HttpOk(kRss, "text/xml"));
}

std::string Found(const CursorList<Rss>& list) {
    std::string s;
    for (const Rss& f : list)
        s += f.Url + " | " + f.ExtractAs + " | " + f.Name + " | " + f.Language + "\n";
    return s;
}
} // namespace

TEST(FeedUrl, NormalizedAddressesAndSearchAddresses) {
    EXPECT_EQ(NormalizeUrl("  www.example.org/feed#top "), "http://www.example.org/feed");
    EXPECT_EQ(NormalizeUrl("WWW.Example.org"), "http://WWW.Example.org");
    EXPECT_EQ(NormalizeUrl("mms://www.radio.example/live"), "mms://www.radio.example/live");
    EXPECT_EQ(NormalizeUrl("https://www.e.org/a#b#c"), "https://www.e.org/a");
    EXPECT_EQ(NormalizeUrl("example.org/x"), "example.org/x");
    EXPECT_EQ(YouTubeSearchUrl("  été  à la   plage "),
              "https://www.youtube.com/results?search_query=%C3%A9t%C3%A9+%C3%A0+la+plage");
    EXPECT_EQ(DailyMotionSearchUrl("ça ôte"),
              "https://www.dailymotion.com/rss/relevance/search/%C3%A7a+%C3%B4te");
    EXPECT_EQ(AccentEscape("ÉÀ ñ ùûü"), "ÉÀ ñ %C3%B9%C3%BB%C3%BC");
    EXPECT_EQ(RetiredVideoUserUrl("http://gdata.youtube.com/feeds/api/users/someone/uploads"),
              "https://www.youtube.com/user/someone");
    EXPECT_EQ(RetiredVideoUserUrl("http://example.org/feeds/api/users/x"), "");
}

TEST(FeedUrl, VideoPagesSavedToDiskGiveTheirFeedAddresses) {
    auto page = [](const char* name) {
        return ReadFileOrEmpty(TestData(std::string("discovery/") + name));
    };
    const std::string channel = "https://www.youtube.com/channel/x";
    EXPECT_EQ(ConvertVideoUrl_FromPage(channel, page("video1_both_markers.html")),
              "https://www.youtube.com/feeds/videos.xml?channel_id=UCfirstMarker123");
    EXPECT_EQ(
        ConvertVideoUrl_FromPage("https://www.youtube.com/watch?v=1", page("video1_ucid.html")),
        "https://www.youtube.com/feeds/videos.xml?channel_id=UC_ucid-Only42");
    EXPECT_EQ(ConvertVideoUrl_FromPage(channel, page("video1_ytid.html")),
              "https://www.youtube.com/feeds/videos.xml?channel_id=UCytidOnly77");
    EXPECT_EQ(ConvertVideoUrl_FromPage(channel, page("video1_none.html")), channel);
    const std::string video = "https://www.dailymotion.com/video/x7abc";
    EXPECT_EQ(ConvertVideoUrl_FromPage(video, page("video2_video.html")),
              "https://www.dailymotion.com/rss/user/someuser42/");
    EXPECT_EQ(ConvertVideoUrl_FromPage(video, page("video2_other_site.html")), video);
    // Other addresses are not downloaded at all; a failed download leaves the address.
    int loads = 0;
    auto loader = [&](const std::string&, std::string&) {
        ++loads;
        return false;
    };
    EXPECT_EQ(ConvertVideoUrl("http://example.org/feed", loader), "http://example.org/feed");
    EXPECT_EQ(loads, 0);
    EXPECT_EQ(ConvertVideoUrl(channel, loader), channel);
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(ConvertVideoUrl(channel,
                              [&](const std::string&, std::string& out) {
                                  out = page("video1_ytid.html");
                                  return true;
                              }),
              "https://www.youtube.com/feeds/videos.xml?channel_id=UCytidOnly77");
}

TEST(DiscoveryLinks, LinksAreCompletedFilteredAndKeptOnceInPageOrder) {
    EXPECT_EQ(Discovery_CompleteLink("feed.xml", "http://h:8/a/b/page.html?x=1"),
              "http://h:8/a/b/feed.xml");
    EXPECT_EQ(Discovery_CompleteLink("/f", "https://h/a/b"), "https://h/f");
    EXPECT_EQ(Discovery_CompleteLink("//cdn.h/f", "https://h/a"), "https://cdn.h/f");
    EXPECT_EQ(Discovery_CompleteLink("?p=2", "http://h/a/list.php?p=1"), "http://h/a/list.php?p=2");
    EXPECT_EQ(Discovery_CompleteLink("f.xml", "http://h"), "http://h/f.xml");
    EXPECT_EQ(Discovery_CompleteLink("a.php?x=1&amp;y=2#frag", "http://h/"),
              "http://h/a.php?x=1&y=2");
    EXPECT_EQ(Discovery_CompleteLink("#top", "http://h/"), "");

    const std::string page = ReplaceAll(
        ReplaceAll(ReadFileOrEmpty(TestData("discovery/links.html")), "HOSTPORT", "other:81"),
        "ABSOLUTE", "http://abs.example");
    size_t values = 0;
    const std::vector<std::string> all =
        Discovery_CollectLinks(page, "http://site.example/dir/links.html", {}, &values);
    EXPECT_EQ(values, 15u);
    EXPECT_EQ(all, (std::vector<std::string>{
                       "http://site.example/feeds/rss.xml", "http://site.example/dir/atom.xml",
                       "http://other:81/proto/rdf.xml", "http://abs.example/abs/feed.xml",
                       "http://site.example/dir/page2.html", "http://site.example/missing-feed.xml",
                       "http://site.example/dir/radio/live.pls", "http://site.example/stream/live",
                       "http://site.example/empty-channel.xml",
                       "http://site.example/podcast.php?id=3&fmt=rss"}));
    const std::vector<std::string> filtered = Discovery_CollectLinks(
        page, "http://site.example/dir/links.html",
        Discovery_FilterWords(" ATOM ;feed;;new;php;pod;podcast;rss;tune;xml;"));
    EXPECT_EQ(filtered.size(), 7u);
    EXPECT_EQ(std::count(filtered.begin(), filtered.end(), "http://site.example/stream/live"), 0);
    EXPECT_EQ(std::count(filtered.begin(), filtered.end(), "http://site.example/dir/page2.html"),
              0);
}

TEST(DiscoveryLinks, APageOfManyLinksIsBounded) {
    std::string page;
    for (int i = 0; i < 100000; ++i)
        page += "<a href='/f" + std::to_string(i) + ".xml'>x</a>";
    const std::vector<std::string> links = Discovery_CollectLinks(page, "http://h/", {});
    EXPECT_EQ(links.size(), DISCOVERY_MAX_LINKS);
    EXPECT_EQ(links.front(), "http://h/f0.xml");
}

TEST(DiscoveryPage, FeedsAndRadiosComeInPageOrderWithTheirTitlesAndLanguages) {
    ASSERT_TRUE(Network_Init());
    LocalHttpServer s;
    ServeSite(s);
    CursorList<Rss> found;
    int polls = 0;
    EXPECT_EQ(Discovery_FindFeeds(
                  s.Url("/site/links.html"), {}, DISCOVERY_PARALLEL, DownloadSettings(),
                  [&](int, int, int) {
                      ++polls;
                      return true;
                  },
                  found),
              DISCOVERY_OK);
    EXPECT_GT(polls, 0);
    EXPECT_EQ(Found(found), s.Url("/feeds/rss.xml") + " | RssV2 | Rss & co | FR\n" +
                                s.Url("/site/atom.xml") + " | Atom | Atom feed | EN\n" +
                                s.Url("/proto/rdf.xml") + " | RDF | Rdf feed | \n" +
                                s.Url("/abs/feed.xml") + " | RssV2 | A & B | \n" +
                                s.Url("/site/radio/live.pls") + " | NetRadio | live.pls | \n" +
                                s.Url("/stream/live") + " | NetRadio | live | \n" +
                                s.Url("/empty-channel.xml") + " | RssV2 | Empty | \n" +
                                s.Url("/podcast.php?id=3&fmt=rss") + " | RssV2 | Rss & co | FR\n");
    for (const Rss& f : found)
        EXPECT_EQ(f.ExtractError & SELECT_BIT, SELECT_BIT);
    EXPECT_EQ(found.Raw().back().ContentRss, 0);
    // The playlist was recognised by its extension, without a request.
    for (const std::string& p : s.Paths())
        EXPECT_EQ(p.find(".pls"), std::string::npos);

    // One check at a time finds the same feeds in the same order.
    CursorList<Rss> serial;
    EXPECT_EQ(Discovery_FindFeeds(s.Url("/site/links.html"), {}, 1, DownloadSettings(), {}, serial),
              DISCOVERY_OK);
    EXPECT_EQ(Found(serial), Found(found));

    CursorList<Rss> filtered;
    EXPECT_EQ(Discovery_FindFeeds(s.Url("/site/links.html"), Discovery_FilterWords("rss;atom"), 8,
                                  DownloadSettings(), {}, filtered),
              DISCOVERY_OK);
    EXPECT_EQ(Found(filtered), s.Url("/feeds/rss.xml") + " | RssV2 | Rss & co | FR\n" +
                                   s.Url("/site/atom.xml") + " | Atom | Atom feed | EN\n" +
                                   s.Url("/podcast.php?id=3&fmt=rss") +
                                   " | RssV2 | Rss & co | FR\n");

    CursorList<Rss> none;
    EXPECT_EQ(Discovery_FindFeeds(s.Url("/nothing.html"), {}, 8, DownloadSettings(), {}, none),
              DISCOVERY_DOWNLOAD_ERROR);
    EXPECT_TRUE(none.Empty());
}

TEST(DiscoveryPage, ACancelStopsEveryStalledCheck) {
    ASSERT_TRUE(Network_Init());
    LocalHttpServer s;
    std::string page;
    for (int i = 0; i < 20; ++i) {
        const std::string path = "/stall" + std::to_string(i) + ".xml";
        page += "<a href=\"" + path + "\">x</a>";
        HttpReply stall = HttpOk(std::string(kRss) + std::string(5000, ' '), "text/xml");
        stall.StallAfter = 10;
        s.Serve(path, stall);
    }
    s.Serve("/page.html", HttpOk(page, "text/html"));
    CursorList<Rss> found;
    int started = 0;
    const int status = Discovery_FindFeeds(
        s.Url("/page.html"), {}, 8, DownloadSettings(),
        [&](int, int total, int) {
            // Cancel once the checks are under way.
            if (total > 0) ++started;
            return started < 5;
        },
        found);
    EXPECT_EQ(status, DISCOVERY_CANCELLED);
    EXPECT_TRUE(found.Empty());
    // Only the first eight were ever asked for.
    EXPECT_LE(s.Paths().size(), 9u);
}

TEST(DiscoveryPage, VerificationMovesFeedsWithoutItemsAndLeavesOtherKindsAlone) {
    ASSERT_TRUE(Network_Init());
    LocalHttpServer s;
    ServeSite(s);
    CursorList<Rss> list;
    auto add = [&](const std::string& url, const char* type) {
        Rss f;
        f.Url = url;
        f.ExtractAs = type;
        f.Group = "G";
        list.AddLast(f);
    };
    add(s.Url("/feeds/rss.xml"), "RssV2");
    add(s.Url("/empty-channel.xml"), "RssV2");
    add(s.Url("/gone.xml"), "Atom");
    add(s.Url("/gone.pls"), "NetRadio");
    add(s.Url("/gone2.xml"), "OV-Meteo.exe");
    EXPECT_EQ(VerifyFeeds(list, 8, DownloadSettings(), {}), 2);
    std::string groups;
    for (const Rss& f : list)
        groups += f.Group + ";";
    EXPECT_EQ(groups, "G;Obsolète;Obsolète;G;G;");
}

TEST(DiscoveryTool, DiscoverPrintsThePageOrderAndFeedurlNormalises) {
    LocalHttpServer s;
    ServeSite(s);
    ProcessResult r = RunTool({"discover", s.Url("/site/links.html"), "--filtered"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "{\"Url\":\"" + s.Url("/feeds/rss.xml") +
                         "\",\"ExtractAs\":\"RssV2\",\"Name\":\"Rss & co\",\"Language\":\"FR\"}\n"
                         "{\"Url\":\"" +
                         s.Url("/site/atom.xml") +
                         "\",\"ExtractAs\":\"Atom\",\"Name\":\"Atom feed\",\"Language\":\"EN\"}\n"
                         "{\"Url\":\"" +
                         s.Url("/proto/rdf.xml") +
                         "\",\"ExtractAs\":\"RDF\",\"Name\":\"Rdf feed\",\"Language\":\"\"}\n"
                         "{\"Url\":\"" +
                         s.Url("/abs/feed.xml") +
                         "\",\"ExtractAs\":\"RssV2\",\"Name\":\"A & B\",\"Language\":\"\"}\n"
                         "{\"Url\":\"" +
                         s.Url("/empty-channel.xml") +
                         "\",\"ExtractAs\":\"RssV2\",\"Name\":\"Empty\",\"Language\":\"\"}\n"
                         "{\"Url\":\"" +
                         s.Url("/podcast.php?id=3&fmt=rss") +
                         "\",\"ExtractAs\":\"RssV2\",\"Name\":\"Rss & co\",\"Language\":\"FR\"}\n");
    r = RunTool({"feedurl", " www.example.org/feed.xml#part"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "http://www.example.org/feed.xml\n");
}

// The extraction of article pages served by a local HTTP server: character sets, the
// article's start, noise lines, failures, the cancel of a stalled download, and the same
// through orvalis-tool.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "article/core/CleanPage.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/net/DownloadTool.h"

namespace {
class ArticleExtract : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Network_Init());
        for (const char* name :
             {"page_cp1252.html", "page_utf8.html", "page_meta_charset.html",
              "page_menus_first.html", "page_title_colon.html", "page_description_clue.html",
              "page_noise_lines.html", "page_empty.html"})
            server.Serve(
                std::string("/") + name,
                HttpOk(ReadFileOrEmpty(TestData(std::string("article/") + name)), "text/html"));
    }
    std::string Extract(const std::string& page, const std::string& title,
                        const std::string& clue = {}, int* status = nullptr) {
        return CleanPage_ExtractText(server.Url("/" + page), 102400, title, clue, {}, {},
                                     DownloadSettings{}, status);
    }
    LocalHttpServer server;
};

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find("\r\n"));
}
} // namespace

TEST_F(ArticleExtract, Windows1252Utf8AndMetaCharsetPagesAllReadAsTheirCharacters) {
    const std::string title = "Le caf\u00e9 cr\u00e8me co\u00fbte 3 \u20ac";
    for (const char* page : {"page_cp1252.html", "page_utf8.html"}) {
        const std::string text = Extract(page, title);
        EXPECT_EQ(FirstLine(text), title) << page;
        EXPECT_NE(
            text.find("Un \u0153uf \u00e0 la coque \u2013 et \u00ab\u00a0voil\u00e0\u00a0\u00bb."),
            std::string::npos)
            << page << "\n"
            << text;
    }
    const std::string text =
        Extract("page_meta_charset.html",
                "\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439 \u043c\u0438\u0440");
    EXPECT_EQ(FirstLine(text),
              "\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439 \u043c\u0438\u0440");
    EXPECT_NE(text.find("Caf\u00e9 \u2013 \u043f\u0440\u0438\u0432\u0435\u0442."),
              std::string::npos);
}

TEST_F(ArticleExtract, MenusMoveBehindTheArticleWithTitleSourceAndStatisticsLines) {
    int status = 0;
    const std::string text =
        Extract("page_menus_first.html", "Nouvelle loi - Le Journal", {}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(text.rfind("Nouvelle loi sur le climat\r\nLe texte a \u00e9t\u00e9 vot\u00e9", 0), 0u)
        << text;
    const size_t top = text.find("\r\n=== Haut de texte ====\r\nAccueil\r\nPolitique\r\nSport\r\n");
    ASSERT_NE(top, std::string::npos) << text;
    EXPECT_LT(text.find("Mentions l\u00e9gales"), top);
    EXPECT_NE(text.find("\r\nTitre = Nouvelle loi - Le Journal\r\nSource = " +
                        server.Url("/page_menus_first.html") +
                        "\r\nT\u00e9l\u00e9chargement de 0."),
              std::string::npos);
    EXPECT_NE(text.find(" Ko en "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 10), " secondes.");
    EXPECT_EQ(text.find("\r\r"), std::string::npos);
}

TEST_F(ArticleExtract, TitleAfterColonAndDescriptionClueFindTheStart) {
    EXPECT_EQ(
        FirstLine(Extract("page_title_colon.html", "Rubrique : Sommet europ\u00e9en (direct)")),
        "Sommet europ\u00e9en \u00e0 Bruxelles");
    // The clue is the text view's content: the description's text, then the title.
    const std::string clue =
        "Le gouvernement pr\u00e9sente son budget ce mercredi. Les d\u00e9tails suivent.\r\n"
        "Budget 2027 : les grandes lignes";
    EXPECT_EQ(
        FirstLine(Extract("page_description_clue.html", "Budget 2027 : les grandes lignes", clue)),
        "Le gouvernement pr\u00e9sente son budget ce mercredi. Les d\u00e9tails suivent.");
    // Without the clue the title's first copy (the teaser) is the start.
    EXPECT_EQ(FirstLine(Extract("page_description_clue.html", "Budget 2027 : les grandes lignes")),
              "Budget 2027 : les grandes lignes");
}

TEST_F(ArticleExtract, NoiseLinesAreDroppedAndDatesKept) {
    const std::string text = Extract("page_noise_lines.html", "Article");
    EXPECT_EQ(text.substr(0, text.find("\r\nTitre =")),
              "Article\r\nPremier paragraphe.\r\n12 mai\r\n007\r\nFin.\r\n");
}

TEST_F(ArticleExtract, AChannelFoundInThePageStartsTheText) {
    const std::string text = CleanPage_ExtractText(
        server.Url("/page_title_colon.html"), 102400, "x", {}, {}, {}, DownloadSettings{}, nullptr,
        [](const std::string&, const std::string& html) {
            return html.find("Bruxelles") != std::string::npos ? std::string("http://feed.test/c")
                                                               : std::string();
        });
    EXPECT_EQ(text.rfind("Chaine YouTube : http://feed.test/c\r\n", 0), 0u) << text;
}

TEST_F(ArticleExtract, MissingPagesAndPagesWithoutTextGiveNothing) {
    int status = -5;
    EXPECT_EQ(Extract("nothere.html", "x", {}, &status), "");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Extract("page_empty.html", "x", {}, &status), "");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(CleanPage_ExtractText("", 102400, "x", {}, {}, {}, DownloadSettings{}, &status), "");
    EXPECT_EQ(status, 0);
}

TEST_F(ArticleExtract, ACancelDuringAStalledDownloadEndsWithinThreeSeconds) {
    HttpReply stalled = HttpOk(std::string(20000, 'x'), "text/html");
    stalled.StallAfter = 100;
    server.Serve("/stalled.html", stalled);
    std::atomic<bool> cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    const std::string text = CleanPage_ExtractText(
        server.Url("/stalled.html"), 102400, "x", {}, [&] { return cancel.load(); }, {},
        DownloadSettings{}, &status);
    const auto waited = std::chrono::steady_clock::now() - start;
    canceller.join();
    EXPECT_EQ(status, -1);
    EXPECT_EQ(text, "");
    EXPECT_LT(waited, std::chrono::seconds(3));
    // The page thread has ended, so the next extraction can run.
    for (int i = 0; i < 300 && CleanPage_ThreadRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(CleanPage_ThreadRunning());
    EXPECT_EQ(FirstLine(Extract("page_title_colon.html", "Sommet europ\u00e9en \u00e0 Bruxelles")),
              "Sommet europ\u00e9en \u00e0 Bruxelles");
}

TEST_F(ArticleExtract, ToolPrintsTheTextWithCrLfAndFailsOnMissingOrEmptyPages) {
    TempDir dir;
    const ProcessResult r = RunTool({"extract", server.Url("/page_description_clue.html"),
                                     "--title", "Budget 2027 : les grandes lignes", "--description",
                                     TestData("article/description_clue.html")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("Le gouvernement pr\u00e9sente son budget ce mercredi.", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("\r\n=== Haut de texte ====\r\n"), std::string::npos);
    EXPECT_NE(r.Out.find("\r\nT\u00e9l\u00e9chargement de "), std::string::npos);
    EXPECT_EQ(r.Out.substr(r.Out.size() - 2), "\r\n");
    // With the switches on and lists dropped until the text begins, the menus go.
    const ProcessResult f = RunTool({"extract", server.Url("/page_menus_first.html"), "--flags",
                                     std::to_string(0x20000 | 0x10000), "--title", "Nouvelle loi"});
    ASSERT_EQ(f.ExitCode, 0) << f.Err;
    EXPECT_EQ(f.Out.find("Politique"), std::string::npos) << f.Out;
    EXPECT_EQ(RunTool({"extract", server.Url("/nothere.html")}).ExitCode, 1);
    EXPECT_EQ(RunTool({"extract", server.Url("/page_empty.html")}).ExitCode, 1);
    EXPECT_EQ(RunTool({"extract"}).ExitCode, 2);
}

TEST(ArticleTool, LinksUrlencodeAndMailtoPrintThePartsCases) {
    const ProcessResult links =
        RunTool({"links", TestData("article/description_link_quirks.html")});
    ASSERT_EQ(links.ExitCode, 0);
    EXPECT_EQ(links.Out, "http://a.test/xy\tUn lien & co\nhttp://b.test/\tB\n");
    const ProcessResult many = RunTool({"links", TestData("article/description_30_links.html")});
    EXPECT_EQ(std::count(many.Out.begin(), many.Out.end(), '\n'), 25);
    EXPECT_EQ(RunTool({"urlencode", "Le caf\u00e9 : 100% s\u00fbr ?"}).Out,
              "Le%20caf\u00e9%20%3A%20100%25%20s\u00fbr%20%3F\n");
    EXPECT_EQ(
        RunTool({"mailto", "Un titre", "http://x.test/a", "http://x.test/a.mp3"}).Out,
        "mailto:?subject=Un%20titre&body=http%3A%2F%2Fx%2Etest%2Fa%0AFichier%20associ\u00e9%20%3A"
        "%0Ahttp%3A%2F%2Fx%2Etest%2Fa%2Emp3\n");
    EXPECT_EQ(RunTool({"links"}).ExitCode, 2);
}

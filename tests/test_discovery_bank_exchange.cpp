// Exchanges around the feed bank: proposals written and read back (and hostile ones
// refused), the refresh of the bank from a server, and the search for dead feeds, through
// the core and through orvalis-tool on real data folders and the local HTTP server.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

#include "catalogue/core/RssList.h"
#include "discovery/core/BankExchange.h"
#include "discovery/core/FeedBank.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"

namespace {
Rss Feed(const std::string& url, const std::string& name, const std::string& group,
         const std::string& type = "RssV2") {
    Rss f;
    f.Url = url;
    f.Name = name;
    f.Group = group;
    f.ExtractAs = type;
    f.Language = "FR";
    return f;
}

std::string Zip(const std::string& bytes) {
    uLongf size = compressBound(bytes.size());
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(bytes.data()), bytes.size(), 9);
    out.resize(size);
    return out;
}

std::string Bank(const std::string& stamp, const std::string& lines = {}) {
    return "\xEF\xBB\xBFOrvalis:" + stamp + "\r\n" + lines;
}

// A data folder: a catalogue, a bank dated `stamp`, the preferences given.
void MakeFolder(const TempDir& dir, const std::vector<Rss>& feeds, const std::string& stamp,
                const std::string& ini) {
    RssList.Clear();
    for (const Rss& f : feeds)
        RssList_Add(f);
    ASSERT_TRUE(RssList_DirectSave(dir.File("ListRSSU.Ini")));
    RssList.Clear();
    WriteFileOrDie(
        dir.File("OrvalisU.Dat"),
        Bank(stamp, DBRss_Line(Feed("http://bank.example/known", "Known", "Info")) + "\r\n"));
    WriteFileOrDie(dir.File("Orvalis.ini"), "\xEF\xBB\xBF" + ini);
}

} // namespace

TEST(BankProposal, TheProposalOfAFiveThousandFeedCatalogueReadsBackWithItsAccents) {
    RssList.Clear();
    for (int i = 0; i < 5000; ++i)
        RssList.AddLast(Feed("http://f.example/" + std::to_string(i), "Été n°" + std::to_string(i),
                             i % 2 ? "Géo" : "Obsolète"));
    RssList.AddLast(Feed("http://f.example/x", "Extracteur", "Géo", "OV-Meteo.exe"));
    RssList.AddLast(Feed("HTTP://BANK.EXAMPLE/KNOWN", "Known again", "Géo"));
    TempDir dir;
    WriteFileOrDie(dir.File("OrvalisU.Dat"),
                   Bank("2020/01/01 00:00",
                        DBRss_Line(Feed("http://bank.example/known", "Known", "Info")) + "\r\n"));
    std::string lines;
    // Not obsolete, not an extractor, not in the bank (ignoring case).
    ASSERT_EQ(DBRss_NewFeedLines(dir.File("OrvalisU.Dat"), lines), 2500);
    const std::string text = DBRss_ProposalText(lines);
    EXPECT_EQ(text.rfind("UTF8\n", 0), 0u);
    EXPECT_NE(text.find("\nMD5:" + Md5Hex(lines)), std::string::npos);

    // The clipboard may bring CR LF and wrapped lines back.
    std::string pasted = ReplaceAll(text, "\n", "\r\n");
    pasted.insert(pasted.find('\n') + 40, "\r\n");
    CursorList<Rss> back;
    ASSERT_EQ(DBRss_ReadClipboardText(pasted, back), 2500);
    EXPECT_EQ(back.Raw().front().Name, "Été n°1");
    EXPECT_EQ(back.Raw().front().Group, "Géo");
    EXPECT_EQ(back.Raw().front().ItemsChanged, DBRss_DefaultDate());

    // Plain bank lines are read too: repeated addresses once, "Obsolète" marked for test.
    CursorList<Rss> plain;
    EXPECT_EQ(DBRss_ReadClipboardText(DBRss_Line(Feed("http://a.example", "A", "obsolète")) + "\n" +
                                          DBRss_Line(Feed("HTTP://A.EXAMPLE", "A2", "Info")),
                                      plain),
              1);
    EXPECT_EQ(plain.Raw().front().Group, "Obsolète test");
    RssList.Clear();
}

TEST(BankProposal, HostileProposalsGiveNoEntriesAndNeverCrash) {
    const std::string good = DBRss_Line(Feed("http://a.example", "A", "G"));
    const std::string packed = Zip(good);
    CursorList<Rss> list;
    EXPECT_EQ(DBRss_ReadClipboardText("UTF8\n!!!!not base64 at all!!!!", list), 0);
    EXPECT_EQ(
        DBRss_ReadClipboardText("utf8\n" + Base64Encode(packed.substr(0, packed.size() / 2)), list),
        0); // truncated zlib
    EXPECT_EQ(DBRss_ReadClipboardText(
                  "UTF8\n" + Base64Encode(packed) + "\nMD5:" + Md5Hex("something else"), list),
              0); // fingerprint differs
    // A bomb: 65 MB of one letter squeezed into a few kilobytes.
    const std::string bomb = Zip(std::string(65u * 1024 * 1024, 'a'));
    ASSERT_LT(bomb.size(), 200000u);
    EXPECT_EQ(DBRss_ReadClipboardText("UTF8\n" + Base64Encode(bomb), list), 0);
    EXPECT_TRUE(list.Empty());
    EXPECT_EQ(DBRss_ReadClipboardText("UTF8\n" + Base64Encode(packed), list), 1);
}

TEST(BankTool, ProposeThenTakeGivesBackTheProposedFeeds) {
    TempDir dir;
    MakeFolder(dir,
               {Feed("http://new.example/rss", "Nouveautés à lire", "Géo"),
                Feed("http://bank.example/KNOWN", "Known", "Info"),
                Feed("http://dead.example/rss", "Dead", "Obsolète")},
               "2020/01/01 00:00", "");
    const ProcessResult proposal = RunTool({"bank", "propose", "--data", dir.Path()});
    ASSERT_EQ(proposal.ExitCode, 0) << proposal.Err;
    const ProcessResult taken =
        RunProcess({BinPath("orvalis-tool"), "bank", "take"}, {}, {}, 60000, proposal.Out);
    ASSERT_EQ(taken.ExitCode, 0) << taken.Err;
    EXPECT_EQ(
        taken.Out.substr(0, taken.Out.find(",\"ExtractAs\"")),
        "{\"Url\":\"http://new.example/rss\",\"Name\":\"Nouveautés à lire\",\"Group\":\"Géo\"");
    EXPECT_EQ(std::count(taken.Out.begin(), taken.Out.end(), '\n'), 1);

    const ProcessResult junk =
        RunProcess({BinPath("orvalis-tool"), "bank", "take"}, {}, {}, 60000, "UTF8\nAAAA");
    EXPECT_EQ(junk.ExitCode, 1);
    EXPECT_EQ(junk.Err, "orvalis-tool: Pas de nouveaux flux dans les 0 identifiés !\n");
}

TEST(BankTool, TheUpdateReplacesOnlyWithALaterBankAndClearsTheSharedBits) {
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    LocalHttpServer server;
    const std::string newer = Bank(
        "2030/05/06 07:08", DBRss_Line(Feed("http://bank.example/new", "New", "Info")) + "\r\n");
    server.Serve("/older", HttpOk(Bank("2019/12/31 23:59"), "application/octet-stream"));
    server.Serve("/equal", HttpOk(Bank("2020/01/01 00:00"), "application/octet-stream"));
    server.Serve("/newer", HttpOk(newer, "application/octet-stream"));
    server.Serve("/page", HttpOk("<html><body>Not found</body></html>", "text/html"));
    TempDir dir;
    Rss shared = Feed("http://mine.example/rss", "Mine", "Géo");
    shared.Flags = RSSFLAG_SHARED | RSSFLAG_ALARM;
    MakeFolder(dir, {shared}, "2020/01/01 00:00", "");
    const std::string before = ReadFileOrEmpty(dir.File("OrvalisU.Dat"));
    const std::string ini = "\xEF\xBB\xBF"
                            "DownloadPriority = PureHttp;\r\nDBRssURL = ";
    auto update = [&](const std::string& path) {
        WriteFileOrDie(dir.File("Orvalis.ini"), ini + server.Url(path) + "\r\n");
        return RunTool({"bank", "update", "--data", dir.Path()});
    };
    for (const char* path : {"/older", "/equal"}) {
        const ProcessResult r = update(path);
        EXPECT_EQ(r.ExitCode, 0) << r.Err;
        EXPECT_EQ(r.Out, "same\n") << path;
    }
    const ProcessResult page = update("/page");
    EXPECT_EQ(page.ExitCode, 1);
    EXPECT_EQ(page.Err, "orvalis-tool: Erreur durant la mise à jour de la banque de flux !\n");
    const ProcessResult missing = update("/missing");
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(ReadFileOrEmpty(dir.File("OrvalisU.Dat")), before);
    RssList_Load(dir.File("ListRSSU.Ini"));
    ASSERT_EQ(RssList.Size(), 1u);
    EXPECT_EQ(RssList.Raw().front().Flags, RSSFLAG_SHARED | RSSFLAG_ALARM);
    RssList.Clear();

    const ProcessResult r = update("/newer");
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "updated\n");
    EXPECT_EQ(ReadFileOrEmpty(dir.File("OrvalisU.Dat")), newer);
    EXPECT_FALSE(File_Exists(dir.File("OrvalisU.Dat.Tmp")));
    RssList_Load(dir.File("ListRSSU.Ini"));
    ASSERT_EQ(RssList.Size(), 1u);
    EXPECT_EQ(RssList.Raw().front().Flags, RSSFLAG_ALARM);
    RssList.Clear();
}

TEST(BankTool, ObsoleteNamesTheFeedsThatAnswerNoFeedWithItems) {
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    LocalHttpServer server;
    server.Serve("/live.xml", HttpOk("<rss version=\"2.0\"><channel><title>Live</title><item>"
                                     "<title>i</title></item></channel></rss>",
                                     "text/xml"));
    server.Serve(
        "/empty.xml",
        HttpOk("<rss version=\"2.0\"><channel><title>Empty</title></channel></rss>", "text/xml"));
    server.Serve("/page.html", HttpOk("<html><body>gone</body></html>", "text/html"));
    TempDir dir;
    MakeFolder(dir,
               {Feed(server.Url("/live.xml"), "Vivant", "Info"),
                Feed(server.Url("/empty.xml"), "Vide", "Info"),
                Feed(server.Url("/dead.xml"), "Mort", "Info"),
                Feed(server.Url("/page.html"), "Page", "Info"),
                Feed(server.Url("/dead2.xml"), "Déjà obsolète", "Obsolète"),
                Feed(server.Url("/x"), "Extracteur", "Info", "OV-Meteo.exe")},
               "2020/01/01 00:00", "DownloadPriority = PureHttp;\r\n");
    const ProcessResult r = RunTool({"obsolete", "--data", dir.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "Vide\t" + server.Url("/empty.xml") + "\nMort\t" + server.Url("/dead.xml") +
                         "\nPage\t" + server.Url("/page.html") + "\n");
}

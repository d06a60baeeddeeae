// OPML files: the import rules on fixtures (attribute case, levels, kinds, repair),
// files shaped like other readers' exports, hostile files, the written document and its
// round trip, the selection window's rules, the import command and the tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include "catalogue/core/RssList.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "discovery/core/OpmlExchange.h"
#include "platform/core/FileUtil.h"
#include "shell/core/Startup.h"
#include "shell/base/Log.h"
#include "support/TestSupport.h"

namespace {
std::vector<Rss> Read(const std::string& fixture, int* status = nullptr) {
    CursorList<Rss> list;
    OPML_ReadFile(TestData("opml/" + fixture), list, status);
    return {list.begin(), list.end()};
}

std::string Summary(const std::vector<Rss>& feeds) {
    std::string s;
    for (const Rss& f : feeds)
        s += f.Group + "|" + f.Name + "|" + f.Url + "|" + f.ExtractAs + "|" +
             std::to_string(f.ContentRss) + "\n";
    return s;
}

// A user who checks every feed offered and says yes.
class FakeUi : public DiscoveryUi {
  public:
    std::string SaveAs;
    std::vector<std::string> Messages;
    int Offered = -1;
    int ModeSeen = -1;
    bool Confirm = true;
    std::string AskOpenFile(const std::string&, const std::string&, const std::string& n) override {
        return n;
    }
    std::string AskSaveFile(const std::string&, const std::string&) override { return SaveAs; }
    std::string AskFolder(const std::string&, const std::string& f) override { return f; }
    int AskYesNo(const std::string&, const std::string&) override { return 1; }
    void Message(const std::string&, const std::string& text) override { Messages.push_back(text); }
    int SelectFeeds(CursorList<Rss>& list, int mode, const std::string& group) override {
        Offered = static_cast<int>(list.Size());
        ModeSeen = mode;
        if (!Confirm) return 0;
        for (Rss& f : list)
            f.ExtractError |= SELECT_BIT;
        return FeedSelection_Confirm(list, mode, false, group, false, *this);
    }
};

// Runs a test inside a fresh data folder with an empty catalogue.
class OpmlImport : public ::testing::Test {
  protected:
    void SetUp() override {
        char buf[4096];
        m_old = getcwd(buf, sizeof buf) ? buf : ".";
        ASSERT_EQ(chdir(m_dir.Path().c_str()), 0);
        RssList.Clear();
        Log_Reset();
    }
    void TearDown() override {
        RssList.Clear();
        ASSERT_EQ(chdir(m_old.c_str()), 0);
    }
    TempDir m_dir;
    std::string m_old;
};
} // namespace

TEST(OpmlRead, AttributeNamesAndElementNamesAreReadInAnyCase) {
    const std::vector<Rss> feeds = Read("attribute_case.opml");
    ASSERT_EQ(feeds.size(), 3u);
    EXPECT_EQ(Summary(feeds), "Mixed|Camel|http://example.org/camel.xml|Atom|0\n"
                              "Mixed|Lower|http://example.org/lower.xml|RssV2|0\n"
                              "Mixed|Upper|http://example.org/upper.xml|RDF|2\n");
    EXPECT_EQ(feeds[1].Language, "FR");
    EXPECT_EQ(feeds[2].Flags, 513);
    EXPECT_EQ(feeds[2].MaxFeed, 12);
    EXPECT_EQ(feeds[2].FormatExtractText, 4096);
    EXPECT_EQ(feeds[2].Description, "Tout en majuscules");
}

TEST(OpmlRead, OnlyOneLevelOfGroupsIsReadAndABodyLevelFeedKeepsItsChildrenUnread) {
    EXPECT_EQ(Summary(Read("nested_groups.opml")),
              "Outer|Direct|http://example.org/direct.xml|RssV2|0\n");
    EXPECT_EQ(Summary(Read("body_feed_with_children.opml")),
              "Import|Parent feed|http://example.org/parent.xml|RssV2|0\n"
              "After|Sibling|http://example.org/sibling.xml|RssV2|0\n");
    // A root that is not "opml" gives nothing, and is no error.
    int status = -1;
    EXPECT_TRUE(Read("not_opml_root.opml", &status).empty());
    EXPECT_EQ(status, OPML_READ_OK);
}

TEST(OpmlRead, VersionAndTypeDecideTheKindAndEmptyAddressesAreNoFeeds) {
    EXPECT_EQ(Summary(Read("version_and_type.opml")),
              "Kinds|An Atom feed|http://example.org/atom.xml|Atom|0\n"
              "Kinds|An extractor|http://example.org/yt|RssV2|0\n"
              "Kinds|A radio|http://example.org/stream.pls|NetRadio|8\n"
              "Kinds|Spaced version|http://example.org/rdf.xml|RDF|0\n"
              "Kinds|No version|http://example.org/plain.xml|RssV2|0\n");
}

TEST(OpmlRead, ABareAmpersandIsRepairedLikeAFeedAndTheRepairIsLogged) {
    Log_Reset();
    EXPECT_EQ(Summary(Read("bare_ampersand.opml")),
              "News|Search feed|http://example.org/rss.php?q=a&lang=fr|RssV2|0\n"
              "News|Tom & Jerry|http://example.org/tj.xml|RssV2|0\n");
    const std::string log = Log_Text();
    EXPECT_NE(log.find("! ErrorXML "), std::string::npos);
    EXPECT_NE(log.find(" => "), std::string::npos);
    EXPECT_NE(log.find("  Patched by IsGoodXml, "), std::string::npos);
    EXPECT_NE(log.find("2 Rss Found in "), std::string::npos);
}

TEST(OpmlRead, AFileStillMalformedAfterTheRepairAddsNothing) {
    CursorList<Rss> list;
    list.AddLast(Rss{});
    int status = -1;
    EXPECT_EQ(OPML_ReadFile(TestData("opml/two_faults.opml"), list, &status), 1u);
    EXPECT_EQ(status, OPML_READ_INVALID);
}

TEST(OpmlRead, JunkControlsAndTheWindowsCodePageAreRepaired) {
    EXPECT_EQ(Summary(Read("junk_and_controls.opml")),
              "Group|Ctl name|http://example.org/ctl.xml|RssV2|0\n");
    EXPECT_EQ(Summary(Read("windows1252.opml")),
              "Actualités|Café €|http://example.org/cafe.xml|RssV2|0\n");
}

TEST(OpmlRead, FilesShapedLikeOtherReadersExportsGiveTheirFeedsAndGroups) {
    EXPECT_EQ(Summary(Read("other_flat_list.opml")),
              "Import|First blog|https://first.example/feed/|RssV2|0\n"
              "Import|Second blog|https://second.example/atom.xml|RssV2|0\n"
              "Import|Podcast|https://pod.example/podcast.rss|RssV2|0\n");
    EXPECT_EQ(Summary(Read("other_categories.opml")),
              "Tech|Linux news|https://linux.example/rss|RssV2|0\n"
              "Tech|Kernel|https://kernel.example/feeds/all.atom.xml|RssV2|0\n"
              "Cuisine|Recettes|https://recettes.example/feed|RssV2|0\n"
              "Tech|Second Tech block|https://tech2.example/rss.xml|RssV2|0\n");
    EXPECT_EQ(Summary(Read("other_desktop_reader.opml")),
              "Blogs|Planet|https://planet.example/rss20.xml|RssV2|0\n"
              "Blogs|Atom site|https://atom.example/feed.atom|Atom|0\n");
    // Groups and feeds named by "title" alone.
    EXPECT_EQ(Summary(Read("group_title_only.opml")),
              "Titled group|Only a title|http://example.org/title-only.xml|RssV2|0\n"
              "Empty text|In empty text|http://example.org/empty-text.xml|RssV2|0\n");
}

TEST(OpmlRead, HostileFilesNeitherExpandNorLoadEntities) {
    int status = -1;
    EXPECT_TRUE(Read("billion_laughs.opml", &status).empty());
    EXPECT_EQ(status, OPML_READ_INVALID);
    // An external entity is never fetched: in an attribute the file is refused, in text
    // the reference is left out.
    EXPECT_TRUE(Read("external_entity.opml", &status).empty());
    EXPECT_EQ(status, OPML_READ_INVALID);
    const std::vector<Rss> feeds = Read("external_entity_in_text.opml", &status);
    EXPECT_EQ(status, OPML_READ_OK);
    EXPECT_EQ(Summary(feeds), "Group|Safe|http://example.org/safe.xml|RssV2|0\n");
    // Markup in group names ends as plain text; none of it names a file by itself.
    const std::vector<Rss> named = Read("hostile_group_names.opml");
    ASSERT_EQ(named.size(), 3u);
    EXPECT_EQ(named[2].Group, "Bold &  next");
    EXPECT_EQ(named[2].Description, "line one line two three");
}

TEST(OpmlRead, OneHundredThousandOutlinesAreAllRead) {
    TempDir dir;
    std::string doc = "<?xml version=\"1.0\"?><opml version=\"1.0\"><body>\n";
    for (int g = 0; g < 100; ++g) {
        doc += "<outline text=\"G" + std::to_string(g) + "\">\n";
        for (int i = 0; i < 1000; ++i)
            doc += "<outline text=\"F\" xmlUrl=\"http://example.org/" + std::to_string(g) + "/" +
                   std::to_string(i) + "?a=1&b=2\"/>\n"; // bare "&": read through the repair
        doc += "</outline>\n";
    }
    doc += "</body></opml>\n";
    WriteFileOrDie(dir.File("big.opml"), doc);
    CursorList<Rss> list;
    int status = -1;
    EXPECT_EQ(OPML_ReadFile(dir.File("big.opml"), list, &status), 100000u);
    EXPECT_EQ(status, OPML_READ_OK);
    EXPECT_EQ(list.Raw().back().Group, "G99");
    EXPECT_EQ(list.Raw().back().Url, "http://example.org/99/999?a=1&b=2");
}

TEST(OpmlRead, AMissingFileIsLookedForWithTheOpmlExtension) {
    TempDir dir;
    WriteFileOrDie(dir.File("list.Opml"),
                   "<opml><body><outline text=\"x\" xmlUrl=\"http://e.org/x\"/></body></opml>");
    CursorList<Rss> list;
    int status = -1;
    std::string used;
    EXPECT_EQ(OPML_ReadFile(dir.File("list.xml"), list, &status, &used), 1u);
    EXPECT_EQ(used, dir.File("list.Opml"));
    EXPECT_EQ(OPML_ReadFile(dir.File("none.xml"), list, &status), 1u);
    EXPECT_EQ(status, OPML_READ_MISSING);
}

TEST(OpmlWrite, TheDocumentIsExactAndSkipsExtractors) {
    CursorList<Rss> list;
    Rss a;
    a.Group = "Tech";
    a.Name = "A & \"B\" <C>";
    a.Url = "http://e.org/a?x=1&y=2";
    a.ExtractAs = "Atom";
    a.Language = "FR";
    a.Description = "line\nnext\x01";
    a.Flags = 513;
    a.MaxFeed = 20;
    a.FormatExtractText = 102400;
    list.AddLast(a);
    Rss x = a;
    x.ExtractAs = "OV-YouTube.exe";
    x.Url = "http://e.org/yt";
    list.AddLast(x);
    Rss r;
    r.Group = "TECH";
    r.Name = "Radio";
    r.Url = "http://e.org/r.pls";
    r.ExtractAs = "NetRadio";
    r.ContentRss = 8;
    list.AddLast(r);
    Rss n;
    n.Group = "Autre";
    n.Name = "Auto";
    n.Url = "http://e.org/n";
    list.AddLast(n);
    EXPECT_EQ(
        OPML_Document(list, "2026-12-08 01:02:03"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"1.1\">\n"
        "  <head>\n    <title>Orvalis</title>\n    <dateCreated>2026-12-08 01:02:03</dateCreated>\n"
        "  </head>\n  <body>\n"
        "    <outline text=\"Tech\">\n"
        "      <outline type=\"rss\" version=\"Atom\" text=\"A &amp; &quot;B&quot; &lt;C&gt;\" "
        "xmlUrl=\"http://e.org/a?x=1&amp;y=2\" language=\"FR\" description=\"line&#10;next\" "
        "ovflag=\"513\" ovmaxfeed=\"20\" ovextract=\"102400\" ovcontent=\"0\"/>\n"
        "      <outline type=\"NetRadio\" text=\"Radio\" xmlUrl=\"http://e.org/r.pls\" "
        "language=\"\" description=\"\" ovflag=\"0\" ovmaxfeed=\"0\" ovextract=\"102400\" "
        "ovcontent=\"8\"/>\n"
        "    </outline>\n"
        "    <outline text=\"Autre\">\n"
        "      <outline type=\"rss\" text=\"Auto\" xmlUrl=\"http://e.org/n\" language=\"\" "
        "description=\"\" ovflag=\"0\" ovmaxfeed=\"0\" ovextract=\"102400\" ovcontent=\"0\"/>\n"
        "    </outline>\n  </body>\n</opml>\n");
}

TEST(OpmlWrite, InterleavedGroupsWriteSeveralOutlinesAndTheRoundTripKeepsEveryFeed) {
    TempDir dir;
    CursorList<Rss> list;
    const char* groups[] = {"Un", "Deux", "Un"};
    for (int i = 0; i < 3; ++i) {
        Rss f;
        f.Group = groups[i];
        f.Name = "Feed é " + std::to_string(i);
        f.Url = "http://e.org/" + std::to_string(i) + "?a&b";
        f.ExtractAs = i == 1 ? "RDF" : "RssV2";
        f.Description = "<b>d</b>";
        f.Flags = i;
        f.ContentRss = 2;
        list.AddLast(f);
    }
    ASSERT_EQ(OPML_WriteFile(list, dir.File("out.opml")), 1);
    EXPECT_FALSE(File_Exists(dir.File("out.opml.Tmp")));
    const std::string doc = ReadFileOrEmpty(dir.File("out.opml"));
    size_t n = 0;
    for (size_t at = doc.find("<outline text=\"Un\">"); at != std::string::npos;
         at = doc.find("<outline text=\"Un\">", at + 1))
        ++n;
    EXPECT_EQ(n, 2u);
    CursorList<Rss> back;
    ASSERT_EQ(OPML_ReadFile(dir.File("out.opml"), back), 3u);
    auto it = back.begin();
    for (const Rss& f : list) {
        EXPECT_EQ(it->Group, f.Group);
        EXPECT_EQ(it->Name, f.Name);
        EXPECT_EQ(it->Url, f.Url);
        EXPECT_EQ(it->ExtractAs, f.ExtractAs);
        EXPECT_EQ(it->Flags, f.Flags);
        EXPECT_EQ(it->ContentRss, f.ContentRss);
        EXPECT_EQ(it->FormatExtractText, f.FormatExtractText);
        EXPECT_EQ(it->Description, "d"); // markup in a description is read as text
        ++it;
    }
}

TEST(OpmlWrite, FileNamesOfExportedGroups) {
    EXPECT_EQ(OPML_GroupFileName("Sport: foot? *live*", 3), "Sport foot live");
    EXPECT_EQ(OPML_GroupFileName("a/b", 4), "Group4");
    EXPECT_EQ(OPML_GroupFileName("../../etc", 5), "Group5");
    EXPECT_EQ(OPML_GroupFileName("..", 6), "Group6");
    EXPECT_EQ(OPML_GroupFileName("::", 7), "Group7");
    EXPECT_EQ(OPML_FileName("/x/list.OPML"), "/x/list.OPML");
    EXPECT_EQ(OPML_FileName("/x.d/list"), "/x.d/list.Opml");
    EXPECT_EQ(OPML_FileName("list.xml"), "list.xml.Opml");
}

TEST(FeedSelectionRules, ActivityAccentsAndEveryFilter) {
    const int32_t now = 1800000000;
    EXPECT_EQ(FeedActivity(0, now), "");
    EXPECT_EQ(FeedActivity(now - 7776000, now), ", actif");
    EXPECT_EQ(FeedActivity(now - 7776001, now), ", peu actif");
    EXPECT_EQ(FeedActivity(now - 15552000, now), ", peu actif");
    EXPECT_EQ(FeedActivity(now - 15552001, now), ", inactif");
    EXPECT_EQ(FoldAccents("ÉCOLE Çà ïôë"), "ecole ca ioe");

    CursorList<Rss> list;
    auto add = [&](const char* name, const char* desc, const char* lang, int content,
                   const char* group, int32_t last, int32_t bank, const char* type) {
        Rss f;
        f.Name = name;
        f.Description = desc;
        f.Language = lang;
        f.ContentRss = content;
        f.Group = group;
        f.LastBuildDate = last;
        f.ItemsChanged = bank;
        f.ExtractAs = type;
        list.AddLast(f);
    };
    add("Météo", "le temps", "FR", 1, "Info", now, now, "RssV2");
    add("Radio", "musique élégante", "EN", 8, "Radio", 0, now - 20 * 86400, "NetRadio");
    add("Vieux", "ancien", "fr", 2, "info", now - 200 * 86400, now - 40 * 86400, "Atom");
    auto visible = [&](const FeedFilter& f) {
        FilterFeedList(list, f, now);
        std::string s;
        for (const Rss& r : list)
            if (r.ExtractError & VISIBLE_BIT) s += r.Name + ";";
        return s;
    };
    EXPECT_EQ(visible({}), "Météo;Radio;Vieux;");
    EXPECT_EQ(visible({"  METEO  ", 0, -1, "", false, ""}), "Météo;");
    EXPECT_EQ(visible({"elegante vieux", 0, -1, "", false, ""}), "Radio;Vieux;");
    EXPECT_EQ(visible({"", 30, -1, "", false, ""}), "Météo;Radio;");
    EXPECT_EQ(visible({"", 7, -1, "", false, ""}), "Météo;");
    EXPECT_EQ(visible({"", 0, 8, "", false, ""}), "Radio;");
    EXPECT_EQ(visible({"", 0, 0, "", false, ""}), "");
    EXPECT_EQ(visible({"", 0, -1, "FR", false, ""}), "Météo;Vieux;");
    EXPECT_EQ(visible({"", 0, -1, "", true, ""}), "Météo;Radio;");
    EXPECT_EQ(visible({"", 0, -1, "", false, "INFO"}), "Météo;Vieux;");
    EXPECT_EQ(FeedSelection_Languages(list), (std::vector<std::string>{"FR", "EN"}));

    FeedSelection_Preselect(list, SELECTMODE_ALL);
    EXPECT_TRUE(std::all_of(list.begin(), list.end(),
                            [](const Rss& r) { return r.ExtractError & SELECT_BIT; }));
    FeedSelection_Preselect(list, SELECTMODE_NONE);
    EXPECT_EQ(FeedSelection_Keep(list, true, "X"), 0);
    EXPECT_EQ(list.Size(), 3u);
    list.Raw().front().ExtractError |= SELECT_BIT;
    EXPECT_EQ(FeedSelection_Keep(list, true, " Nouveau\x01 "), 1);
    ASSERT_EQ(list.Size(), 1u);
    EXPECT_EQ(list.Raw().front().Group, "Nouveau");
    EXPECT_EQ(FeedSelection_Title(0xA01), "Sélection de flux à importer");
    EXPECT_EQ(FeedSelection_ConfirmLabel(0x405), "Déplacer vers obsolète");
}

TEST_F(OpmlImport, ImportSkipsKnownAddressesIgnoringCaseOnlyAndSavesTheCatalogue) {
    Rss known;
    known.Name = "Known";
    known.Url = "HTTPS://LINUX.EXAMPLE/RSS";
    RssList_Add(known);
    Rss slash;
    slash.Name = "Slash";
    slash.Url = "https://kernel.example/feeds/all.atom.xml/";
    RssList_Add(slash);
    FakeUi ui;
    EXPECT_EQ(ImportOpmlFile(TestData("opml/other_categories.opml"), 0, ui), 3);
    EXPECT_EQ(ui.Offered, 3);
    EXPECT_EQ(ui.ModeSeen, 0xA01);
    EXPECT_EQ(RssList.Size(), 5u);
    EXPECT_NE(ReadFileOrEmpty(m_dir.File("ListRSSU.Ini")).find("[Second Tech block]"),
              std::string::npos);
    // Everything known now: the message, nothing offered.
    ui.Offered = -1;
    EXPECT_EQ(ImportOpmlFile(TestData("opml/other_categories.opml"), 0, ui), 0);
    EXPECT_EQ(ui.Offered, -1);
    ASSERT_FALSE(ui.Messages.empty());
    EXPECT_EQ(ui.Messages.back(), "Pas de nouveaux flux dans ce fichier");
    // A malformed file: its message, nothing added.
    EXPECT_EQ(ImportOpmlFile(TestData("opml/two_faults.opml"), 0, ui), 0);
    EXPECT_EQ(ui.Messages.back(), "Le fichier n'est pas valide !");
    // A cancelled selection changes nothing.
    ui.Confirm = false;
    EXPECT_EQ(ImportOpmlFile(TestData("opml/other_flat_list.opml"), 0, ui), 0);
    EXPECT_EQ(RssList.Size(), 5u);
}

TEST_F(OpmlImport, GroupExportAndExportOfEveryGroupWriteOnlyFeedsOfBuiltInKinds) {
    auto add = [](const char* name, const char* url, const char* group, const char* type) {
        Rss f;
        f.Name = name;
        f.Url = url;
        f.Group = group;
        f.ExtractAs = type;
        RssList_Add(f);
    };
    add("A", "http://e.org/a", "Info: jour?", "RssV2");
    add("B", "http://e.org/b", "info: JOUR?", "Atom");
    add("Y", "http://e.org/y", "Info: jour?", "OV-YouTube.exe");
    add("P", "http://e.org/p", "Plugins", "OV-Meteo.exe");
    add("S", "http://e.org/s", "a/b", "RssV2");
    FakeUi ui;
    ui.SaveAs = m_dir.File("group");
    ASSERT_EQ(OPML_Export("INFO: JOUR?", ui), 1);
    CursorList<Rss> back;
    EXPECT_EQ(OPML_ReadFile(m_dir.File("group.Opml"), back), 2u);

    ASSERT_TRUE(Dir_Create(m_dir.File("all")));
    DefaultPath = m_dir.File("all") + "/";
    EXPECT_EQ(OPML_ExportAllGroup(ui), 2);
    EXPECT_TRUE(File_Exists(m_dir.File("all/Info jour.Opml")));
    EXPECT_FALSE(File_Exists(m_dir.File("all/Plugins.Opml")));
    // "a/b" is the first group after the sort.
    EXPECT_TRUE(File_Exists(m_dir.File("all/Group1.Opml")));
    EXPECT_EQ(ui.Messages.back(), "Les 2 groupes ont été exportés correctement !");
}

TEST(OpmlTool, ReadImportExportAndReadAgain) {
    ProcessResult r = RunTool({"opml", "read", TestData("opml/attribute_case.opml")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out.substr(0, r.Out.find('\n')),
              "{\"Group\":\"Mixed\",\"Name\":\"Camel\",\"Url\":\"http://example.org/camel.xml\","
              "\"ExtractAs\":\"Atom\",\"Language\":\"\",\"Description\":\"\",\"Flags\":0,"
              "\"MaxFeed\":0,\"FormatExtractText\":0,\"ContentRss\":0}");
    r = RunTool({"opml", "read", TestData("opml/two_faults.opml")});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("Le fichier n'est pas valide !"), std::string::npos);

    TempDir data;
    r = RunTool({"opml", "import", TestData("opml/other_categories.opml"), "--data", data.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "4\n");
    r = RunTool({"opml", "export", "--data", data.Path(), data.File("out.opml")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const ProcessResult again = RunTool({"opml", "read", data.File("out.opml")});
    ASSERT_EQ(again.ExitCode, 0) << again.Err;
    const ProcessResult first = RunTool({"opml", "read", TestData("opml/other_categories.opml")});
    // Same feeds; the export is sorted by group, so compare as sets of lines.
    auto lines = [](const std::string& s) {
        std::vector<std::string> v;
        size_t at = 0;
        for (size_t nl; (nl = s.find('\n', at)) != std::string::npos; at = nl + 1)
            v.push_back(s.substr(at, nl - at));
        std::sort(v.begin(), v.end());
        return v;
    };
    EXPECT_EQ(lines(again.Out), lines(first.Out));
    r = RunTool({"opml", "export", "--data", data.Path(), data.File("tech"), "--group", "tech"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, data.File("tech.Opml") + "\n");
    const std::string tech = ReadFileOrEmpty(data.File("tech.Opml"));
    EXPECT_EQ(std::count(tech.begin(), tech.end(), '\n'), 14);
}

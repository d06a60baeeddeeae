// The feed bank file: every field form read (dates, languages, kinds, separators, line
// ends, byte-order mark, the Windows code page) and the file written back.
#include <gtest/gtest.h>

#include <ctime>
#include <set>

#include "catalogue/core/RssList.h"
#include "discovery/core/FeedBank.h"
#include "support/TestSupport.h"
#include "update/core/Date.h"

TEST(FeedBankFile, EveryFieldFormIsRead) {
    CursorList<Rss> list;
    EXPECT_EQ(DBRss_Read(TestData("bank/utf8_bom_crlf.Dat"), list), 3);
    ASSERT_EQ(list.Size(), 3u);
    auto it = list.begin();
    EXPECT_EQ(it->Url, "http://a.example/rss");
    EXPECT_EQ(it->Name, "Actualités A");
    EXPECT_EQ(it->Group, "Info");
    EXPECT_EQ(it->Language, "FR");
    EXPECT_EQ(it->ItemsChanged, Date_Make(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(it->ContentRss, 1);
    EXPECT_EQ(it->FormatExtractText, 102400);
    EXPECT_EQ(it->LastBuildDate, Date_Make(2026, 11, 1, 0, 0, 0));
    ++it;
    EXPECT_EQ(it->ExtractAs, "NetRadio");
    EXPECT_EQ(it->ContentRss, 8); // the radio's own kind
    EXPECT_EQ(it->Language, "EN");
    EXPECT_EQ(it->ItemsChanged, DBRss_DefaultDate()); // empty date
    EXPECT_EQ(it->LastBuildDate, 0);
    ++it;
    EXPECT_EQ(it->ContentRss, 64);                    // an unknown kind, then the extractor's
    EXPECT_EQ(it->ItemsChanged, DBRss_DefaultDate()); // unreadable date
    EXPECT_EQ(it->LastBuildDate, 0);

    CursorList<Rss> ansi;
    EXPECT_EQ(DBRss_Read(TestData("bank/ansi_lf_no_trailing_separator.Dat"), ansi), 1);
    EXPECT_EQ(ansi.Raw().front().Name, "Café");
    EXPECT_EQ(ansi.Raw().front().LastBuildDate, Date_Make(2025, 12, 31, 0, 0, 0));

    CursorList<Rss> none;
    EXPECT_EQ(DBRss_Read(TestData("bank/missing.Dat"), none), 0);
}

TEST(FeedBankFile, TheCatalogueIsWrittenWithoutExtractorsAndReadBack) {
    TempDir dir;
    RssList.Clear();
    CursorList<Rss> list;
    DBRss_Read(TestData("bank/utf8_bom_crlf.Dat"), list);
    for (const Rss& f : list)
        RssList.AddLast(f);
    ASSERT_EQ(DBRss_Save(dir.File("OrvalisU.Dat")), 1);
    const std::string text = ReadFileOrEmpty(dir.File("OrvalisU.Dat"));
    EXPECT_EQ(text.compare(0, 11, "\xEF\xBB\xBFOrvalis:"), 0);
    EXPECT_EQ(text.find("OV-YouTube"), std::string::npos);
    EXPECT_NE(text.find("http://a.example/rss\x11"
                        "Actualités A\x11Info\x11RssV2\x11"
                        "FR\x11"
                        "Desc A\x11"
                        "2024/03/05\x11"
                        "1\x11"
                        "102400\x11"
                        "2026/11/01\x11\r\n"),
              std::string::npos);
    CursorList<Rss> back;
    EXPECT_EQ(DBRss_Read(dir.File("OrvalisU.Dat"), back), 2);
    RssList.Clear();

    const ProcessResult r = RunTool({"bank", "read", TestData("bank/utf8_bom_crlf.Dat")});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out.substr(0, r.Out.find('\n')),
              "{\"Url\":\"http://a.example/rss\",\"Name\":\"Actualités A\",\"Group\":\"Info\","
              "\"ExtractAs\":\"RssV2\",\"Language\":\"FR\",\"Description\":\"Desc A\","
              "\"BankDate\":\"2024/03/05\",\"ContentRss\":1,\"FormatExtractText\":102400,"
              "\"LastBuildDate\":\"2026/11/01\"}");
}

// The bank shipped beside the program loads and offers its feeds, and a bank made from
// lists other programs exported (raw quotes, markup and "&" in attribute values) keeps
// every feed once, grouped by category and dated the day it is made.
TEST(FeedBankFile, TheShippedBankAndAMadeOneOfferTheirFeeds) {
    CursorList<Rss> shipped;
    ASSERT_GE(DBRss_Read(BinPath("OrvalisU.Dat"), shipped), 500);
    std::set<std::string> groups;
    for (const Rss& f : shipped) {
        EXPECT_TRUE(f.Url.rfind("http://", 0) == 0 || f.Url.rfind("https://", 0) == 0) << f.Url;
        EXPECT_FALSE(f.Name.empty()) << f.Url;
        EXPECT_NE(f.ItemsChanged, DBRss_DefaultDate()) << f.Url;
        groups.insert(f.Group);
    }
    EXPECT_GE(groups.size(), 30u);
    EXPECT_TRUE(groups.count("France"));

    TempDir dir;
    const ProcessResult made = RunTool({"bank", "make", dir.File("OrvalisU.Dat"),
                                        TestData("opml/quoted_markup_in_attributes.opml")});
    ASSERT_EQ(made.ExitCode, 0) << made.Err;
    EXPECT_EQ(made.Out, "3 feeds\n");
    CursorList<Rss> bank;
    ASSERT_EQ(DBRss_Read(dir.File("OrvalisU.Dat"), bank), 3);
    const Rss& first = bank.Raw().front();
    EXPECT_EQ(first.Group, "Beauty & Care");
    EXPECT_EQ(first.Url, "http://a.example/feed?x=1&y=2");
    EXPECT_EQ(first.Description, "A blog by Jen \"From Head To Toe\" that shows tutorials.");
    EXPECT_EQ(bank.Raw().back().Name, "Saket");
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    EXPECT_EQ(Date_Format("%yyyy/%mm/%dd", first.ItemsChanged),
              Date_Format("%yyyy/%mm/%dd",
                          Date_Make(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0)));
}

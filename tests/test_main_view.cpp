// What the main window shows: the article list's display set, the tree labels and the
// status texts, computed from the catalogue without a window.
#include <gtest/gtest.h>

#include "shell/core/MainView.h"

static Item MakeItem(const std::string& title, int32_t date, int32_t readed) {
    Item i;
    i.Title = title;
    i.Date = date;
    i.Readed = readed;
    return i;
}

static Rss MakeFeed(const std::string& name, const std::string& group) {
    Rss f;
    f.Name = name;
    f.Group = group;
    f.Items.AddLast(MakeItem("banana", 200, 0));
    f.Items.AddLast(MakeItem("Apple", 100, 1 | 0x100));
    f.Items.AddLast(MakeItem("cherry", 300, 0));
    return f;
}

static std::vector<std::string> Titles(const std::vector<Item>& set) {
    std::vector<std::string> t;
    for (const Item& i : set)
        t.push_back(i.Title);
    return t;
}

TEST(DisplaySet, AFeedViewSortsByDateOrTitleThenGroupsUnreadFirst) {
    const Rss f = MakeFeed("F", "G");
    using V = std::vector<std::string>;
    EXPECT_EQ(Titles(DisplaySet_Feed(f, 0)), (V{"banana", "Apple", "cherry"}));
    EXPECT_EQ(Titles(DisplaySet_Feed(f, DISPLAY_SORT_BY_DATE)), (V{"cherry", "banana", "Apple"}));
    EXPECT_EQ(Titles(DisplaySet_Feed(f, DISPLAY_SORT_BY_TITLE)), (V{"Apple", "banana", "cherry"}));
    EXPECT_EQ(Titles(DisplaySet_Feed(f, DISPLAY_SORT_BY_TITLE | DISPLAY_GROUP_UNREAD)),
              (V{"banana", "cherry", "Apple"}));
    EXPECT_EQ(Titles(DisplaySet_Feed(f, DISPLAY_ONLY_UNREAD)), (V{"banana", "cherry"}));
    // The stored articles keep their own TypeUpdate.
    EXPECT_EQ(f.Items.begin()->TypeUpdate, "");
}

TEST(DisplaySet, AGroupViewCollectsItsFeedsAndNamesTheSource) {
    CursorList<Rss> list;
    list.AddLast(MakeFeed("One", "News"));
    list.AddLast(MakeFeed("Two", "Other"));
    list.AddLast(MakeFeed("Three", "NEWS"));
    const auto set = DisplaySet_Group(list, "news", 0);
    ASSERT_EQ(set.size(), 6u);
    EXPECT_EQ(set[0].Author, "One");
    EXPECT_EQ(set[3].Author, "Three");
    // Title sorting and unread grouping do not apply to a group view; date sorting does.
    const auto byDate =
        DisplaySet_Group(list, "news", DISPLAY_GROUP_BY_DATE | DISPLAY_SORT_BY_TITLE);
    EXPECT_EQ(byDate[0].Title, "cherry");
    EXPECT_EQ(byDate[5].Title, "Apple");
    EXPECT_EQ(Tree_GroupNames(list), (std::vector<std::string>{"News", "Other"}));
}

TEST(TreeLabels, CarryUnreadCountsAndTheFeedsMarks) {
    Rss f = MakeFeed("Le Monde", "G");
    f.Flags = RSSFLAG_DISABLE | RSSFLAG_ALARM;
    f.NbAutoDownLoadPodCast = 2;
    f.ContentRss = CONTENT_PODCAST;
    EXPECT_EQ(TreeLabel_Feed(f, 0), "Le Monde [2 Non lu], Désactivé, AutoPodcast, Avec alerte");
    EXPECT_EQ(TreeLabel_Feed(f, DISPLAY_CONTENT_KIND),
              "Le Monde [2 Non lu], Désactivé, AutoPodcast, Avec alerte, Flux de Podcast");
    f.ExtractAs = "NetRadio"; // a radio is never marked disabled
    f.Flags = 0;
    f.NbAutoDownLoadPodCast = 0;
    f.Items.Clear();
    EXPECT_EQ(TreeLabel_Feed(f, 0), "Le Monde");
    EXPECT_EQ(TreeLabel_Group("Flux", 0), "Flux");
    EXPECT_EQ(TreeLabel_Group("Flux", 5), "Flux [5 Non lu]");
    EXPECT_EQ(ContentRss_Label(3), "Flux Indéfini");
}

TEST(StatusTexts, DescribeTheSelectionOrTheList) {
    Item podcast = MakeItem("p", 0, 0);
    podcast.ItunesDuration = 3725;
    podcast.PubDate = "Mon, 02 Mar 2026";
    StatusInput in;
    in.ListFocused = true;
    in.Selected = &podcast;
    in.SelectedIsPodcast = true;
    in.Row = 2;
    in.RowCount = 9;
    in.DurationFormat = "%hh:%ii:%ss";
    EXPECT_EQ(Status_Text(in), "PodCast 2 sur 9, Durée 01:02:05. Publié le Mon, 02 Mar 2026");
    in.SelectedIsPodcast = false;
    in.Display = DISPLAY_GROUP_UNREAD;
    podcast.PubDate.clear();
    EXPECT_EQ(Status_Text(in), "Article 2 sur 9, regroupé");
    in.ListFocused = false;
    in.UpdatingFeed = "Le Monde";
    EXPECT_EQ(Status_Text(in), "9 articles, Mise à jour de Le Monde");
}

TEST(Statistics, CountFeedKindsAndArticles) {
    CursorList<Rss> list;
    list.AddLast(MakeFeed("a", "G"));
    Rss disabled = MakeFeed("b", "G");
    disabled.ExtractAs = "Atom";
    disabled.Flags = RSSFLAG_DISABLE;
    list.AddLast(disabled);
    Rss radio;
    radio.ExtractAs = "NetRadio";
    list.AddLast(radio);
    Rss extractor;
    extractor.ExtractAs = "OV-YouTube.exe";
    list.AddLast(extractor);
    EXPECT_EQ(
        Statistics_Text(list),
        "2 flux, 1 désactivés.\r\n1 WebRadio.\r\n1 autres flux.\r\n6 articles dont 4 non lu.");
}

TEST(ListRows, ShowMarksViewsDurationAndSize) {
    Item i = MakeItem("Title", 0, 0);
    i.Views = 12;
    i.ItunesDuration = 75;
    i.AudioFileLength = 3 * 1024 * 1024;
    const ListRowText row =
        ListRow_Text(i, false, DISPLAY_MARK_UNREAD | DISPLAY_VIEWS, "%ii:%ss", 0);
    EXPECT_EQ(row.Name, "Non lu Title (12)");
    EXPECT_EQ(row.Duration, "01:15");
    EXPECT_EQ(row.Fourth, "3.0 Mo");
    i.Readed = 1;
    i.Author = "Feed";
    EXPECT_EQ(ListRow_Text(i, true, DISPLAY_MARK_READ, "", 0).Name, "Lu Title");
    EXPECT_EQ(ListRow_Text(i, true, 0, "", 0).Fourth, "Feed");
    EXPECT_EQ(ListColumn_Fourth(true), "De");
}

TEST(ListRows, TheDefaultDurationMaskIsSpokenWithUnitsAndSmallFilesAreInKo) {
    // "%dt%dmm%dss" is the default "DurationTimeFormat": never shown raw.
    const std::string mask = "%dt%dmm%dss";
    EXPECT_EQ(Duration_Format(3600 + 5 * 60 + 30, mask), "1 h 05 min 30 s");
    EXPECT_EQ(Duration_Format(5 * 60 + 30, mask), "5 min 30 s");
    EXPECT_EQ(Duration_Format(42, mask), "42 s");
    EXPECT_EQ(Duration_Format(7200, mask), "2 h 00 min 00 s");
    EXPECT_EQ(Duration_Format(3600 + 5 * 60 + 30, "%hh:%ii:%ss"), "01:05:30");
    Item i = MakeItem("Title", 0, 0);
    i.ItunesDuration = 330;
    i.AudioFileLength = 5243;
    const ListRowText row = ListRow_Text(i, false, 0, mask, 0);
    EXPECT_EQ(row.Duration, "5 min 30 s");
    EXPECT_EQ(row.Fourth, "5 Ko");
    i.AudioFileLength = 100;
    EXPECT_EQ(ListRow_Text(i, false, 0, mask, 0).Fourth, "1 Ko");
}

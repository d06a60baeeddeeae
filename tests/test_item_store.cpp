// The article files: format, escapes, round trip of a whole data folder, saving rules,
// read state and the article list commands.
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <set>

#include "StoreTestUtil.h"
#include "catalogue/core/ItemsFile.h"
#include "platform/core/FileUtil.h"

namespace fs = std::filesystem;

// The catalogue that goes with tests/data/store/roundtrip.
static void RoundTripCatalogue(StoreTest& t,
                               std::function<Rss&(const std::string&, const std::string&,
                                                  const std::string&, int32_t, const std::string&)>
                                   add) {
    add("Escapes", "https://escapes.example/feed", "escapes.Txt", 10001, "").Language = "FR";
    add("Blocks", "https://blocks.example/rss", "blocks-without-title.Txt", 10002, "RssV2")
        .Language = "FR";
    add("EmptyId", "https://Empty.Example/Feed.xml", "empty-identifiers.Txt", 10003, "").Language =
        "FR";
    add("Played", "https://played.example/pod", "last-played.Txt", 10004, "OV-YouTube.exe")
        .Language = "FR";
    add("Resume", "https://resume.example/pod", "resume-positions.Txt", 10005, "atom").Language =
        "FR";
    add("Radio", "http://radio.example:8000/stream", "radio-header-only.Txt", 10006, "NetRadio");
    add("Truncated", "https://cut.example/", "truncated-file.Txt", 10007, "").Language = "FR";
    Rss& fresh = add("Fresh", "https://fresh.example/atom", "no-file-yet.Txt", 10008, "Atom");
    fresh.Flags = RSSFLAG_DISABLE;
}

TEST_F(StoreTest, ADataFolderIsWrittenBackByteForByteAsTheFormatPrescribes) {
    CopyFixture("store/roundtrip");
    RoundTripCatalogue(*this, [this](auto& n, auto& u, auto& f, int32_t id, auto& e) -> Rss& {
        return AddFeed(n, u, f, id, e);
    });
    EXPECT_EQ(Feed_Read(), 2 + 1 + 2 + 3 + 3 + 1 + 2);
    for (Rss& feed : RssList)
        feed.ItemsChanged = 1;
    EXPECT_EQ(Feed_Save(), 0);
    EXPECT_EQ(Feed_CleanFiles(), 3); // the older store, the orphan and the stale twin

    const std::string expected = TestData("store/roundtrip-expected/Feeds");
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator("Feeds"))
        names.insert(e.path().filename().string());
    std::set<std::string> wanted;
    for (const auto& e : fs::directory_iterator(expected))
        wanted.insert(e.path().filename().string());
    EXPECT_EQ(names, wanted);
    for (const std::string& name : wanted)
        EXPECT_EQ(ReadFileOrEmpty("Feeds/" + name), ReadFileOrEmpty(expected + "/" + name)) << name;
    EXPECT_FALSE(File_Exists("ItemsU.Xml"));
    const std::string log = Log_Text();
    EXPECT_NE(log.find("* Feed_Read()\r\n"), std::string::npos);
    EXPECT_NE(log.find("2 feeds readed in Escapes, File=Feeds/escapes.Txt\r\n"), std::string::npos);
    EXPECT_NE(log.find("\r\n14 articles added in "), std::string::npos);
    EXPECT_NE(log.find("* Feed_Save()\r\n8 Rss Saved in "), std::string::npos);
}

TEST_F(StoreTest, ReadingTheRoundTripGivesTheArticlesTheirStoredFields) {
    CopyFixture("store/roundtrip");
    RoundTripCatalogue(*this, [this](auto& n, auto& u, auto& f, int32_t id, auto& e) -> Rss& {
        return AddFeed(n, u, f, id, e);
    });
    Feed_Read();
    Rss& escapes = *RssList.Select(0);
    ASSERT_EQ(escapes.Items.Size(), 2u);
    const Item& first = *escapes.Items.begin();
    EXPECT_EQ(first.Description, "First\nsecond\n\nafter empty"); // U+0011 back to LF
    EXPECT_EQ(first.Title, "Two\x11lines title");                 // titles keep U+0011
    EXPECT_EQ(first.FeedID, 1);
    EXPECT_EQ(escapes.LastBuildDate, StoreDate_Parse("2024/03/05 14:07"));
    EXPECT_EQ(escapes.ItemsChanged, 0);
    Rss& resume = *RssList.Select(4);
    EXPECT_EQ(resume.ExtractError, 1);
    EXPECT_EQ(resume.Items.begin()->AudioPos, 754);
    EXPECT_EQ(PlayedFeeds, (std::vector<int32_t>{10005, 10004}));
    ASSERT_EQ(PlayedItems.size(), 2u);
}

struct EscapeRow {
    const char* Quirk;
    std::string In;
    std::string Out;
};

TEST(EscapeText, TurnsEveryKindOfLineBreakIntoOneControlCharacter) {
    const EscapeRow rows[] = {
        {"CR LF is one break", "a\r\nb",
         "a\x11"
         "b"},
        {"LF alone", "a\nb",
         "a\x11"
         "b"},
        {"CR alone", "a\rb",
         "a\x11"
         "b"},
        {"LF CR is two breaks", "a\n\rb",
         "a\x11\x11"
         "b"},
        {"U+0011 already there is removed first",
         "a\x11"
         "b",
         "ab"},
        {"U+0011 between CR and LF leaves one CR LF", "a\r\x11\nb",
         "a\x11"
         "b"},
        {"nothing to do", "plain é", "plain é"},
        {"trailing breaks", "x\r\n\r\n", "x\x11\x11"},
    };
    for (const EscapeRow& r : rows)
        EXPECT_EQ(EscapeText(r.In), r.Out) << r.Quirk;
    EXPECT_EQ(UnescapeText("a\x11"
                           "b\x11"),
              "a\nb\n");
}

TEST(MakeItemID, IsTheMd5OfTheLowerCasedUtf16Text) {
    Item item;
    item.GUID = "GUID-1";
    item.Title = "Élan Vital";
    // Computed independently: md5(lower(url + guid + title) as UTF-16LE).
    EXPECT_EQ(MakeItemID(item, "https://Empty.Example/Feed.xml"),
              "af6e62a0249f7fd71f86945613cd7216");
}

struct AudioRow {
    const char* Quirk;
    const char* Url;
    const char* Name;
};

TEST(AudioFileNameFromUrl, KeepsTheDecodedLastSegmentWithItsExtension) {
    const AudioRow rows[] = {
        {"plain file", "https://a.example/pod/ep1.mp3", "ep1.mp3"},
        {"query cut off", "https://a.example/ep1.mp3?src=rss&x=1", "ep1.mp3"},
        {"percent escapes decoded", "https://a.example/mon%20%C3%A9pisode.mp3", "mon épisode.mp3"},
        {"Windows-1252 escape", "https://a.example/caf%E9.ogg", "café.ogg"},
        {"no extension", "https://a.example/download?id=3", ""},
        {"path only", "https://a.example/pod/", ""},
        {"dot at the end", "https://a.example/file.", ""},
        {"dot in the host only", "https://a.example", "a.example"},
        {"bad escape kept", "https://a.example/100%zz.mp3", "100%zz.mp3"},
    };
    for (const AudioRow& r : rows)
        EXPECT_EQ(AudioFileNameFromUrl(r.Url), r.Name) << r.Quirk;
}

TEST_F(StoreTest, ItemAddNeedsACurrentFeedAndFillsTheMissingFields) {
    Item item;
    item.Title = "T";
    item.AudioLink = "https://x.example/a/b.mp3";
    item.AudioFile = "ignored.mp3";
    EXPECT_EQ(Item_Add(item, 1), 0);
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    EXPECT_EQ(Item_Add(item, 1), 1);
    Item second = item;
    second.Title = "U";
    second.AudioLink.clear();
    second.FeedID = 77;
    EXPECT_EQ(Item_Add(second, 0), 1);
    ASSERT_EQ(feed.Items.Size(), 2u);
    const Item& head = *feed.Items.begin();
    const Item& tail = *std::next(feed.Items.begin());
    EXPECT_EQ(head.Title, "U"); // inserted at the start
    EXPECT_EQ(head.FeedID, 77);
    EXPECT_EQ(head.AudioFile, "ignored.mp3");
    EXPECT_EQ(tail.FeedID, 1);
    EXPECT_EQ(tail.AudioFile, "b.mp3");
    EXPECT_EQ(tail.ID, MakeItemID(tail, feed.Url));
    EXPECT_EQ(feed.ItemsChanged, 1);
    EXPECT_TRUE(AppState_Test(APPSTATE_ITEMS_TO_SAVE));
}

TEST(PlayedList, KeepsTheTenMostRecentWithoutDuplicates) {
    std::vector<int32_t> list;
    for (int i = 1; i <= 10; ++i)
        PlayedList_Add(list, i);
    PlayedList_Add(list, 5); // already there: nothing moves
    EXPECT_EQ(list.front(), 10);
    EXPECT_EQ(PlayedList_Position(list, 5), 5);
    PlayedList_Add(list, 11); // the 11th drops the oldest
    EXPECT_EQ(list.size(), 10u);
    EXPECT_EQ(list.front(), 11);
    EXPECT_EQ(PlayedList_Position(list, 1), -1);
}

TEST_F(StoreTest, MarkingReadOrUnreadStampsTheTimeAndResetsTheResumePosition) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    Item a;
    a.Title = "A";
    a.AudioPos = 99;
    Item_Add(a, 1);
    Item frozen;
    frozen.Title = "Frozen";
    frozen.Readed = 2;
    Item_Add(frozen, 1);
    feed.ItemsChanged = 0;
    AppState_Clear(APPSTATE_ITEMS_TO_SAVE);

    const int32_t before = Items_Now() & ~15;
    EXPECT_EQ(SetReaded(1, 0), 1);
    Item& read = *feed.Items.begin();
    EXPECT_EQ(read.Readed & 15, 1);
    EXPECT_GE(read.Readed & ~15, before);
    EXPECT_EQ(read.AudioPos, 0);
    EXPECT_EQ(IsReaded(1), 1);
    EXPECT_EQ(feed.ItemsChanged, 1);
    EXPECT_TRUE(AppState_Test(APPSTATE_ITEMS_TO_SAVE));

    EXPECT_EQ(SetReaded(2, 1), 0); // frozen: left alone
    EXPECT_EQ(IsReaded(2), 0);
    EXPECT_EQ(SetReaded(999, 1), 0);
    EXPECT_EQ(IsReaded(999), 0);

    read.AudioPos = 40;
    SetItemRead(read, 0, 0);
    EXPECT_EQ(read.Readed & 15, 0);
    EXPECT_EQ(read.AudioPos, 0);
    EXPECT_EQ(ReadStamp(7) & 15, 3);
}

TEST_F(StoreTest, AnUnchangedFeedIsNotRewrittenUntilItsFileIsDeleted) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    Item a;
    a.Title = "A";
    Item_Add(a, 1);
    Feed_Save();
    EXPECT_EQ(feed.ItemsChanged, 0);
    WriteFileOrDie("Feeds/x.Txt", "kept");
    Feed_Save();
    EXPECT_EQ(ReadFileOrEmpty("Feeds/x.Txt"), "kept");
    File_Delete("Feeds/x.Txt");
    Feed_Save();
    EXPECT_NE(ReadFileOrEmpty("Feeds/x.Txt").find("Title = A\r\n"), std::string::npos);
}

TEST_F(StoreTest, AFailedWriteKeepsTheOldFileAndTheFeedMarkedChanged) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    Rss& other = AddFeed("G", "https://y.example/", "y.Txt", 10002);
    WriteFileOrDie("Feeds/x.Txt", "old articles");
    fs::create_directories("Feeds/x.Txt.Tmp"); // the twin cannot be created
    Item a;
    a.Title = "A";
    Item_AddTo(feed, a, 1);
    Item_AddTo(other, a, 1);
    EXPECT_EQ(Feed_Save(), 1);
    EXPECT_EQ(ReadFileOrEmpty("Feeds/x.Txt"), "old articles");
    EXPECT_EQ(feed.ItemsChanged, 1);
    EXPECT_EQ(other.ItemsChanged, 0); // the others are written
    EXPECT_TRUE(AppState_Test(APPSTATE_ITEMS_TO_SAVE));
    EXPECT_NE(Log_Text().find("! Error Feed_WriteItems(), can't write File=Feeds/x.Txt"),
              std::string::npos);
    // The older store is not deleted while a feed could not be saved.
    WriteFileOrDie(Path("ItemsU.Xml"), "<Orvalis/>");
    Feed_CleanFiles();
    EXPECT_TRUE(File_Exists("ItemsU.Xml"));
    fs::remove("Feeds/x.Txt.Tmp");
    EXPECT_EQ(Feed_Save(), 0); // the next save tries again
    EXPECT_NE(ReadFileOrEmpty("Feeds/x.Txt").find("Title = A"), std::string::npos);
    EXPECT_FALSE(AppState_Test(APPSTATE_ITEMS_TO_SAVE));
}

TEST_F(StoreTest, NoSaveModeWritesNothingAndDeletesNothing) {
    CopyFixture("store/roundtrip");
    const std::string before = ReadFileOrEmpty("Feeds/escapes.Txt");
    Rss& feed = AddFeed("Escapes", "https://escapes.example/feed", "escapes.Txt", 10001);
    Feed_Read();
    NoSaveItems = 1;
    feed.ItemsChanged = 1;
    AppState_Set(APPSTATE_ITEMS_TO_SAVE);
    Feed_Save();
    EXPECT_EQ(feed.ItemsChanged, 0);
    EXPECT_FALSE(AppState_Test(APPSTATE_ITEMS_TO_SAVE));
    EXPECT_EQ(Feed_CleanFiles(), 0);
    EXPECT_EQ(ReadFileOrEmpty("Feeds/escapes.Txt"), before);
    EXPECT_TRUE(File_Exists("Feeds/orphan-feed.Txt"));
    EXPECT_TRUE(File_Exists("ItemsU.Xml"));
}

TEST_F(StoreTest, FeedBankModeNeitherReadsNorCleansTheArticleFiles) {
    CopyFixture("store/roundtrip");
    AddFeed("Escapes", "https://escapes.example/feed", "escapes.Txt", 10001);
    DBBaseMode = 1;
    EXPECT_EQ(Feed_Read(), 0);
    EXPECT_EQ(Feed_CleanFiles(), 0);
    EXPECT_TRUE(File_Exists("Feeds/orphan-feed.Txt"));
}

TEST_F(StoreTest, TheAutomaticSaveWaitsForTheIntervalAndForAChange) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    ItemStore_Settings().IntervalFeedToSave = 1;
    AutoSaveFeeds(1);
    Item a;
    a.Title = "A";
    Item_Add(a, 1);
    for (int i = 0; i < 59; ++i)
        AutoSaveFeeds(0);
    EXPECT_FALSE(File_Exists("Feeds/x.Txt"));
    AutoSaveFeeds(0);
    EXPECT_TRUE(File_Exists("Feeds/x.Txt"));
    EXPECT_EQ(feed.ItemsChanged, 0);
    EXPECT_NE(ReadFileOrEmpty("Orvalis.Log").find("* AutoSave Feeds at "), std::string::npos);
    File_Delete("Feeds/x.Txt");
    for (int i = 0; i < 60; ++i) // nothing changed: no save
        AutoSaveFeeds(0);
    EXPECT_FALSE(File_Exists("Feeds/x.Txt"));
}

TEST_F(StoreTest, AnInterruptedFirstSaveLeavesATwinThatIsReadWhenTheFileIsMissing) {
    AddFeed("F", "https://x.example/", "x.Txt", 10001);
    WriteFileOrDie("Feeds/x.Txt.Tmp", "Name = F\r\n\r\n[Items 1]\r\nTitle = From the twin\r\n");
    EXPECT_EQ(Feed_Read(), 1);
    WriteFileOrDie("Feeds/x.Txt", "Name = F\r\n");
    RssList.Select(0)->Items.Clear();
    EXPECT_EQ(Feed_Read(), 0); // beside its file a twin is a half-written save
}

TEST_F(StoreTest, StoredDatesUseTheMaskAndRefuseOtherTexts) {
    EXPECT_EQ(StoreDate_Format(0), "1970/01/01 00:00");
    EXPECT_EQ(StoreDate_Parse("2024/03/05 14:07"), 1709647620);
    EXPECT_EQ(StoreDate_Format(1709647620), "2024/03/05 14:07");
    EXPECT_EQ(StoreDate_Parse("2024-03-05"), 0);
    EXPECT_EQ(StoreDate_Parse(""), 0);
}

static std::vector<ItemRow> Rows(Rss& feed) {
    std::vector<ItemRow> rows;
    for (Item& i : feed.Items)
        rows.push_back({&feed, &i});
    return rows;
}

TEST_F(StoreTest, DeletingSelectedArticlesReleasesTheirFilesAndMarksTheFeed) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    for (const char* t : {"one", "two", "three"}) {
        Item i;
        i.Title = t;
        Item_Add(i, 1);
    }
    feed.ItemsChanged = 0;
    static int released = 0;
    released = 0;
    Items_ReleaseFileHook = [](Rss&, Item&) { ++released; };
    std::vector<ItemRow> rows = Rows(feed);
    EXPECT_EQ(Items_DeleteSelected({rows[0], rows[2]}), 2);
    Items_ReleaseFileHook = nullptr;
    EXPECT_EQ(released, 2);
    ASSERT_EQ(feed.Items.Size(), 1u);
    EXPECT_EQ(feed.Items.begin()->Title, "two");
    EXPECT_EQ(feed.ItemsChanged, 1);
}

TEST_F(StoreTest, FindSearchesTitlesAndDescriptionsWithoutWrappingAround) {
    Rss& feed = AddFeed("F", "https://x.example/", "x.Txt", 10001);
    const char* texts[][2] = {
        {"Météo", ""}, {"Sport", "le MATCH"}, {"Politique", ""}, {"Match retour", ""}};
    for (auto& t : texts) {
        Item i;
        i.Title = t[0];
        i.Description = t[1];
        Item_Add(i, 1);
    }
    const std::vector<ItemRow> rows = Rows(feed);
    EXPECT_EQ(Items_Find(rows, -1, 1, "match"), 1);
    EXPECT_EQ(Items_Find(rows, 1, 1, "match"), 3);
    EXPECT_EQ(Items_Find(rows, 3, 1, "match"), -1); // no wrap
    EXPECT_EQ(Items_Find(rows, -1, -1, "MATCH"), 3);
    EXPECT_EQ(Items_Find(rows, 3, -1, "match"), 1);
    EXPECT_EQ(Items_Find(rows, 1, -1, "match"), -1);
    EXPECT_EQ(Items_Find(rows, -1, 1, "MÉTÉO"), 0);
}

TEST_F(StoreTest, AnEmptyCatalogueNeverMakesEveryArticleFileAnOrphan) {
    CopyFixture("store/roundtrip");
    Feed_CleanFiles();
    EXPECT_TRUE(File_Exists("Feeds/escapes.Txt"));
    EXPECT_TRUE(File_Exists("Feeds/orphan-feed.Txt"));
    EXPECT_TRUE(File_Exists("ItemsU.Xml"));
}

TEST_F(StoreTest, AFeedWithoutFileNameIsReportedAndTheOthersAreSaved) {
    Rss& nameless = AddFeed("Nameless", "https://n.example/", "", 10001);
    Rss& named = AddFeed("Named", "https://m.example/", "m.Txt", 10002);
    nameless.ItemsChanged = named.ItemsChanged = 1;
    EXPECT_EQ(Feed_Save(), 1);
    EXPECT_EQ(nameless.ItemsChanged, 1);
    EXPECT_TRUE(File_Exists("Feeds/m.Txt"));
    EXPECT_EQ(Feed_ReadItems(nameless), 0);
    EXPECT_NE(Log_Text().find("! Error Feed_WriteItems(), no file name for Rss=Nameless"),
              std::string::npos);
}

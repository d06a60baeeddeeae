// The one-time migration from the older single-file XML store to the article files.
#include <filesystem>
#include <set>

#include "StoreTestUtil.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/ItemsXml.h"
#include "platform/core/FileUtil.h"

namespace fs = std::filesystem;

class XmlMigrationTest : public StoreTest {
  protected:
    void Catalogue() {
        AddFeed("Le Monde", "https://lemonde.example/rss", "lemonde.example.Txt", 10001);
        AddFeed("Radio", "http://radio.example/live", "radio.example.Txt", 10002, "NetRadio");
    }
    bool LogHas(const std::string& text) { return Log_Text().find(text) != std::string::npos; }
};

TEST_F(XmlMigrationTest, TheOlderStoreBecomesArticleFilesAndIsDeletedAtExit) {
    CopyFixture("store/xml/migrated-from-itemsu");
    Catalogue();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), 2); // the unknown feed's article is skipped
    EXPECT_EQ(Feed_Read(), 0);
    Feed_Save();
    Feed_CleanFiles();
    EXPECT_FALSE(File_Exists("ItemsU.Xml"));
    const std::string expected = TestData("store/xml/migrated-expected/Feeds");
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator("Feeds"))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"lemonde.example.Txt", "radio.example.Txt"}));
    for (const std::string& name : names)
        EXPECT_EQ(ReadFileOrEmpty("Feeds/" + name), ReadFileOrEmpty(expected + "/" + name)) << name;
    EXPECT_TRUE(LogHas("* Feed_ReadXml() File=ItemsU.Xml"));
    EXPECT_TRUE(LogHas("2 feeds added in "));
    EXPECT_TRUE(LogHas("2 articles added in "));
}

TEST_F(XmlMigrationTest, MigratedArticlesKeepTheirFieldsAndPlayedMarks) {
    CopyFixture("store/xml/migrated-from-itemsu");
    Catalogue();
    Feed_ReadXml("ItemsU.Xml");
    Rss& feed = *RssList.Select(0);
    ASSERT_EQ(feed.Items.Size(), 2u);
    const Item& a = *feed.Items.begin();
    EXPECT_EQ(a.Title, "Un & deux");
    EXPECT_EQ(a.Description, "ligne 1\nligne 2");
    EXPECT_EQ(a.AudioFile, "émission.mp3");
    EXPECT_EQ(a.AudioPos, 30);
    EXPECT_EQ(a.Readed, 17);
    EXPECT_EQ(feed.ExtractError, 1);
    EXPECT_EQ(PlayedFeeds, std::vector<int32_t>{10001});
    EXPECT_EQ(PlayedItems, std::vector<int32_t>{a.FeedID});
    const Item& b = *std::next(feed.Items.begin());
    EXPECT_EQ(b.Date, 1700000100); // attribute names in any case
    EXPECT_EQ(b.Title, "Second");
}

TEST_F(XmlMigrationTest, TheOldestStoreInTheAnsiCodePageIsReadWhenItIsTheOnlyOne) {
    CopyFixture("store/xml/older-items-xml-in-ansi");
    Catalogue();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), 1);
    EXPECT_EQ(RssList.Select(0)->Items.begin()->Title, "Café crème ’");
    EXPECT_TRUE(LogHas("* Feed_ReadXml() File=Items.Xml"));
    Feed_Save();
    Feed_CleanFiles();
    EXPECT_FALSE(File_Exists("Items.Xml"));
}

TEST_F(XmlMigrationTest, ANewTwinIsReadInsteadOfTheStoreItself) {
    CopyFixture("store/xml/new-twin-preferred");
    Catalogue();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), 1);
    EXPECT_EQ(RssList.Select(0)->Items.begin()->Title, "from the new twin");
    EXPECT_TRUE(LogHas("! Find new, File=ItemsU.Xml.New"));
    Feed_Save();
    Feed_CleanFiles();
    EXPECT_FALSE(File_Exists("ItemsU.Xml"));
    EXPECT_FALSE(File_Exists("ItemsU.Xml.New"));
}

TEST_F(XmlMigrationTest, NoOlderStoreIsLoggedAndChangesNothing) {
    Catalogue();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), -1);
    EXPECT_TRUE(LogHas("! File not Found !"));
    EXPECT_TRUE(RssList.Select(0)->Items.Empty());
}

TEST_F(XmlMigrationTest, ABrokenDocumentIsLoggedWithItsPosition) {
    CopyFixture("store/xml/broken-document");
    Catalogue();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), -1);
    EXPECT_TRUE(LogHas(". Ligne=3 Position="));
}

TEST_F(XmlMigrationTest, FeedBankModeLeavesTheOlderStoreUnread) {
    CopyFixture("store/xml/migrated-from-itemsu");
    Catalogue();
    DBBaseMode = 1;
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), 0);
    EXPECT_TRUE(RssList.Select(0)->Items.Empty());
}

TEST_F(XmlMigrationTest, AnArticleFileWrittenAfterAMigrationWinsOverTheLeftoverStore) {
    // An exit that saved the articles but died before deleting the older store.
    CopyFixture("store/xml/migrated-from-itemsu");
    Catalogue();
    Feed_ReadXml("ItemsU.Xml");
    Feed_Save();
    RssList.Select(0)->Items.Clear();
    EXPECT_EQ(Feed_ReadXml("ItemsU.Xml"), 2);
    EXPECT_EQ(Feed_Read(), 2);
    EXPECT_EQ(RssList.Select(0)->Items.Size(), 2u); // not four
}

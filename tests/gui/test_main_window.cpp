// The main window in process: the tree, the list and the status line follow the catalogue
// and the commands; the pop-up menus hold their entries; closing respects the tray and
// quit settings.
#include <gtest/gtest.h>

#include <unistd.h>

#include <wx/app.h>
#include <wx/menu.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/Lng.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/core/MainView.h"
#include "shell/base/Prefs.h"
#include "shell/gui/ArticleListView.h"
#include "shell/gui/ArticleTextView.h"
#include "shell/gui/FeedTreeView.h"
#include "access/core/Shortcuts.h"
#include "shell/base/Log.h"
#include "shell/core/Mnemonics.h"
#include "shell/gui/LinkCheck.h"
#include "shell/gui/MainMenus.h"
#include "shell/gui/MainWindow.h"
#include "shell/gui/StatusView.h"
#include "support/TestSupport.h"

namespace {
class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

void Pump() {
    for (int i = 0; i < 20; ++i) {
        wxYield();
        wxMilliSleep(5);
    }
}

Item Article(const std::string& title, int32_t readed) {
    Item i;
    i.Title = title;
    i.Readed = readed;
    i.Link = "https://example.org/" + title;
    return i;
}

// Two groups: "Actu" with "Alpha" (2 unread of 3) and "Radio FIP"; "Tech" with "Beta".
void FillCatalogue() {
    RssList.Clear();
    Items_ResetFeedIDCounter();
    auto add = [](const std::string& name, const std::string& group, const std::string& extract,
                  std::vector<Item> items) {
        Rss r;
        r.Name = name;
        r.Group = group;
        r.ExtractAs = extract;
        r.Url = "https://" + name + ".example/rss";
        RssList_Add(r);
        Rss* feed = RssList.Current();
        for (const Item& i : items)
            Item_AddTo(*feed, i, 1);
        return feed->RssID;
    };
    add("Alpha", "Actu", "", {Article("a1", 0), Article("a2", 1), Article("a3", 0)});
    add("FIP", "Actu", "NetRadio", {});
    add("Beta", "Tech", "", {Article("b1", 1)});
}

int32_t IdOf(const std::string& name) {
    for (const Rss& r : RssList)
        if (r.Name == name) return r.RssID;
    return 0;
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        chdir(m_dir.Path().c_str());
        Pref_Defaults();
        Pref.Display = DISPLAY_MARK_READ;
        PrefFlags = 0;
        MainHooks_Reset();
        FillCatalogue();
        w = MainWindow_Create();
        MainWindow_Ready();
        Pump();
    }
    void TearDown() override {
        if (MainWindow_Get()) {
            PrefFlags = 0;
            MainWindow_Get()->Close(true);
            Pump();
        }
    }
    void ChooseFeed(const std::string& name) {
        ASSERT_TRUE(w->Tree().SelectFeed(IdOf(name)));
        OnGadget(ZONE_TREE, GADGET_CHANGE);
    }
    std::vector<std::string> ListNames() {
        std::vector<std::string> names;
        for (int i = 0; i < w->List().RowCount(); ++i)
            names.push_back(std::string(w->List().Control()->GetTextValue(i, 0).ToUTF8()));
        return names;
    }
    std::string TreeLabel(int row) {
        w->Tree().SelectRow(row);
        const wxDataViewItem item = w->Tree().Control()->GetSelection();
        return std::string(w->Tree().Control()->GetItemText(item).ToUTF8());
    }
    TempDir m_dir;
    MainWindow* w = nullptr;
};
} // namespace

TEST_F(MainWindowTest, TheTitleBeginsWithTheProgramNameAndTheZonesAreNamed) {
    EXPECT_EQ(std::string(w->GetTitle().ToUTF8()).rfind("Orvalis", 0), 0u);
    EXPECT_EQ(std::string(w->Tree().Control()->GetName().ToUTF8()), "Arborescence des flux");
    EXPECT_EQ(std::string(w->List().Control()->GetName().ToUTF8()), "Liste des articles");
    EXPECT_EQ(std::string(w->Text().Control()->GetName().ToUTF8()), "Texte de l'article");
}

TEST_F(MainWindowTest, TheTreeShowsGroupsAndFeedsWithUnreadCounts) {
    EXPECT_EQ(w->Tree().RowCount(), 5);
    EXPECT_EQ(TreeLabel(0), "Actu [2 Non lu]");
    EXPECT_EQ(TreeLabel(1), "Alpha [2 Non lu]");
    EXPECT_EQ(TreeLabel(2), "FIP");
    EXPECT_EQ(TreeLabel(3), "Tech");
    EXPECT_EQ(TreeLabel(4), "Beta");
}

TEST_F(MainWindowTest, AGroupViewListsEveryFeedsArticlesWithTheirSource) {
    w->Tree().SelectGroup(0);
    OnGadget(ZONE_TREE, GADGET_CHANGE);
    EXPECT_TRUE(w->IsGroupView());
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"a1", "Lu a2", "a3"}));
    EXPECT_EQ(std::string(w->List().Control()->GetColumn(3)->GetTitle().ToUTF8()), "De");
    EXPECT_EQ(std::string(w->List().Control()->GetTextValue(0, 3).ToUTF8()), "Alpha");
    EXPECT_EQ(w->Status().Text(), "Groupe 1 sur 2. 3 articles");
}

TEST_F(MainWindowTest, ChoosingAFeedFillsTheListAndShowsTheArticle) {
    ChooseFeed("Alpha");
    EXPECT_FALSE(w->IsGroupView());
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"a1", "Lu a2", "a3"}));
    EXPECT_EQ(std::string(w->List().Control()->GetColumn(3)->GetTitle().ToUTF8()),
              "Taille fichier associé");
    EXPECT_EQ(w->Status().Text(), "Alpha, 2 Non lu. 3 articles");
    w->List().SelectRow(2);
    OnGadget(ZONE_LIST, GADGET_CHANGE);
    EXPECT_NE(w->Text().Text().find("\r\na3"),
              std::string::npos); // the title follows the description
}

TEST_F(MainWindowTest, AFeedShownAgainComesBackToItsLastSelectedArticle) {
    ChooseFeed("Alpha");
    w->List().SelectRow(1);
    OnGadget(ZONE_LIST, GADGET_CHANGE);
    ChooseFeed("Beta");
    EXPECT_EQ(w->List().SelectedRow(), -1);
    ChooseFeed("Alpha");
    EXPECT_EQ(w->List().SelectedRow(), 1);
    EXPECT_NE(w->Text().Text().find("\r\na2"),
              std::string::npos); // the title follows the description
}

TEST_F(MainWindowTest, ALongFeedListsEveryArticleAndRowsReadLateShowTheirMarks) {
    Rss* beta = nullptr;
    for (Rss& r : RssList)
        if (r.Name == "Beta") beta = &r;
    ASSERT_NE(beta, nullptr);
    for (int i = 0; i < 3000; ++i)
        Item_AddTo(*beta, Article("long" + std::to_string(i), 0), 1);
    ChooseFeed("Beta");
    const int count = static_cast<int>(beta->Items.Size());
    ASSERT_GT(count, 3000);
    ASSERT_EQ(w->List().RowCount(), count);
    auto text = [&](int row) {
        return std::string(w->List().Control()->GetTextValue(row, 0).ToUTF8());
    };
    // Rows far down are made only when read, each from its own article.
    const int last = count - 1;
    Item* lastItem = Item_FindByFeedID(w->List().FeedIDAt(last));
    ASSERT_NE(lastItem, nullptr);
    EXPECT_EQ(text(last), lastItem->Title);
    EXPECT_EQ(text(count / 2), Item_FindByFeedID(w->List().FeedIDAt(count / 2))->Title);
    // An article read after the fill: its row shows the mark whether it was read before
    // (the last row) or never yet (the one above it).
    Item* before = Item_FindByFeedID(w->List().FeedIDAt(last - 1));
    ASSERT_NE(before, nullptr);
    lastItem->Readed = 1;
    before->Readed = 1;
    w->RefreshMarks();
    EXPECT_EQ(text(last), "Lu " + lastItem->Title);
    EXPECT_EQ(text(last - 1), "Lu " + before->Title);
    // The last row is selected and its article shown.
    w->List().SelectRow(last);
    OnGadget(ZONE_LIST, GADGET_CHANGE);
    EXPECT_EQ(w->List().SelectedRow(), last);
    EXPECT_NE(w->Text().Text().find(lastItem->Title), std::string::npos);
}

TEST_F(MainWindowTest, NextUnreadWalksTheListAndAnnouncesItsEnd) {
    ChooseFeed("Alpha");
    w->List().SelectRow(0);
    NextUnread(+1);
    EXPECT_EQ(w->List().SelectedRow(), 2);
    EXPECT_NE(w->Text().Text().find("\r\na3"),
              std::string::npos); // the title follows the description
    NextUnread(+1);
    EXPECT_EQ(w->List().SelectedRow(), 2); // the selection stays
    EXPECT_EQ(Main_LastSaid(), "Plus de prochain article non-lu !");
    NextUnread(-1);
    EXPECT_EQ(w->List().SelectedRow(), 0);
    NextUnread(-1);
    EXPECT_EQ(Main_LastSaid(), "Plus de précédant article non-lu !");
}

TEST_F(MainWindowTest, DisplayTogglesFilterTheListCheckTheMenuAndAnnounce) {
    ChooseFeed("Alpha");
    OnCommand(CMD_ONLY_UNREAD);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"a1", "a3"}));
    EXPECT_TRUE(w->Bar()->FindItem(CMD_ONLY_UNREAD)->IsChecked());
    EXPECT_EQ(Main_LastSaid(), "Seulement les non-lu");
    EXPECT_TRUE(PrefChanged);
    OnCommand(CMD_ONLY_UNREAD);
    EXPECT_EQ(ListNames().size(), 3u);
    EXPECT_EQ(Main_LastSaid(), "Tous les articles");
    OnCommand(CMD_DISPLAY_UNREAD);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"Non lu a1", "Lu a2", "Non lu a3"}));
}

TEST_F(MainWindowTest, MarkingAnArticleReadRewritesItsRowAndTheTreeCounts) {
    ChooseFeed("Alpha");
    w->List().SelectRow(0);
    OnCommand(CMD_ARTICLE_TOGGLE_READ);
    EXPECT_EQ(ListNames()[0], "Lu a1");
    EXPECT_EQ(TreeLabel(1), "Alpha [1 Non lu]");
    EXPECT_EQ(TreeLabel(0), "Actu [1 Non lu]");
}

TEST_F(MainWindowTest, DeletingFromTheListRemovesTheArticle) {
    ChooseFeed("Alpha");
    w->FocusZone(ZONE_LIST);
    w->List().SelectRow(1);
    OnCommand(CMD_DELETE);
    EXPECT_EQ(ListNames(), (std::vector<std::string>{"a1", "a3"}));
    EXPECT_EQ(Main_LastSaid(), "Article supprimé !");
}

// A command of the menus that no module of this build handles; 0 once every module landed.
static int UnlinkedCommand() {
    for (int id : MainLinks_Commands(nullptr))
        if (!Command_Find(id)) return id;
    return 0;
}

TEST_F(MainWindowTest, CommandsNotInThisBuildSaySo) {
    const int id = UnlinkedCommand();
    if (id == 0) GTEST_SKIP() << "every command has its module";
    EXPECT_TRUE(MainLinks_CommandPending(id)) << id;
    OnCommand(id);
    EXPECT_EQ(Main_LastSaid(), "Pas encore disponible");
    int seen = 0;
    Command_Register(id, [&](int got) {
        seen = got;
        return true;
    });
    OnCommand(id);
    EXPECT_EQ(seen, id);
}

TEST_F(MainWindowTest, TheNextUndefinedFeedIsSelectedOrNotFoundIsSaid) {
    for (Rss& r : RssList)
        r.ContentRss = r.Name == "Beta" ? 0 : CONTENT_TEXT;
    w->Tree().SelectRow(0);
    OnCommand(CMD_NEXT_UNDEFINED);
    FeedTreeNode n;
    ASSERT_TRUE(w->Tree().Selected(&n));
    EXPECT_EQ(n.Name, "Beta");
    OnCommand(CMD_NEXT_UNDEFINED);
    EXPECT_EQ(Main_LastSaid(), "Non trouvé !");
}

TEST(MainMenus, PopUpMenusHoldTheirEntries) {
    Rss feed;
    feed.Flags = RSSFLAG_DISABLE;
    std::unique_ptr<wxMenu> m(MainMenus_Feed(feed));
    EXPECT_TRUE(m->FindItem(CMD_FEED_PROPERTIES));
    EXPECT_TRUE(m->FindItem(CMD_FEED_ACTUALIZE));
    EXPECT_FALSE(m->FindItem(CMD_RADIO_PLAY));
    EXPECT_EQ(std::string(m->FindItem(CMD_FEED_TOGGLE_DISABLE)->GetItemLabelText().ToUTF8()),
              "Activer le flux");
    std::unique_ptr<wxMenu> radio(MainMenus_Radio(feed));
    EXPECT_TRUE(radio->FindItem(CMD_RADIO_PLAY));
    EXPECT_FALSE(radio->FindItem(CMD_FEED_ACTUALIZE));
    Item unread;
    std::unique_ptr<wxMenu> article(MainMenus_Article(unread));
    EXPECT_EQ(std::string(article->FindItem(CMD_ARTICLE_TOGGLE_READ)->GetItemLabelText().ToUTF8()),
              "comme lu");
    for (int id : {CMD_ARTICLE_DELETE_ALL, CMD_PODCAST_DOWNLOAD, CMD_SHARE_TWITTER,
                   CMD_SUBSCRIBE_CHANNEL, CMD_ARTICLE_LINK_CLIPBOARD})
        EXPECT_TRUE(article->FindItem(id)) << id;
    std::unique_ptr<wxMenu> group(MainMenus_Group());
    for (int id : {CMD_GROUP_RENAME, CMD_GROUP_FORCE_CATCHTV, CMD_NEXT_UNDEFINED, CMD_GROUP_DELETE,
                   CMD_GROUP_DISABLE, CMD_GROUP_ENABLE})
        EXPECT_TRUE(group->FindItem(id)) << id;
    std::unique_ptr<wxMenu> tray(MainMenus_Tray("Orvalis"));
    EXPECT_EQ(std::string(tray->FindItem(CMD_RESTORE)->GetItemLabelText().ToUTF8()),
              "Afficher Orvalis");
    EXPECT_TRUE(tray->FindItem(CMD_TRAY_QUIT));
}

TEST(MainMenus, BankModeLeavesOutConfigurationAndTheClipboard) {
    std::unique_ptr<wxMenuBar> normal(MainMenus_CreateBar(false, false));
    EXPECT_NE(normal->FindItem(CMD_CONFIG_LOAD), nullptr);
    EXPECT_NE(normal->FindItem(CMD_BANK_CLIPBOARD), nullptr);
    EXPECT_EQ(normal->FindItem(CMD_CONVERT_YOUTUBE), nullptr);
    std::unique_ptr<wxMenuBar> bank(MainMenus_CreateBar(true, true));
    EXPECT_EQ(bank->FindItem(CMD_CONFIG_LOAD), nullptr);
    EXPECT_EQ(bank->FindItem(CMD_BANK_CLIPBOARD), nullptr);
    EXPECT_NE(bank->FindItem(CMD_CONVERT_YOUTUBE), nullptr);
}

TEST_F(MainWindowTest, TheCloseBoxHidesWithAltF4ToSysTrayAndTheTrayQuitStillEnds) {
    PrefFlags = PREF_ALTF4TOSYSTRAY | PREF_ISSURETOQUIT;
    w->Close(false);
    Pump();
    ASSERT_EQ(MainWindow_Get(), w); // still there, hidden (or minimised without a tray)
    // No podcast is downloading: quitting asks nothing.
    OnCommand(CMD_TRAY_QUIT);
    Pump();
    EXPECT_EQ(MainWindow_Get(), nullptr);
}

TEST_F(MainWindowTest, EveryHookSlotAndCommandOfABuiltModuleHasItsHandler) {
    RegisterShortcuts();
    std::string missing;
    for (const LinkGap& g : MainLinks_Gaps(MainLinks_Commands(nullptr)))
        if (!g.Pending) missing += g.Slot + "; ";
    EXPECT_EQ(missing, "");
    // The start-up check logged no gap, and the alarms are wired.
    EXPECT_EQ(Log_Text().find("! Not linked"), std::string::npos);
    EXPECT_FALSE(MainLinks_SlotPending("AlarmHooks.PopUp"));
    EXPECT_FALSE(MainLinks_CommandPending(CMD_ACTUALIZE_ALL));
}

// Labels of a menu's entries (submenus walked too), each menu checked on its own.
static void ExpectUniqueMnemonics(const wxMenu* m, const std::string& where) {
    std::vector<std::string> labels;
    for (const wxMenuItem* item : m->GetMenuItems()) {
        if (item->IsSeparator()) continue;
        if (item->IsSubMenu()) ExpectUniqueMnemonics(item->GetSubMenu(), where);
        std::string l(item->GetItemLabel().ToUTF8());
        labels.push_back(l.substr(0, l.find('\t')));
    }
    EXPECT_TRUE(Mnemonics_Duplicates(labels).empty())
        << where << ": " << Mnemonics_Duplicates(labels).front();
}

TEST(MainMenus, EveryTopLevelMenuHasItsOwnMnemonicAndNoMenuRepeatsOne) {
    std::unique_ptr<wxMenuBar> bar(MainMenus_CreateBar(false, true));
    std::vector<std::string> titles;
    for (size_t i = 0; i < bar->GetMenuCount(); ++i) {
        titles.push_back(std::string(bar->GetMenuLabel(i).ToUTF8()));
        EXPECT_NE(Mnemonic_Of(titles.back()), 0) << titles.back();
        ExpectUniqueMnemonics(bar->GetMenu(i), titles.back());
    }
    EXPECT_TRUE(Mnemonics_Duplicates(titles).empty());
    ASSERT_EQ(titles.size(), 7u);
    EXPECT_EQ(titles[0], "&Fichier");
    EXPECT_EQ(titles[1], "F&lux"); // the language's own mnemonic stays
    EXPECT_EQ(std::string(bar->GetMenuLabelText(0).ToUTF8()), "Fichier");
    Rss feed;
    Item item;
    for (wxMenu* popup :
         {MainMenus_Group(), MainMenus_Feed(feed), MainMenus_Radio(feed), MainMenus_Article(item),
          MainMenus_Grouped(), MainMenus_Tray("Orvalis")}) {
        std::unique_ptr<wxMenu> owned(popup);
        ExpectUniqueMnemonics(owned.get(), "pop-up");
    }
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxApp::SetInstance(new TestApp);
    wxEntryStart(argc, argv);
    wxTheApp->CallOnInit();
    const int rc = RUN_ALL_TESTS();
    wxEntryCleanup();
    return rc;
}

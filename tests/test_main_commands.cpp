// The main window's small commands computed without a window: "Display" toggles, the
// unread walk, the zone cycle, the fixed accelerators, the stored geometry, the quit
// question, and the status and article texts the window shows.
#include <gtest/gtest.h>

#include "access/core/Shortcuts.h"
#include "platform/core/FileUtil.h"
#include "support/TestSupport.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/core/MainView.h"
#include "shell/base/Prefs.h"
#include "shell/core/Mnemonics.h"

TEST(DisplayToggles, EachCommandFlipsItsBitAndDateAndTitleSortsExcludeEachOther) {
    struct Row {
        int id;
        int32_t before, after;
        const char* say;
    } rows[] = {
        // marks
        {CMD_DISPLAY_READ, 0, DISPLAY_MARK_READ, ""},
        {CMD_DISPLAY_UNREAD, DISPLAY_MARK_UNREAD, 0, ""},
        // date sort on clears the title sort
        {CMD_SORT_DATE, DISPLAY_SORT_BY_TITLE, DISPLAY_SORT_BY_DATE, ""},
        // title sort on clears the date sort
        {CMD_SORT_TITLE, DISPLAY_SORT_BY_DATE, DISPLAY_SORT_BY_TITLE, ""},
        // turning a sort off leaves the other one off
        {CMD_SORT_TITLE, DISPLAY_SORT_BY_TITLE, 0, ""},
        {CMD_SORT_DATE_GROUPS, 0, DISPLAY_GROUP_BY_DATE, ""},
        // grouping of unread articles is announced both ways
        {CMD_GROUP_UNREAD, 0, DISPLAY_GROUP_UNREAD, "Articles regroupés"},
        {CMD_GROUP_UNREAD, DISPLAY_GROUP_UNREAD, 0, "Ne pas regrouper les articles"},
        // only unread is announced both ways
        {CMD_ONLY_UNREAD, 0, DISPLAY_ONLY_UNREAD, "Seulement les non-lu"},
        {CMD_ONLY_UNREAD, DISPLAY_ONLY_UNREAD, 0, "Tous les articles"},
        {CMD_DISPLAY_CONTENT, 0, DISPLAY_CONTENT_KIND, ""},
        {CMD_DISPLAY_VIEWS, 0, DISPLAY_VIEWS, ""},
        {CMD_DISPLAY_HTML, 0, DISPLAY_HTML, ""},
        // readability says the label without its accelerator mark
        {CMD_READABILITY, 0, DISPLAY_READABILITY, "Amélioration de la lisibilité activé !"},
        {CMD_READABILITY, DISPLAY_READABILITY, 0, "Amélioration de la lisibilité désactivé !"},
        // a command that is no toggle changes nothing
        {CMD_QUIT, 5, 5, ""},
    };
    for (const Row& r : rows) {
        std::string say = "x";
        EXPECT_EQ(Display_Toggle(r.before, r.id, &say, "Amélioration de la l&isibilité"), r.after)
            << r.id;
        EXPECT_EQ(say, r.say) << r.id;
    }
}

TEST(NextUnread, WalksInsideTheListInEitherDirection) {
    const std::vector<bool> unread = {false, true, false, true, false};
    EXPECT_EQ(NextUnread_Row(unread, 0, +1), 1);
    EXPECT_EQ(NextUnread_Row(unread, 1, +1), 3);
    EXPECT_EQ(NextUnread_Row(unread, 3, +1), -1); // last unread: nothing further
    EXPECT_EQ(NextUnread_Row(unread, 4, -1), 3);
    EXPECT_EQ(NextUnread_Row(unread, 1, -1), -1); // first unread: nothing before
    EXPECT_EQ(NextUnread_Row(unread, -1, +1), 1); // no selection: from the top
    EXPECT_EQ(NextUnread_Row(unread, -1, -1), 3); // no selection: from the bottom
    EXPECT_EQ(NextUnread_Row({}, -1, +1), -1);
}

TEST(Zones, CycleTreeListTextBothWays) {
    EXPECT_EQ(Zone_Next(ZONE_TREE, 1), ZONE_LIST);
    EXPECT_EQ(Zone_Next(ZONE_LIST, 1), ZONE_TEXT);
    EXPECT_EQ(Zone_Next(ZONE_TEXT, 1), ZONE_TREE);
    EXPECT_EQ(Zone_Next(ZONE_TREE, -1), ZONE_TEXT);
    EXPECT_EQ(Zone_Next(ZONE_HTML, 1), ZONE_TREE);
    EXPECT_EQ(Zone_Next(ZONE_LIST, -1), ZONE_TREE);
}

static int CommandOf(const std::vector<FixedAccelerator>& keys, int32_t key) {
    for (const FixedAccelerator& k : keys)
        if (k.Key == key) return k.Command;
    return 0;
}

TEST(Accelerators, FixedKeysAndTheExtendedOnesOnlyWhenAsked) {
    const auto plain = MainWindow_FixedAccelerators(false);
    EXPECT_EQ(CommandOf(plain, 9), CMD_NEXT_ZONE);
    EXPECT_EQ(CommandOf(plain, KEYMOD_SHIFT | 9), CMD_PREVIOUS_ZONE);
    EXPECT_EQ(CommandOf(plain, 13), CMD_OPEN_BROWSER);
    EXPECT_EQ(CommandOf(plain, KEYMOD_ALT | 13), CMD_FEED_PROPERTIES);
    EXPECT_EQ(CommandOf(plain, 0x2E), CMD_DELETE);
    EXPECT_EQ(CommandOf(plain, 0x75), CMD_FOCUS_TOGGLE);
    EXPECT_EQ(CommandOf(plain, '9'), CMD_TEMPO_SLOW);
    EXPECT_EQ(CommandOf(plain, '6'), CMD_TEMPO_QUICK3);
    EXPECT_EQ(CommandOf(plain, KEYMOD_CONTROL | 13), 0);
    const auto extended = MainWindow_FixedAccelerators(true);
    EXPECT_EQ(extended.size(), plain.size() + 5);
    EXPECT_EQ(CommandOf(extended, KEYMOD_CONTROL | 13), CMD_AUDIO_PAUSE);
    EXPECT_EQ(CommandOf(extended, KEYMOD_CONTROL | 0x26), CMD_AUDIO_VOLUMEUP);
}

TEST(Geometry, MovingWhileMaximisedKeepsTheStoredPosition) {
    Pref_Defaults();
    Pref.MainWindowX = 10;
    Pref.MainWindowY = 20;
    PrefChanged = false;
    EXPECT_FALSE(Geometry_Moved(false, 0, 0));
    EXPECT_EQ(Pref.MainWindowX, 10);
    EXPECT_FALSE(PrefChanged);
    EXPECT_TRUE(Geometry_Moved(true, 30, 40));
    EXPECT_EQ(Pref.MainWindowY, 40);
    EXPECT_TRUE(PrefChanged);
    PrefChanged = false;
    EXPECT_FALSE(Geometry_Resized(false, 1000, 800));
    EXPECT_TRUE(Geometry_Resized(true, 640, 480));
    EXPECT_EQ(Pref.MainWindowW, 640);
    EXPECT_TRUE(Geometry_StateChanged(
        WINDOWSTATE_MAXIMIZED == Pref.MainWindowZ ? WINDOWSTATE_NORMAL : WINDOWSTATE_MAXIMIZED));
}

TEST(TreeWidth, OnlyWholeNumbersFromTenToSeventy) {
    EXPECT_EQ(TreeWidth_Parse("30"), 30);
    EXPECT_EQ(TreeWidth_Parse(" 70 "), 70);
    EXPECT_EQ(TreeWidth_Parse("9"), 0);
    EXPECT_EQ(TreeWidth_Parse("71"), 0);
    EXPECT_EQ(TreeWidth_Parse("3a"), 0);
    EXPECT_EQ(TreeWidth_Parse(""), 0);
}

TEST(Quit, AsksOnlyWhenSureToQuitIsOnAndPodcastsAreDownloading) {
    EXPECT_FALSE(Quit_NeedsConfirmation(PREF_ISSURETOQUIT, false));
    EXPECT_FALSE(Quit_NeedsConfirmation(0, true));
    EXPECT_TRUE(Quit_NeedsConfirmation(PREF_ISSURETOQUIT, true));
}

TEST(TreeStatus, NamesTheGroupTheFeedOrTheMissingSelection) {
    TreeStatusInput in;
    EXPECT_EQ(Status_TreeText(in), "Pas de flux sélectionné !");
    in.GroupPos = 2;
    in.GroupCount = 5;
    EXPECT_EQ(Status_TreeText(in), "Groupe 2 sur 5");
    in.QueueCount = 4;
    EXPECT_EQ(Status_TreeText(in), "Groupe 2 sur 5, 4 flux à actualiser");
    Rss feed;
    feed.Name = "Le Monde";
    Item unread;
    unread.Title = "a";
    feed.Items.AddLast(unread);
    feed.Items.AddLast(unread);
    feed.ExtractError = 1;
    in.Feed = &feed;
    in.QueueCount = 0;
    EXPECT_EQ(Status_TreeText(in), "Le Monde, 2 Non lu, Erreur durant l'actualisation");
    Rss radio;
    radio.Name = "FIP";
    radio.ExtractAs = "NetRadio";
    in.Feed = &radio;
    EXPECT_EQ(Status_TreeText(in), "Radio FIP. Faire Entrée pour visualiser.");
}

TEST(GroupUnread, CountsEveryFeedOfTheGroupIgnoringCase) {
    CursorList<Rss> list;
    Rss a;
    a.Group = "Actu";
    Item i;
    a.Items.AddLast(i);
    list.AddLast(a);
    Rss b;
    b.Group = "ACTU";
    i.Readed = 1;
    b.Items.AddLast(i);
    b.Items.AddLast(Item{});
    list.AddLast(b);
    EXPECT_EQ(Group_UnreadCount(list, "actu"), 2);
    EXPECT_EQ(Group_UnreadCount(list, "Autre"), 0);
}

TEST(ArticleText, TitleReadableDescriptionAndLink) {
    Item i;
    i.Title = "Titre";
    i.Description = "<p>Premier&nbsp;paragraphe</p><p>Second</p>";
    i.Link = "https://example.org/a";
    const std::string text = Article_PlainText(i);
    EXPECT_EQ(text.rfind("Titre\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("Premier"), std::string::npos) << text;
    EXPECT_NE(text.find("Second"), std::string::npos) << text;
    EXPECT_EQ(text.find("<p>"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\nhttps://example.org/a"), std::string::npos) << text;
    Item bare;
    bare.Title = "Seul";
    EXPECT_EQ(Article_PlainText(bare), "Seul");
}

TEST(CommandRegistry, SingleCommandsWinOverRangesAndUnknownOnesHaveNoHandler) {
    MainHooks_Reset();
    int seen = 0;
    Command_RegisterRange(4000, 25, [&](int id) {
        seen = id;
        return true;
    });
    Command_Register(4003, [&](int) {
        seen = -1;
        return true;
    });
    ASSERT_TRUE(Command_Find(4010));
    Command_Find(4010)(4010);
    EXPECT_EQ(seen, 4010);
    Command_Find(4003)(4003);
    EXPECT_EQ(seen, -1);
    EXPECT_FALSE(Command_Find(4025));
    EXPECT_FALSE(Command_Find(CMD_ACTUALIZE_ALL));
    EXPECT_EQ(NotYetAvailable_Text(), "Pas encore disponible");
    MainHooks_Reset();
    EXPECT_FALSE(Command_Find(4010));
}

TEST(Help, EachHelpCommandHasItsFileAndEachZoneItsTopic) {
    EXPECT_EQ(Help_File(CMD_HELP), "Orvalis.chm");
    EXPECT_EQ(Help_File(CMD_HELP_HTML), "Orvalis.html");
    EXPECT_EQ(Help_File(CMD_HELP_CONTEXT), "Orvalis.Chm");
    EXPECT_EQ(Help_File(CMD_QUIT), "");
    EXPECT_EQ(Help_Topic(ZONE_TREE), "ZoneArbo.html");
    EXPECT_EQ(Help_Topic(ZONE_LIST), "ZoneListe.html");
    EXPECT_EQ(Help_Topic(ZONE_TEXT), "ZoneVisu.html");
    EXPECT_EQ(Help_Topic(ZONE_HTML), "ZoneVisu.html");
}

TEST(Help, PagesAreTakenInTheUsersLanguageElseInFrenchAndNeverOutsideTheProgramFolder) {
    TempDir dir;
    const std::string app = dir.Path() + "/";
    ASSERT_TRUE(File_WriteAtomic(app + "Orvalis.html", "fr"));
    ASSERT_TRUE(File_WriteAtomic(app + "ZoneListe.html", "fr"));
    ASSERT_TRUE(Dir_Create(app + "Help"));
    ASSERT_TRUE(Dir_Create(app + "Help/English"));
    ASSERT_TRUE(File_WriteAtomic(app + "Help/English/Orvalis.html", "en"));
    EXPECT_EQ(Help_Page(CMD_HELP, ZONE_LIST), "Orvalis.html");
    EXPECT_EQ(Help_Page(CMD_HELP_CONTEXT, ZONE_LIST), "ZoneListe.html");
    EXPECT_EQ(Help_Path(app, "English", Help_Page(CMD_HELP, ZONE_TREE)),
              app + "Help/English/Orvalis.html");
    // The English pages lack this one: the French page stands in.
    EXPECT_EQ(Help_Path(app, "English", "ZoneListe.html"), app + "ZoneListe.html");
    EXPECT_EQ(Help_Path(app, "", "Orvalis.html"), app + "Orvalis.html");
    EXPECT_EQ(Help_Path(app, "../English", "Orvalis.html"), app + "Orvalis.html");
    EXPECT_EQ(Help_Path(app, "", "ZoneArbo.html"), "");
}

TEST(Mnemonics, TopLevelLabelsGetTheirFirstFreeLetterAndKeepTheirOwn) {
    const std::vector<std::string> bar = {"Fichier", "F&lux",     "&Article", "A&udio",
                                          "PodCast", "Affichage", "Aide"};
    const std::vector<std::string> got = Mnemonics_Assign(bar, true);
    EXPECT_EQ(got, (std::vector<std::string>{"&Fichier", "F&lux", "&Article", "A&udio", "&PodCast",
                                             "Aff&ichage", "Ai&de"}));
    EXPECT_TRUE(Mnemonics_Duplicates(got).empty());
    // Within a menu only repeats move; entries without a mnemonic stay as they are.
    EXPECT_EQ(Mnemonics_Assign({"&lent", "&lu", "Rien", "R&&D"}, false),
              (std::vector<std::string>{"&lent", "l&u", "Rien", "R&&D"}));
    EXPECT_EQ(Mnemonic_Of("R&&D"), 0);
    EXPECT_EQ(Mnemonic_Of("Ai&De"), 'd');
    EXPECT_EQ(Mnemonics_Duplicates({"&lent", "&Lu"}), (std::vector<std::string>{"&Lu"}));
}

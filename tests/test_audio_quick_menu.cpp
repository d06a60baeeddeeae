// The quick menu's content built from a catalogue: its parts in order, the limits of the
// unread part (5 a feed, 90 in all) and of the partly played part (10), articles marked
// unread again not offered, deleted articles dropped from the recently played list,
// radios offered only with the libmpv engine, and the entries while a radio plays.
#include <gtest/gtest.h>

#include "audio/core/Audio.h"
#include "audio/core/QuickMenuModel.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/AppState.h"
#include "shell/core/MainCommands.h"
#include "shell/base/Prefs.h"

// The quick menu speaks the main window's command numbers.
static_assert(QUICKCMD_RESTORE == CMD_RESTORE && QUICKCMD_PAUSE == CMD_AUDIO_PAUSE &&
              QUICKCMD_STOP == CMD_AUDIO_STOP && QUICKCMD_COPY_LINK == CMD_QUICK_COPY_LINK &&
              QUICKCMD_FEED == CMD_QUICK_FEED && QUICKCMD_PAUSED == CMD_QUICK_PAUSED &&
              QUICKCMD_MUTE == CMD_AUDIO_MUTE && QUICKCMD_UNREAD_FIRST == CMD_QUICK_UNREAD_FIRST &&
              QUICKCMD_PLAYED_FIRST == CMD_QUICK_PLAYED_FIRST &&
              QUICKCMD_RADIO_FIRST == CMD_QUICK_RADIO_FIRST &&
              QUICKCMD_PARTIAL_FIRST == CMD_QUICK_PARTIAL_FIRST);

namespace {
class QuickMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Pref_Defaults();
        RssList.Clear();
        PlayedItems.clear();
        PlayedFeeds.clear();
        Audio = AudioRecord{};
        Audio.Engine = AUDIO_ENGINE_BASS;
        AppState_Clear(APPSTATE_MUTED);
    }
    Rss* AddFeed(const std::string& name, int articles, bool podcastList = true) {
        Rss f;
        f.Name = name;
        f.Url = "https://" + name + ".example/feed";
        f.ContentRss = CONTENT_PODCAST;
        f.Flags = podcastList ? RSSFLAG_ADD_TO_PODCAST_LIST : 0;
        EXPECT_EQ(RssList_Add(f), 1);
        Rss* feed = RssList.Current();
        for (int i = 0; i < articles; ++i) {
            Item it;
            it.Title = name + " episode " + std::to_string(i + 1);
            it.AudioFile = name + "-" + std::to_string(i + 1) + ".mp3";
            Item_AddTo(*feed, it, 1);
        }
        return feed;
    }
    static const QuickMenuEntry* Find(const std::vector<QuickMenuEntry>& m,
                                      const std::string& label) {
        for (const QuickMenuEntry& e : m)
            if (e.Label == label) return &e;
        return nullptr;
    }
};

void AllReadable(const std::vector<QuickMenuEntry>& entries) {
    for (const QuickMenuEntry& e : entries) {
        EXPECT_FALSE(e.Label.empty());
        EXPECT_NE(e.Label.find_first_not_of("0123456789 "), std::string::npos) << e.Label;
        AllReadable(e.Sub);
    }
}
} // namespace

TEST_F(QuickMenuTest, PartsComeInOrderAndTheUnreadPartStopsAtNinetyEntries) {
    for (int f = 0; f < 20; ++f)
        AddFeed("feed" + std::to_string(f), 6);
    AddFeed("hidden", 3, false);
    const std::vector<QuickMenuEntry> menu = QuickMenu_Build("Orvalis");
    ASSERT_GE(menu.size(), 7u);
    EXPECT_EQ(menu[0].Label, "Afficher Orvalis");
    EXPECT_EQ(menu[0].Command, CMD_RESTORE);
    EXPECT_EQ(menu[1].Label, "Pause ");
    EXPECT_FALSE(menu[1].Enabled) << "nothing loaded";
    EXPECT_EQ(menu[2].Label, "Stop");
    EXPECT_FALSE(menu[2].Enabled);
    EXPECT_EQ(menu[3].Label, "Copier le lien du podcast, ou fichier, dans le presse-papier");
    EXPECT_FALSE(menu[3].Enabled);
    EXPECT_EQ(menu[4].Label, "Podcast non lu");
    EXPECT_EQ(menu[5].Label, "Podcast partiellement écouté");
    EXPECT_EQ(menu.back().Label, "Sourdine");
    EXPECT_EQ(menu.back().Command, CMD_AUDIO_MUTE);
    EXPECT_FALSE(menu.back().Checked);

    const QuickMenuEntry& unread = menu[4];
    ASSERT_EQ(unread.Sub.size(), 18u) << "18 feeds of 5 make 90";
    EXPECT_EQ(unread.Sub[0].Label, "feed0");
    ASSERT_EQ(unread.Sub[0].Sub.size(), 5u);
    EXPECT_EQ(unread.Sub[0].Sub[0].Label, "feed0 episode 1");
    EXPECT_EQ(unread.Sub[0].Sub[0].Command, 4100);
    EXPECT_EQ(unread.Sub[17].Sub[4].Command, 4189);
    EXPECT_EQ(QuickUnreadTargets.size(), 90u);
    EXPECT_EQ(QuickUnreadTargets[0], RssList.begin()->Items.begin()->FeedID);
    EXPECT_EQ(Find(menu, "Podcast réçament écoutés"), nullptr) << "nothing played yet";
    AllReadable(menu);
}

TEST_F(QuickMenuTest, OnlyNeverMarkedPlayableArticlesAreUnreadAndPartlyPlayedStopsAtTen) {
    Rss* a = AddFeed("a", 3);
    auto it = a->Items.begin();
    it->Readed = ReadStamp(0); // marked unread by the user after having been read
    (++it)->AudioFile = "notes.txt";
    Rss* b = AddFeed("b", 12);
    int n = 0;
    for (Item& item : b->Items)
        item.AudioPos = ++n * 1000;
    std::vector<QuickMenuEntry> menu = QuickMenu_Build("Orvalis");
    ASSERT_EQ(menu[4].Sub[0].Label, "a");
    ASSERT_EQ(menu[4].Sub[0].Sub.size(), 1u);
    EXPECT_EQ(menu[4].Sub[0].Sub[0].Label, "a episode 3");
    EXPECT_EQ(menu[5].Sub.size(), 10u);
    EXPECT_EQ(menu[5].Sub[0].Label, "b episode 1");
    EXPECT_EQ(menu[5].Sub[9].Command, 4709);
    EXPECT_EQ(QuickPartialTargets.size(), 10u);

    // A link playable from the web counts when "PlayLinkByDefault" is on.
    a->Items.begin()->Readed = 0;
    a->Items.begin()->AudioFile.clear();
    a->Items.begin()->AudioLink = "https://a.example/one.mp3";
    EXPECT_EQ(QuickMenu_Build("Orvalis")[4].Sub[0].Sub.size(), 2u);
    PrefFlags &= ~PREF_PLAYLINKBYDEFAULT;
    EXPECT_EQ(QuickMenu_Build("Orvalis")[4].Sub[0].Sub.size(), 1u);
    // Nothing is playable without an engine.
    Audio.Engine = AUDIO_ENGINE_NONE;
    EXPECT_TRUE(QuickMenu_Build("Orvalis")[4].Sub.empty());
}

TEST_F(QuickMenuTest, DeletedArticlesLeaveThePlayedListAndRadiosNeedTheLibmpvEngine) {
    Rss* feed = AddFeed("pods", 3);
    std::vector<int32_t> ids;
    for (Item& item : feed->Items)
        ids.push_back(item.FeedID);
    Rss radio;
    radio.Name = "Radio locale";
    radio.Url = "http://127.0.0.1:9/radio";
    radio.ContentRss = CONTENT_NETRADIO;
    radio.ExtractAs = "NetRadio";
    ASSERT_EQ(RssList_Add(radio), 1);
    const int32_t radioID = RssList.Current()->RssID;
    PlayedItems = {ids[2], 999999, ids[0]};
    PlayedFeeds = {radioID, 424242};

    std::vector<QuickMenuEntry> menu = QuickMenu_Build("Orvalis");
    EXPECT_EQ(PlayedItems, (std::vector<int32_t>{ids[2], ids[0]}));
    const QuickMenuEntry* played = Find(menu, "Podcast réçament écoutés");
    ASSERT_NE(played, nullptr);
    ASSERT_EQ(played->Sub.size(), 2u);
    EXPECT_EQ(played->Sub[0].Label, "pods episode 3");
    EXPECT_EQ(played->Sub[1].Command, 4201);
    const QuickMenuEntry* radios = Find(menu, "Radios réçament écoutées");
    ASSERT_NE(radios, nullptr);
    ASSERT_EQ(radios->Sub.size(), 1u);
    EXPECT_EQ(radios->Sub[0].Label, "Radio locale");
    EXPECT_EQ(radios->Sub[0].Command, 4400);
    EXPECT_EQ(PlayedFeeds, (std::vector<int32_t>{radioID}));

    Audio.Engine = AUDIO_ENGINE_PURE;
    EXPECT_EQ(Find(QuickMenu_Build("Orvalis"), "Radios réçament écoutées"), nullptr);

    // While a radio plays: pause disabled, the copy entry names the radio, the loaded
    // entries are there; mute is marked.
    Audio.Engine = AUDIO_ENGINE_BASS;
    Audio.State = AUDIO_STATE_LOADED;
    Audio.RadioID = radioID;
    AppState_Set(APPSTATE_MUTED);
    menu = QuickMenu_Build("Orvalis");
    EXPECT_FALSE(menu[1].Enabled);
    EXPECT_TRUE(menu[2].Enabled);
    EXPECT_EQ(menu[3].Label, "Copier le lien de la radio dans le presse-papier");
    EXPECT_EQ(menu[menu.size() - 3].Command, CMD_QUICK_FEED);
    EXPECT_EQ(menu[menu.size() - 2].Command, CMD_QUICK_PAUSED);
    EXPECT_TRUE(menu.back().Checked);
    AllReadable(menu);
    Audio = AudioRecord{};
    AppState_Clear(APPSTATE_MUTED);
    EXPECT_FALSE(QuickMenu_Run(4100 + 50)) << "an entry that names nothing does nothing";
}

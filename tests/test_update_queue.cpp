// The update queue's placement rules, the merge of parsed articles into a feed, the
// countdown, the alarms and the "updated since" text, without any thread or network.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <string>
#include <vector>

#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "support/TestSupport.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {

class UpdateQueue : public ::testing::Test {
  protected:
    void SetUp() override {
        m_old = std::filesystem::current_path().string();
        std::filesystem::current_path(m_dir.Path());
        Log_Reset();
        Log_SetFile(m_dir.File("Orvalis.Log"));
        RssList.Clear();
        DownloadQueue.Clear();
        Items_ResetFeedIDCounter();
        Pref_Defaults();
        PrefFlags = 0;
        AppState_Clear(APPSTATE_FIRST_UPDATES);
        FeedThread_Hooks() = FeedThreadHooks();
        FeedThread_Hooks().Say = [this](const std::string& t, int) { m_spoken.push_back(t); };
        Alarm_Hooks() = AlarmHooks();
        Notifications_Shutdown();
    }
    void TearDown() override {
        Notifications_Shutdown();
        Alarm_Hooks() = AlarmHooks();
        FeedThread_Hooks() = FeedThreadHooks();
        DownloadQueue.Clear();
        RssList.Clear();
        std::filesystem::current_path(m_old);
    }
    Rss& AddFeed(int32_t id, const std::string& name, int32_t flags = 0) {
        RssList.Reset();
        Rss& f = RssList.AddLast();
        f.RssID = id;
        f.Name = name;
        f.Url = "http://127.0.0.1/" + name;
        f.ExtractAs = "RssV2";
        f.Group = "Flux";
        f.Flags = flags;
        f.Interval = 30;
        return f;
    }
    std::vector<int32_t> QueueIds() {
        std::vector<int32_t> ids;
        for (const DownloadEntry& e : DownloadQueue)
            ids.push_back(e.RssID);
        return ids;
    }
    static Item Art(const std::string& guid, const std::string& title,
                    const std::string& description = "d") {
        Item it;
        it.GUID = guid;
        it.Title = title;
        it.Description = description;
        return it;
    }
    static std::vector<std::string> Titles(const Rss& f) {
        std::vector<std::string> t;
        for (const Item& it : f.Items)
            t.push_back(it.Title);
        return t;
    }
    TempDir m_dir;
    std::string m_old;
    std::vector<std::string> m_spoken;
};

} // namespace

TEST_F(UpdateQueue, PushesInOrderAndResetsTheCountdown) {
    Rss& a = AddFeed(1, "a");
    AddFeed(2, "b");
    a.NextUpdateIn = 3;
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(a.NextUpdateIn, 30 * 60);
    EXPECT_NE(Log_Text().find("- DownloadRSS_Push(2=b) pos=1"), std::string::npos);
}

TEST_F(UpdateQueue, AFailedFeedGoesLastAndAHealthyOneIsPlacedBeforeIt) {
    AddFeed(1, "a");
    AddFeed(2, "failed").ExtractError = 1;
    AddFeed(3, "c");
    AddFeed(4, "d");
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    DownloadRSS_Push(3, 0);
    DownloadRSS_Push(4, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 4, 2}));
}

TEST_F(UpdateQueue, AHealthyFeedNeverOvertakesAFailedHeadInProgress) {
    AddFeed(1, "failed").ExtractError = 1;
    AddFeed(2, "b");
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2}));
}

TEST_F(UpdateQueue, APriorityRequestTakesTheSecondPlaceAndIsSpoken) {
    AddFeed(1, "a");
    AddFeed(2, "b");
    AddFeed(3, "chosen");
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    DownloadRSS_Push(3, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 2}));
    EXPECT_EQ(std::next(DownloadQueue.begin())->Notify, 1);
    EXPECT_EQ(DownloadQueue.begin()->Notify, 0);
}

TEST_F(UpdateQueue, APriorityRequestOnAnEmptyQueueTakesTheFirstPlace) {
    AddFeed(1, "a");
    DownloadRSS_Push(1, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
}

TEST_F(UpdateQueue, RequestingAWaitingFeedMovesItToTheSecondPlaceAndSetsNotify) {
    for (int i = 1; i <= 4; ++i)
        AddFeed(i, "f" + std::to_string(i));
    for (int i = 1; i <= 4; ++i)
        DownloadRSS_Push(i, 0);
    DownloadRSS_Push(4, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 4, 3, 2}));
    EXPECT_EQ(std::next(DownloadQueue.begin())->Notify, 1);
    EXPECT_NE(Log_Text().find("- DownloadRSS_Push( Priority to 4=f4) Pos=1"), std::string::npos);
}

TEST_F(UpdateQueue, RequestingTheFeedInProgressOnlySetsNotify) {
    AddFeed(1, "a");
    AddFeed(2, "b");
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    DownloadRSS_Push(1, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(DownloadQueue.begin()->Notify, 1);
}

TEST_F(UpdateQueue, AFeedFlaggedPriorityToActualizeJumpsTheQueue) {
    AddFeed(1, "a");
    AddFeed(2, "b");
    AddFeed(3, "urgent", RSSFLAG_PRIORITY_TO_ACTUALIZE);
    DownloadRSS_Push(1, 0);
    DownloadRSS_Push(2, 0);
    DownloadRSS_Push(3, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 2}));
    EXPECT_EQ(std::next(DownloadQueue.begin())->Notify, 0);
}

TEST_F(UpdateQueue, AnObsoleteFeedIsOnlyQueuedOnRequest) {
    AddFeed(1, "old").Group = "obsolète";
    DownloadRSS_Push(1, 0);
    EXPECT_TRUE(QueueIds().empty());
    ActualizeFeeds(1, 0);
    EXPECT_TRUE(QueueIds().empty());
    DownloadRSS_Push(1, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
}

TEST_F(UpdateQueue, UnknownAndRadioFeedsAreNeverQueued) {
    AddFeed(1, "radio").ExtractAs = "NetRadio";
    DownloadRSS_Push(1, 1);
    DownloadRSS_Push(99, 1);
    EXPECT_TRUE(QueueIds().empty());
}

TEST_F(UpdateQueue, RemovingNeverTakesTheHeadOut) {
    AddFeed(1, "a");
    AddFeed(2, "b");
    DownloadRSS_Push(1, 0);
    DownloadRSS_Remove(1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
    DownloadRSS_Push(2, 0);
    DownloadRSS_Remove(2);
    DownloadRSS_Remove(1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
}

TEST_F(UpdateQueue, UpdatingAllAtStartOnlyCountsDownFeedsNotUpdatedOnStart) {
    AddFeed(1, "onstart", RSSFLAG_ACTUALIZE_ON_START);
    AddFeed(2, "later");
    AddFeed(3, "disabled", RSSFLAG_DISABLE | RSSFLAG_ACTUALIZE_ON_START);
    ActualizeFeeds(1, 1);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
    EXPECT_EQ(RssList.Select(1)->NextUpdateIn, 30 * 60);
    EXPECT_TRUE(AppState_Test(APPSTATE_FIRST_UPDATES));
}

TEST_F(UpdateQueue, UpdatingTheSelectionTakesTheFeedOrItsGroup) {
    AddFeed(1, "a").Group = "News";
    AddFeed(2, "b").Group = "news";
    AddFeed(3, "c").Group = "Other";
    FeedThread_Hooks().Selection = [](int32_t& id, std::string& group) {
        id = 0;
        group = "NEWS";
    };
    ActualizeFeeds(0, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 2}));
    FeedThread_Hooks().Selection = [](int32_t& id, std::string&) { id = 3; };
    ActualizeFeeds(0, 0);
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1, 3, 2}));
    EXPECT_EQ(std::next(DownloadQueue.begin())->Notify, 1);
}

TEST_F(UpdateQueue, TheCountdownQueuesADueFeedAndSkipsDisabledOnes) {
    Rss& a = AddFeed(1, "a");
    Rss& d = AddFeed(2, "disabled", RSSFLAG_DISABLE);
    a.NextUpdateIn = 1;
    d.NextUpdateIn = 0;
    FeedCountdown();
    EXPECT_EQ(a.NextUpdateIn, 0);
    EXPECT_TRUE(QueueIds().empty());
    FeedCountdown();
    EXPECT_EQ(QueueIds(), (std::vector<int32_t>{1}));
    EXPECT_EQ(a.NextUpdateIn, 30 * 60);
}

// --- Item_Find and Item_Compare -----------------------------------------------------

TEST_F(UpdateQueue, ItemFindMatchesByGuidOrByTitleWhenThereIsNone) {
    CursorList<Item> list;
    list.AddLast(Art("g1", "One"));
    list.AddLast(Art("", "Two"));
    list.AddLast(Art("G1", "Three"));
    struct Row {
        Item Probe;
        int Found;
        std::string Title; // of the article the cursor lands on
    } rows[] = {
        {Art("g1", "other"), 1, "One"}, // the GUID decides, the title does not matter
        {Art("G1", "x"), 1, "Three"},   // GUIDs are compared with their case
        {Art("", "TWO"), 1, "Two"},     // without GUID the title, ignoring case
        {Art("", "One"), 0, ""},        // an article with a GUID never matches by title
        {Art("g2", "Two"), 0, ""},      // with a GUID the title is not looked at
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Item_Find(list, r.Probe), r.Found) << r.Probe.Title;
        if (r.Found) EXPECT_EQ(list.Current()->Title, r.Title);
    }
}

TEST_F(UpdateQueue, ItemCompareNamesEachChangedFieldInItsOrder) {
    Item base = Art("g", "Title", "desc");
    base.AudioFileLength = 10;
    base.AudioLink = "http://x/a.mp3";
    base.ItunesDuration = 60;
    struct Row {
        void (*Change)(Item&);
        const char* Letters;
    } rows[] = {
        {[](Item& i) { i.Title = "TITLE"; }, ""},          // case only: unchanged
        {[](Item& i) { i.Title = "Other"; }, "T "},        // title
        {[](Item& i) { i.Description = "Desc"; }, "D "},   // description, with its case
        {[](Item& i) { i.AudioFileLength = 11; }, "F "},   // enclosure length
        {[](Item& i) { i.AudioLink = "http://y"; }, "A "}, // enclosure address
        {[](Item& i) { i.ItunesDuration = 61; }, "I "},    // duration
        {[](Item& i) { i.Date = 12345; }, ""},             // dates are not compared
        {[](Item& i) {
             i.Title = "x";
             i.ItunesDuration = 1;
         },
         "T I "}, // several, in their fixed order
    };
    for (const Row& r : rows) {
        Item changed = base;
        r.Change(changed);
        EXPECT_EQ(Item_Compare(base, changed), r.Letters);
    }
}

// --- Feed_Update --------------------------------------------------------------------

TEST_F(UpdateQueue, TheMergeKeepsKnownArticlesMarksChangedAndNewOnesInDocumentOrder) {
    Rss& f = AddFeed(1, "f");
    Item_AddTo(f, Art("g1", "One"), 1);
    Item_AddTo(f, Art("g2", "Two"), 1);
    Item_AddTo(f, Art("g3", "Three"), 1);
    f.Items.Select(0)->Readed = 1;
    f.Items.Select(1)->Readed = 1;
    f.Items.Select(1)->AudioPos = 42;
    const std::string id2 = f.Items.Select(1)->ID;
    const int32_t feedID2 = f.Items.Select(1)->FeedID;

    std::vector<Item> parsed = {Art("g4", "Four"), Art("g2", "Two", "changed"), Art("g1", "ONE")};
    parsed[2].Views = 7;
    DownloadEntry e;
    e.RssID = 1;
    EXPECT_EQ(Feed_Update(e, parsed), 3);
    EXPECT_EQ(Titles(f), (std::vector<std::string>{"Four", "Two", "One"}));
    const Item& four = *f.Items.Select(0);
    const Item& two = *f.Items.Select(1);
    const Item& one = *f.Items.Select(2);
    EXPECT_EQ(four.TypeUpdate, "+");
    EXPECT_EQ(two.TypeUpdate, "D ");
    EXPECT_EQ(two.ID, id2);
    EXPECT_EQ(two.FeedID, feedID2);
    EXPECT_EQ(two.AudioPos, 42);
    EXPECT_EQ(two.Readed & 1, 1);
    EXPECT_EQ(one.TypeUpdate, ".");
    EXPECT_EQ(one.Views, 7);
    EXPECT_EQ(one.Readed & 1, 1);
    EXPECT_EQ(e.NewCount, 1);
    EXPECT_EQ(e.UpdatedCount, 1);
}

TEST_F(UpdateQueue, ArticlesGoneFromTheDocumentAreKeptUpToMaxFeed) {
    for (int maxFeed : {0, 1, 5}) {
        RssList.Clear();
        Rss& f = AddFeed(1, "f");
        f.MaxFeed = maxFeed;
        Item_AddTo(f, Art("g1", "One"), 1);
        Item_AddTo(f, Art("g2", "Two"), 1);
        Item_AddTo(f, Art("g3", "Three"), 1);
        DownloadEntry e;
        e.RssID = 1;
        Feed_Update(e, {Art("g2", "Two")});
        std::vector<std::string> expected = {"Two"};
        if (maxFeed >= 1) expected.push_back("One");
        if (maxFeed >= 2) expected.push_back("Three");
        EXPECT_EQ(Titles(f), expected) << "MaxFeed " << maxFeed;
    }
}

TEST_F(UpdateQueue, AnArticleWithoutGuidWhoseTitleChangedIsNew) {
    Rss& f = AddFeed(1, "f");
    Item_AddTo(f, Art("", "Old title"), 1);
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("", "New title")});
    EXPECT_EQ(Titles(f), (std::vector<std::string>{"New title"}));
    EXPECT_EQ(f.Items.Select(0)->TypeUpdate, "+");
    EXPECT_EQ(e.NewCount, 1);
}

TEST_F(UpdateQueue, AChangedArticleBecomesUnreadAndAlarmsWhenTheFeedAsksForIt) {
    Rss& f = AddFeed(1, "Watched", RSSFLAG_SET_UPDATED_AS_UNREADED | RSSFLAG_ALARM);
    f.Updated = 1000;
    Item_AddTo(f, Art("g1", "One"), 1);
    f.Items.Select(0)->Readed = 1 | 2 | 0x100;
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("g1", "One", "new text")});
    EXPECT_EQ(f.Items.Select(0)->Readed, 2 | 0x100);
    const auto pending = Notifications_Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].Text, "Watched");
    EXPECT_EQ(pending[0].Type, ALARM_NEW_ARTICLES);
}

TEST_F(UpdateQueue, NoAlarmOnTheFirstUpdateOfARunUnlessAlarmOnStart) {
    Rss& f = AddFeed(1, "Watched", RSSFLAG_ALARM);
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("g1", "One")});
    EXPECT_TRUE(Notifications_Pending().empty());
    PrefFlags |= PREF_ALARMONSTART;
    Feed_Update(e, {Art("g2", "Two")});
    EXPECT_EQ(Notifications_Pending().size(), 1u);
    (void)f;
}

TEST_F(UpdateQueue, DuplicatesInOneDocumentAreDroppedWhenTheFeedAsks) {
    Rss& f = AddFeed(1, "f", RSSFLAG_REMOVE_DUPLICATE);
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("g1", "One"), Art("g1", "One again"), Art("", "x"), Art("", "X")});
    EXPECT_EQ(Titles(f), (std::vector<std::string>{"One", "x"}));
    f.Flags = 0;
    RssList.Clear();
    Rss& g = AddFeed(2, "g");
    DownloadEntry e2;
    e2.RssID = 2;
    Feed_Update(e2, {Art("g1", "One"), Art("g1", "One again")});
    EXPECT_EQ(Titles(g).size(), 2u);
}

TEST_F(UpdateQueue, ADocumentWithoutArticlesLeavesTheStoredOnesAlone) {
    Rss& f = AddFeed(1, "f");
    Item_AddTo(f, Art("g1", "One"), 1);
    f.ItemsChanged = 0;
    DownloadEntry e;
    e.RssID = 1;
    EXPECT_EQ(Feed_Update(e, {}), 0);
    EXPECT_EQ(Titles(f), (std::vector<std::string>{"One"}));
    EXPECT_EQ(f.ItemsChanged, 0);
}

TEST_F(UpdateQueue, AutomaticPodcastsOfTheFirstArticlesAreHandedToTheQueue) {
    Rss& f = AddFeed(1, "pod");
    f.NbAutoDownLoadPodCast = 2;
    std::vector<std::string> queued;
    FeedThread_Hooks().PodcastFileName = [](const Rss&, const Item& it) {
        return "/pods/" + it.GUID + ".mp3";
    };
    FeedThread_Hooks().PodcastQueue = [&](Rss&, Item& it) { queued.push_back(it.GUID); };
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("a", "A"), Art("b", "B"), Art("c", "C")});
    EXPECT_EQ(queued, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(f.Items.Select(0)->CustomAudioFile, "/pods/a.mp3");
    EXPECT_EQ(f.Items.Select(2)->CustomAudioFile, "");
}

// --- Notifications ------------------------------------------------------------------

TEST_F(UpdateQueue, AnAlarmIsSpokenThenTheGapHoldsTheNextOne) {
    std::vector<std::string> said;
    Alarm_Hooks().Say = [&](const std::string& t, int) { said.push_back(t); };
    AlarmGap_SetLength(60000);
    PrefFlags = PREF_ALARMBYSPEECH;
    Notify("Le Monde", ALARM_NEW_ARTICLES);
    Notify("Other", ALARM_NEW_ARTICLES);
    ProcessNotifications();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "Notification " + AppName + ", Le Monde.");
    EXPECT_NE(Log_Text().find("* Alarm : Le Monde"), std::string::npos);
    EXPECT_TRUE(AlarmGap_Running());
    ProcessNotifications();
    EXPECT_EQ(said.size(), 1u);
    Notifications_Shutdown();
    EXPECT_FALSE(AlarmGap_Running());
    AlarmGap_SetLength(5000);
}

TEST_F(UpdateQueue, TheGapStopsASoundStillPlayingAndAPopUpShowsOnlyOnce) {
    bool playing = false, stopped = false;
    std::vector<std::string> popups;
    std::function<void()> closePopUp;
    Alarm_Hooks().SoundAvailable = [] { return true; };
    Alarm_Hooks().PlaySound = [&](const std::string&) { return playing = true; };
    Alarm_Hooks().SoundPlaying = [&] { return playing; };
    Alarm_Hooks().StopSound = [&] { stopped = true; };
    Alarm_Hooks().PopUp = [&](const std::string& title, const std::string& text,
                              std::function<void()> closed) {
        popups.push_back(title + "|" + text);
        closePopUp = std::move(closed);
    };
    AppPath = m_dir.Path() + "/";
    WriteFileOrDie(m_dir.File("New.wav"), "RIFF....");
    Pref.AlarmNewFeedFile = "New.wav";
    PrefFlags = PREF_ALARMBYSOUND | PREF_ALARMBYPOPUP;
    AlarmGap_SetLength(1);
    Notify("A", ALARM_NEW_ARTICLES);
    Notify("B", ALARM_NEW_ARTICLES);
    ProcessNotifications();
    while (AlarmGap_Running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(stopped);
    ProcessNotifications(); // the first pop-up is still shown: none for B
    EXPECT_EQ(popups, (std::vector<std::string>{"Notification " + AppName + "|A"}));
    closePopUp();
    Notifications_Shutdown();
    AlarmGap_SetLength(5000);
}

TEST_F(UpdateQueue, AMissingAlarmFileIsLoggedAndIgnored) {
    Alarm_Hooks().SoundAvailable = [] { return true; };
    bool played = false;
    Alarm_Hooks().PlaySound = [&](const std::string&) { return played = true; };
    AppPath = m_dir.Path() + "/";
    Pref.AlarmFinishFirstActualizeFile = "Missing.wav";
    PlayAlarmSound(ALARM_FIRST_UPDATE_DONE);
    EXPECT_FALSE(played);
    EXPECT_NE(Log_Text().find("! AlarmFile not found : " + AppPath + "Missing.wav"),
              std::string::npos);
}

// --- Status text --------------------------------------------------------------------

TEST_F(UpdateQueue, UpdatedSinceTextCountsHoursAndMinutes) {
    const int32_t now = 2000000000;
    struct Row {
        int32_t Date;
        const char* Text;
    } rows[] = {
        {0, "Non actualisé !"},
        {now - (25 * 3600 + 5 * 60), "Actualisé depuis 25 heures et 5 minutes"},
        {now - 2 * 3600, "Actualisé depuis 2 heures"},
        {now - 7 * 60 - 30, "Actualisé depuis 7 minutes"},
        {now - 59, "Actualisé depuis moins d'une minute"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(UpdatedSinceText(r.Date, now), r.Text);
}

TEST_F(UpdateQueue, AnUnchangedDocumentLeavesTheFeedUnmarkedForSaving) {
    Rss& f = AddFeed(1, "f");
    Item_AddTo(f, Art("g1", "One"), 1);
    Item_AddTo(f, Art("g2", "Two"), 1);
    f.ItemsChanged = 0;
    DownloadEntry e;
    e.RssID = 1;
    Feed_Update(e, {Art("g1", "ONE"), Art("g2", "Two")});
    EXPECT_EQ(f.ItemsChanged, 0) << "the stored text is the same";
    Feed_Update(e, {Art("g2", "Two"), Art("g1", "One")});
    EXPECT_EQ(f.ItemsChanged, 1) << "the order changed";
}

TEST_F(UpdateQueue, AFeedDeletedDuringItsUpdateIsNeitherKeptQueuedNorSpoken) {
    AddFeed(1, "a");
    AddFeed(2, "b");
    DownloadRSS_Push(1, 1);
    DownloadRSS_Push(2, 1);
    ExtractFeedByThread(); // the worker starts on "a" (and on "b" with several)
    // What deleting both feeds does to the queue, then to the catalogue.
    DownloadRSS_Remove(2);
    DownloadRSS_Remove(1);
    // With several workers "b" started too, and stays until its merge.
    const std::vector<int32_t> kept =
        Pref.UpdateThreads == 1 ? std::vector<int32_t>{1} : std::vector<int32_t>{1, 2};
    EXPECT_EQ(QueueIds(), kept);
    RssList.Raw().clear();
    RssList.Reset();
    for (int i = 0; i < 1000 && DownloadQueue_Size() > 0; ++i) {
        ExtractFeedByThread();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(DownloadQueue_Size(), 0u);
    EXPECT_TRUE(m_spoken.empty()) << m_spoken.front();
}

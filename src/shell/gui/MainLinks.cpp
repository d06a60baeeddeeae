#include "shell/gui/MainLinks.h"

#include <mutex>

#include <wx/app.h>

#include "article/gui/ArticleModule.h"
#include "audio/gui/AudioLinks.h"
#include "audio/gui/PodcastLinks.h"
#include "catalogue/core/Records.h"
#include "discovery/gui/DiscoveryLinks.h"
#include "platform/core/Text.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/gui/ArticleListView.h"
#include "shell/gui/ArticleTextView.h"
#include "shell/gui/ConfigLinks.h"
#include "shell/gui/FeedTreeView.h"
#include "shell/gui/LinkCheck.h"
#include "shell/gui/MainHandlers.h"
#include "shell/gui/MainWindow.h"
#include "update/gui/AlarmPopUp.h"
#include "update/worker/AlarmSound.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {
// The tree's selection as the update queue asks for it.
void TreeSelection(int32_t& rssID, std::string& group) {
    rssID = 0;
    group.clear();
    MainWindow* w = MainWindow_Get();
    FeedTreeNode node;
    if (!w || !w->Tree().Selected(&node)) return;
    if (node.IsGroup)
        group = node.Name;
    else
        rssID = node.RssID;
}

// A merged feed: its marks in the tree; its articles when the list shows it.
void FeedDone(const DownloadEntry& entry, int parsed) {
    MainWindow* w = MainWindow_Get();
    if (!w || parsed <= 0) return;
    FeedTreeNode node;
    bool shown = false;
    if (w->Tree().Selected(&node)) {
        if (!node.IsGroup) {
            shown = node.RssID == entry.RssID;
        } else {
            for (const Rss& f : RssList)
                if (f.RssID == entry.RssID) shown = Utf8Lower(f.Group) == Utf8Lower(node.Name);
        }
    }
    if (shown) UI_List_Fill();
}
} // namespace

void MainWindow_LinkModules() {
    // The window's own commands first: a module's link may replace one of them.
    MainCommands_Register();

    // Feed discovery, OPML and the new-feed windows.
    Discovery_Link(
        {[]() -> wxWindow* { return MainWindow_Get(); }, [] { UI_Tree_Actualize(); },
         []() -> std::string {
             MainWindow* w = MainWindow_Get();
             FeedTreeNode node;
             if (!w || !w->Tree().Selected(&node)) return {};
             if (node.IsGroup) return node.Name;
             Rss* f = w->SelectedFeed();
             return f ? f->Group : std::string();
         },
         []() -> Rss* { return MainWindow_Get() ? MainWindow_Get()->SelectedFeed() : nullptr; }});

    // Update queue.
    FeedThread_Init();
    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.Selection = &TreeSelection;
    fh.Refresh = [] {
        if (MainWindow* w = MainWindow_Get()) w->RefreshMarks();
    };
    fh.FeedDone = &FeedDone;
    fh.Say = [](const std::string& text, int) { Main_Say(text); };

    MainHooks& h = Main_Hooks();
    h.UpdateTick.push_back([] { ExtractFeedByThread(); });
    // A worker that ends has the tick run at once on this thread; timer 1 stays as the
    // safety net.
    FeedThread_SetWake([] {
        if (wxTheApp)
            wxTheApp->CallAfter([] {
                if (!MainWindow_Get()) return;
                for (const auto& f : Main_Hooks().UpdateTick)
                    f();
            });
    });
    h.SecondTick.push_back([] { ProcessNotifications(); });
    h.SecondTick.push_back([] { FeedCountdown(); });
    h.UpdateQueueCount = [] { return static_cast<int>(DownloadQueue_Size()); };
    h.UpdatingFeedName = [] {
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        for (const DownloadEntry& head : DownloadQueue)
            return head.InProgress ? head.Name : std::string();
        return std::string();
    };

    Command_Register(CMD_ACTUALIZE_ALL, [](int) {
        ActualizeFeeds(1, 0);
        return true;
    });
    Command_Register(CMD_STOP_ACTUALIZE, [](int) {
        StopUpdates();
        UI_Status();
        return true;
    });
    Command_Register(CMD_FEED_ACTUALIZE, [](int) {
        ActualizeFeeds(0, 0);
        return true;
    });

    // Audio engine and quick menu.
    MainWindow* w = MainWindow_Get();
    AudioWindowLinks audio;
    audio.Window = w;
    audio.Bar = w ? w->Bar() : nullptr;
    audio.SelectedArticle = [](Rss** feed) {
        MainWindow* m = MainWindow_Get();
        return m ? m->SelectedArticle(feed) : nullptr;
    };
    audio.SelectedFeed = [] {
        MainWindow* m = MainWindow_Get();
        return m ? m->SelectedFeed() : nullptr;
    };
    audio.TreeFocused = [] {
        MainWindow* m = MainWindow_Get();
        return m && m->FocusedZone() == ZONE_TREE;
    };
    audio.Say = [](const std::string& text) { Main_Say(text); };
    audio.Status = [] { UI_Status(); };
    audio.StartBackNormal = [] { MainTimer_StartBackNormal(); };
    audio.Select = [](int rssID, int feedID) {
        MainWindow* m = MainWindow_Get();
        if (!m || !m->Tree().SelectFeed(rssID)) return;
        UI_List_Fill();
        const int row = feedID ? m->List().RowOf(feedID) : -1;
        if (row >= 0) m->List().SelectRow(row);
        m->ShowSelectedArticle();
        UI_Status();
    };
    Audio_Link(audio);
    Podcast_Link(audio);

    ArticleHost article;
    if (w) {
        article.Frame = w;
        article.Text = w->Text().Control();
    }
    article.SelectedArticle = [](Rss** feed) -> Item* {
        MainWindow* w = MainWindow_Get();
        return w ? w->SelectedArticle(feed) : nullptr;
    };
    article.IsGroupView = [] { return MainWindow_Get() && MainWindow_Get()->IsGroupView(); };
    article.FocusedZone = [] { return MainWindow_Get() ? MainWindow_Get()->FocusedZone() : 0; };
    article.FocusText = [] {
        if (MainWindow* w = MainWindow_Get()) w->FocusZone(ZONE_TEXT);
    };
    article.Status = [] { UI_Status(); };
    article.RefreshMarks = [] {
        if (MainWindow* w = MainWindow_Get()) w->RefreshMarks();
    };
    article.Say = [](const std::string& text) { Main_Say(text); };
    Article_Link(article);

    // Configuration files.
    Config_Link();

    // Alarms: the pop-up and the alarm sound.
    AlarmPopUp_Install();

    // Every hook slot and command left without a handler is logged.
    MainLinks_Check(w ? w->Bar() : nullptr);
}

void MainWindow_UnlinkModules() {
    Audio_Unlink();
    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.Selection = nullptr;
    fh.Refresh = nullptr;
    fh.FeedDone = nullptr;
    fh.Say = nullptr;
    Notifications_Shutdown();
    Alarm_Hooks().PopUp = nullptr;
    AlarmSound_Close();
}

void MainWindow_StartUpdates() {
    ActualizeFeeds(1, 1);
}

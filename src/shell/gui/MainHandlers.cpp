#include "shell/gui/MainHandlers.h"

#include <algorithm>
#include <functional>

#include <wx/clipbrd.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssGroups.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/core/MainView.h"
#include "shell/base/Prefs.h"
#include "shell/core/Startup.h"
#include "access/gui/ReqInput.h"
#include "shell/gui/Application.h"
#include "shell/gui/ArticleListView.h"
#include "shell/gui/FeedTreeView.h"
#include "shell/gui/LogWindow.h"
#include "shell/gui/MainMenus.h"
#include "shell/gui/MainWindow.h"
#include "shell/gui/MainWindowParts.h"
#include "shell/gui/PrefsDialog.h"

namespace {
wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}
void NotAvailable() {
    Main_Say(NotYetAvailable_Text());
}

void CopyToClipboard(const std::string& text) {
    if (wxTheClipboard->Open()) {
        wxTheClipboard->SetData(new wxTextDataObject(W(text)));
        wxTheClipboard->Close();
    }
}

void SaveCatalogue() {
    RssList_DirectSave(CATALOGUE_FILE);
}

// Gives undefined feeds (ContentRss 0) of `group` (all groups when empty) the kind.
void ForceUndefined(const std::string& group, int32_t kind) {
    int n = 0;
    for (Rss& f : RssList)
        if (f.ContentRss == 0 && (group.empty() || Utf8Lower(f.Group) == Utf8Lower(group))) {
            f.ContentRss = kind;
            ++n;
        }
    if (n > 0) {
        SaveCatalogue();
        UI_Tree_Actualize();
    }
}

void DebugDump(bool article) {
    std::string out;
    if (Rss* f = MainWindow_Get() ? MainWindow_Get()->SelectedFeed() : nullptr) {
        out += "[Rss]\r\nName = " + f->Name + "\r\nUrl = " + f->Url + "\r\nGroup = " + f->Group +
               "\r\nRssID = " + std::to_string(f->RssID) + "\r\nExtractAs = " + f->ExtractAs +
               "\r\nContentRss = " + std::to_string(f->ContentRss) +
               "\r\nFlags = " + std::to_string(f->Flags) +
               "\r\nItemsFileName = " + f->ItemsFileName +
               "\r\nItems = " + std::to_string(f->Items.Size()) + "\r\n";
    }
    if (article && MainWindow_Get()) {
        if (Item* it = MainWindow_Get()->SelectedArticle()) {
            out += "[Item]\r\nTitle = " + it->Title + "\r\nLink = " + it->Link +
                   "\r\nGUID = " + it->GUID + "\r\nID = " + it->ID +
                   "\r\nFeedID = " + std::to_string(it->FeedID) +
                   "\r\nReaded = " + std::to_string(it->Readed) +
                   "\r\nAudioLink = " + it->AudioLink +
                   "\r\nDescription = " + EscapeText(it->Description) + "\r\n";
        }
    }
    if (out.empty()) {
        Main_Say(Lng(L_Status_NoRssSelected));
        return;
    }
    File_WriteAtomic("DebogFile.Txt", out);
}
} // namespace

static void ToggleDisplay(int id) {
    MainWindow* w = MainWindow_Get();
    std::string say;
    std::string label = Lng(L_Menu_FormatText);
    Pref.Display = Display_Toggle(Pref.Display, id, &say, label);
    PrefChanged = true;
    MainMenus_Update(w->Bar(), Pref.Display);
    if (id == CMD_DISPLAY_CONTENT) UI_Tree_Actualize();
    UI_List_Fill();
    w->ShowSelectedArticle();
    if (!say.empty()) Main_Say(say);
}

static void MarkRead(Item* item, Rss* feed, int read) {
    if (!item) return;
    SetItemRead(*item, read, 1);
    if (feed) feed->ItemsChanged = 1;
    AppState_Set(APPSTATE_ITEMS_TO_SAVE);
}

static void Find(int direction, bool ask) {
    MainWindow* w = MainWindow_Get();
    if (ask || w->FindText().empty()) {
        const std::string text =
            ReqInput(Lng(L_Request_Find), Lng(L_Request_FindAsk), w->FindText(), 0, w);
        if (text.empty()) return;
        w->FindText() = text;
    }
    const long row = Items_Find(ListRows(), w->List().SelectedRow(), direction, w->FindText());
    if (row < 0) {
        Main_Say(Lng(L_Say_NotFound));
        return;
    }
    w->List().SelectRow(static_cast<int>(row));
    w->ShowSelectedArticle();
    w->FocusZone(ZONE_LIST);
}

static void DeleteArticles(bool all) {
    MainWindow* w = MainWindow_Get();
    std::vector<ItemRow> rows;
    if (all) {
        rows = ListRows();
    } else {
        ItemRow r;
        r.Article = w->SelectedArticle(&r.Feed);
        if (r.Article) rows.push_back(r);
    }
    if (rows.empty()) {
        Main_Say(Lng(L_Status_NoFeedSelected));
        return;
    }
    const int row = w->List().SelectedRow();
    if (Items_DeleteSelected(rows) > 0) {
        AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        UI_List_Fill();
        w->List().SelectRow(std::min(row, w->List().RowCount() - 1));
        w->ShowSelectedArticle();
        w->RefreshMarks();
        Main_Say(Lng(L_Say_Feed_Deleted));
    }
}

// Commands of the tree's pop-up menus on the selected feed. False when no feed is selected.
static bool WithSelectedFeed(const std::function<void(Rss&)>& fn) {
    Rss* feed = MainWindow_Get()->SelectedFeed();
    if (!feed) {
        Main_Say(Lng(L_Status_NoRssSelected));
        return false;
    }
    MakeCurrent(feed);
    fn(*feed);
    return true;
}

static std::string SelectedGroup() {
    FeedTreeNode node;
    if (MainWindow_Get()->Tree().Selected(&node)) {
        if (node.IsGroup) return node.Name;
        if (Rss* f = FeedByID(node.RssID)) return f->Group;
    }
    return {};
}

// Focus moves that reach the article text mark the shown article read.
static void FocusTo(int zone) {
    MainWindow* w = MainWindow_Get();
    w->FocusZone(zone);
    if (zone != ZONE_TEXT) return;
    if (Item* item = w->SelectedArticle()) {
        SetReaded(item->FeedID, 0);
        w->RefreshMarks();
    }
}

static void DeleteInFocusedZone() {
    MainWindow* w = MainWindow_Get();
    if (w->FocusedZone() != ZONE_TREE) {
        DeleteArticles(false);
        return;
    }
    Rss* feed = w->SelectedFeed();
    if (!feed) {
        Main_Say(Lng(L_Status_NoRssSelected));
        return;
    }
    MakeCurrent(feed);
    if (Feed_Delete()) {
        UI_Tree_Actualize();
        Main_Say(Lng(L_Say_Rss_Deleted));
    }
}

static void OpenInBrowser() {
    MainWindow* w = MainWindow_Get();
    if (w->FocusedZone() == ZONE_TREE) {
        if (w->Tree().ToggleSelectedGroup()) return;
        WithSelectedFeed([](Rss& f) {
            if (!f.Url.empty()) wxLaunchDefaultBrowser(W(f.Url));
        });
        return;
    }
    if (Item* item = MainWindow_Get()->SelectedArticle()) {
        if (!item->Link.empty()) wxLaunchDefaultBrowser(W(item->Link));
    } else {
        Main_Say(Lng(L_Status_NoFeedSelected));
    }
}

static void NextUndefined() {
    MainWindow* w = MainWindow_Get();
    const int from = w->Tree().SelectedRow();
    // Rows in tree order: the first undefined feed after the selected row.
    std::vector<int32_t> order;
    for (const FeedTreeGroup& g : TreeShape()) {
        order.push_back(0);
        for (const FeedTreeGroup::Feed& f : g.Feeds)
            order.push_back(f.RssID);
    }
    for (size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(i) <= from) continue;
        Rss* f = order[i] ? FeedByID(order[i]) : nullptr;
        if (f && f->ContentRss == 0 && w->Tree().SelectFeed(f->RssID)) {
            OnGadget(ZONE_TREE, GADGET_CHANGE);
            return;
        }
    }
    Main_Say(Lng(L_Say_NotFound));
}

static void ToggleSelectedRead() {
    MainWindow* w = MainWindow_Get();
    Rss* feed = nullptr;
    Item* item = w->SelectedArticle(&feed);
    if (!item) {
        Main_Say(Lng(L_Status_NoFeedSelected));
        return;
    }
    const bool unread = Item_IsUnread(*item);
    MarkRead(item, feed, unread ? 1 : 0);
    w->RefreshMarks();
    Main_Say(unread ? Lng(L_Mark_Readed) : Lng(L_Mark_UnReaded));
}

static void MarkAll(int read) {
    for (const ItemRow& r : ListRows())
        MarkRead(r.Article, r.Feed, read);
    MainWindow_Get()->RefreshMarks();
}

static void CopySelectedLink(bool podcast) {
    if (Item* item = MainWindow_Get()->SelectedArticle())
        CopyToClipboard(podcast ? item->AudioLink : item->Link);
    else
        Main_Say(Lng(L_Status_NoFeedSelected));
}

static void OpenPreferences() {
    MainWindow* w = MainWindow_Get();
    if (!Pref_Open(w)) return;
    Pref_SaveOrWarn(w, 0);
    w->InstallAccelerators();
    MainMenus_Update(w->Bar(), Pref.Display);
    w->LayoutZones();
    UI_Tree_Actualize();
    UI_List_Fill();
    for (const auto& f : Main_Hooks().PrefsChanged)
        f();
}

static void AskTreeWidth() {
    MainWindow* w = MainWindow_Get();
    const std::string answer = ReqInput(Lng(L_Menu_Display), Lng(L_Msg_SetArboWidth),
                                        std::to_string(Pref.ArboWidth), REQINPUT_DIGITS | 2, w);
    if (const int32_t v = TreeWidth_Parse(answer)) {
        Pref.ArboWidth = v;
        PrefChanged = true;
        MainMenus_Update(w->Bar(), Pref.Display);
        w->LayoutZones();
    }
}

void Help_Open(int command) {
    MainWindow* w = MainWindow_Get();
    const int zone = w ? w->FocusedZone() : ZONE_TREE;
    const std::string file = Help_Path(AppPath, Pref.AppLang, Help_Page(command, zone));
    if (file.empty()) {
        Log("! OpenHelp, no file : " + AppPath + Help_File(command));
        NotAvailable();
        return;
    }
    Log("- OpenHelp : " + file);
    // A system without a browser is logged here rather than shown in a toolkit box.
    wxLogNull quiet;
    if (!wxLaunchDefaultBrowser(W("file://" + file))) Log("! OpenHelp, no browser for : " + file);
}

// Registers `fn` for `id`; the handler always reports the command as handled.
static void On(int id, std::function<void()> fn) {
    Command_Register(id, [fn = std::move(fn)](int) {
        if (!MainWindow_Get()) return false;
        fn();
        return true;
    });
}

void MainCommands_Register() {
    // Fichier, tray and leaving.
    On(CMD_QUIT, [] { MainWindow_Get()->RequestQuit(); });
    On(CMD_TRAY_QUIT, [] { MainWindow_Get()->RequestQuit(); });
    On(CMD_PREFS, &OpenPreferences);
    On(CMD_RESTORE, [] { RestoreMainWindow(); });
    On(CMD_HIDE_TO_TRAY, [] { HideToTray(); });
    On(CMD_ESCAPE, [] {
        if (PrefFlags & PREF_ESCAPTOSYSTRAY) HideToTray();
    });
    On(CMD_ALTF4, [] {
        if (PrefFlags & PREF_ALTF4TOSYSTRAY) HideToTray();
    });
    // Article menu.
    On(CMD_FIND, [] { Find(+1, true); });
    On(CMD_FIND_NEXT, [] { Find(+1, false); });
    On(CMD_FIND_PREVIOUS, [] { Find(-1, false); });
    On(CMD_NEXT_UNREAD, [] { NextUnread(+1); });
    On(CMD_PREV_UNREAD, [] { NextUnread(-1); });
    On(CMD_DELETE, &DeleteInFocusedZone);
    // Affichage: each toggle its own entry.
    for (int id : {CMD_DISPLAY_READ, CMD_DISPLAY_UNREAD, CMD_DISPLAY_CONTENT, CMD_DISPLAY_VIEWS,
                   CMD_SORT_DATE, CMD_SORT_TITLE, CMD_SORT_DATE_GROUPS, CMD_GROUP_UNREAD,
                   CMD_ONLY_UNREAD, CMD_DISPLAY_HTML, CMD_READABILITY})
        On(id, [id] { ToggleDisplay(id); });
    On(CMD_TREE_WIDTH, &AskTreeWidth);
    On(CMD_FOCUS_TOGGLE, [] {
        MainWindow* w = MainWindow_Get();
        w->FocusZone(w->FocusedZone() == ZONE_TREE ? ZONE_LIST : ZONE_TREE);
    });
    On(CMD_FOCUS_TREE, [] { FocusTo(ZONE_TREE); });
    On(CMD_FOCUS_LIST, [] { FocusTo(ZONE_LIST); });
    On(CMD_FOCUS_VIEW, [] { FocusTo(ZONE_TEXT); });
    On(CMD_NEXT_ZONE, [] { FocusTo(Zone_Next(MainWindow_Get()->FocusedZone(), +1)); });
    On(CMD_PREVIOUS_ZONE, [] { FocusTo(Zone_Next(MainWindow_Get()->FocusedZone(), -1)); });
    // Aide.
    On(CMD_ABOUT, [] { ShowAbout(); });
    On(CMD_STATISTICS, [] { ShowStatistics(); });
    On(CMD_HELP, [] { Help_Open(CMD_HELP); });
    On(CMD_HELP_HTML, [] { Help_Open(CMD_HELP_HTML); });
    On(CMD_HELP_CONTEXT, [] { Help_Open(CMD_HELP_CONTEXT); });
    On(CMD_SHOW_LOG, [] { ShowLog(0); });
    On(CMD_CLOSE_LOG, [] { LogWindow_Close(); });
    On(CMD_DEBUG_FEED, [] { DebugDump(false); });
    On(CMD_DEBUG_ARTICLE, [] { DebugDump(true); });
    // PodCast.
    On(CMD_EXPLORE_PODCASTS, [] {
        if (Pref.PodcastPath.empty()) return;
        Dir_Create(Pref.PodcastPath);
        wxLaunchDefaultApplication(W(Pref.PodcastPath));
    });
    // Zones.
    On(CMD_OPEN_BROWSER, &OpenInBrowser);
    On(CMD_CONTEXT_MENU, [] { ShowContextMenu(); });
    // Group pop-up menu.
    On(CMD_GROUP_RENAME, [] {
        const std::string group = SelectedGroup();
        if (!group.empty() && Group_Rename(group) > 0) UI_Tree_Actualize();
    });
    On(CMD_GROUP_DELETE, [] {
        const std::string group = SelectedGroup();
        if (!group.empty() && Group_DeleteAll(group) > 0) UI_Tree_Actualize();
    });
    On(CMD_GROUP_MOVE_BY_URL, [] {
        if (Group_MoveByUrl() <= 0) return;
        SaveCatalogue();
        UI_Tree_Actualize();
    });
    On(CMD_GROUP_DISABLE, [] {
        const std::string group = SelectedGroup();
        if (!group.empty() && Feed_ToggleDisable(group) > 0) UI_Tree_Actualize();
    });
    On(CMD_GROUP_ENABLE, [] {
        const std::string group = SelectedGroup();
        if (!group.empty() && Feed_ToggleDisable(group) > 0) UI_Tree_Actualize();
    });
    On(CMD_GROUP_FORCE_CATCHTV, [] { ForceUndefined(SelectedGroup(), CONTENT_CATCHTV); });
    On(CMD_GROUP_FORCE_PODCAST, [] { ForceUndefined(SelectedGroup(), CONTENT_PODCAST); });
    On(CMD_ALL_FORCE_TEXT, [] { ForceUndefined({}, CONTENT_TEXT); });
    On(CMD_NEXT_UNDEFINED, &NextUndefined);
    // Feed pop-up menu.
    On(CMD_FEED_TOGGLE_DISABLE, [] {
        WithSelectedFeed([](Rss&) {
            if (Feed_ToggleDisable() > 0) UI_Tree_Actualize();
        });
    });
    On(CMD_FEED_TOGGLE_ALARM, [] {
        WithSelectedFeed([](Rss& f) {
            f.Flags ^= RSSFLAG_ALARM;
            SaveCatalogue();
            UI_Tree_Actualize();
        });
    });
    On(CMD_FEED_DELETE, [] {
        WithSelectedFeed([](Rss&) {
            if (!Feed_Delete()) return;
            UI_Tree_Actualize();
            Main_Say(Lng(L_Say_Rss_Deleted));
        });
    });
    On(CMD_FEED_COPY_LINK, [] { WithSelectedFeed([](Rss& f) { CopyToClipboard(f.Url); }); });
    // Article pop-up menu.
    On(CMD_ARTICLE_TOGGLE_READ, &ToggleSelectedRead);
    On(CMD_ARTICLE_ALL_READ, [] { MarkAll(1); });
    On(CMD_ARTICLE_ALL_UNREAD, [] { MarkAll(0); });
    On(CMD_ARTICLE_DELETE, [] { DeleteArticles(false); });
    On(CMD_ARTICLE_DELETE_ALL, [] { DeleteArticles(true); });
    On(CMD_ARTICLE_LINK_CLIPBOARD, [] { CopySelectedLink(false); });
    On(CMD_PODCAST_LINK_CLIPBOARD, [] { CopySelectedLink(true); });
    // Tray entries: the same numbers as the global hot keys.
    for (int id : {CMD_HOTKEY_QUICKMENU, CMD_HOTKEY_PAUSE, CMD_HOTKEY_MUTE, CMD_HOTKEY_VOLUMEUP,
                   CMD_HOTKEY_VOLUMEDOWN})
        On(id, [id] { OnHotKey(id); });
}

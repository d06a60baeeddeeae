// The main window's dispatch: OnGadget, OnCommand and its helpers, OnTimer, OnHotKey.
#include "shell/gui/MainWindow.h"

#include <chrono>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "access/core/ScreenReaderSay.h"
#include "access/core/Shortcuts.h"
#include "access/gui/GlobalShortcut.h"
#include "access/gui/KeyTable.h"
#include "access/gui/ReqInput.h"
#include "access/gui/RequestMessage.h"
#ifndef __WXMSW__
#include "access/gui/X11HotKeys.h"
#endif
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
#include "shell/gui/AboutWindow.h"
#include "shell/gui/ArticleListView.h"
#include "shell/gui/Application.h"
#include "shell/gui/ArticleTextView.h"
#include "shell/gui/FeedTreeView.h"
#include "shell/gui/LogWindow.h"
#include "shell/gui/MainLinks.h"
#include "shell/gui/MainMenus.h"
#include "shell/gui/PrefsDialog.h"
#include "shell/gui/StatusView.h"
#include "shell/gui/TrayIcon.h"
#include "shell/gui/ZoneAccess.h"

#include "shell/gui/MainWindowParts.h"

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

// ---------------------------------------------------------------------------- dispatch

void OnGadget(int gadget, int type) {
    MainWindow* w = MainWindow_Get();
    if (!w) return;
    if (type == GADGET_RIGHTCLICK) {
        ShowContextMenu();
        return;
    }
    if (gadget == ZONE_TREE) {
        if (type == GADGET_ACTIVATE) {
            w->Tree().ToggleSelectedGroup();
            return;
        }
        UI_List_Fill();
        w->ShowSelectedArticle();
        UI_Status();
    } else if (gadget == ZONE_LIST) {
        if (type == GADGET_ACTIVATE) {
            OnCommand(CMD_OPEN_BROWSER);
            return;
        }
        w->ShowSelectedArticle();
        UI_Status();
    }
}

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

void OnCommand(int id) {
    MainWindow* w = MainWindow_Get();
    if (!w) return;
    if (auto handler = Command_Find(id))
        if (handler(id)) return;
    if (Display_BitOf(id)) {
        ToggleDisplay(id);
        return;
    }
    switch (id) {
    case CMD_QUIT:
    case CMD_TRAY_QUIT:
        w->RequestQuit();
        return;
    case CMD_PREFS:
        if (Pref_Open(w)) {
            Pref_SaveOrWarn(w, 0);
            w->InstallAccelerators();
            MainMenus_Update(w->Bar(), Pref.Display);
            w->LayoutZones();
            UI_Tree_Actualize();
            UI_List_Fill();
            for (const auto& f : Main_Hooks().PrefsChanged)
                f();
        }
        return;
    case CMD_NEXT_UNREAD:
        NextUnread(+1);
        return;
    case CMD_PREV_UNREAD:
        NextUnread(-1);
        return;
    case CMD_FIND:
        Find(+1, true);
        return;
    case CMD_FIND_NEXT:
        Find(+1, false);
        return;
    case CMD_FIND_PREVIOUS:
        Find(-1, false);
        return;
    case CMD_DELETE:
        if (w->FocusedZone() == ZONE_TREE) {
            if (Rss* feed = w->SelectedFeed()) {
                MakeCurrent(feed);
                if (Feed_Delete()) {
                    UI_Tree_Actualize();
                    Main_Say(Lng(L_Say_Rss_Deleted));
                }
            } else {
                Main_Say(Lng(L_Status_NoRssSelected));
            }
        } else {
            DeleteArticles(false);
        }
        return;
    case CMD_TREE_WIDTH: {
        const std::string answer = ReqInput(Lng(L_Menu_Display), Lng(L_Msg_SetArboWidth),
                                            std::to_string(Pref.ArboWidth), REQINPUT_DIGITS | 2, w);
        if (const int32_t v = TreeWidth_Parse(answer)) {
            Pref.ArboWidth = v;
            PrefChanged = true;
            MainMenus_Update(w->Bar(), Pref.Display);
            w->LayoutZones();
        }
        return;
    }
    case CMD_FOCUS_TOGGLE:
        w->FocusZone(w->FocusedZone() == ZONE_TREE ? ZONE_LIST : ZONE_TREE);
        return;
    case CMD_FOCUS_TREE:
        w->FocusZone(ZONE_TREE);
        return;
    case CMD_FOCUS_LIST:
        w->FocusZone(ZONE_LIST);
        return;
    case CMD_FOCUS_VIEW:
    case CMD_NEXT_ZONE:
    case CMD_PREVIOUS_ZONE: {
        const int zone = id == CMD_FOCUS_VIEW
                             ? ZONE_TEXT
                             : Zone_Next(w->FocusedZone(), id == CMD_NEXT_ZONE ? +1 : -1);
        w->FocusZone(zone);
        if (zone == ZONE_TEXT) {
            if (Item* item = w->SelectedArticle()) {
                SetReaded(item->FeedID, 0);
                w->RefreshMarks();
            }
        }
        return;
    }
    case CMD_ABOUT:
        ShowAbout();
        return;
    case CMD_STATISTICS:
        ShowStatistics();
        return;
    case CMD_EXPLORE_PODCASTS:
        if (!Pref.PodcastPath.empty()) {
            Dir_Create(Pref.PodcastPath);
            wxLaunchDefaultApplication(W(Pref.PodcastPath));
        }
        return;
    case CMD_DEBUG_FEED:
        DebugDump(false);
        return;
    case CMD_DEBUG_ARTICLE:
        DebugDump(true);
        return;
    case CMD_ESCAPE:
        if (PrefFlags & PREF_ESCAPTOSYSTRAY) HideToTray();
        return;
    case CMD_ALTF4:
        if (PrefFlags & PREF_ALTF4TOSYSTRAY) HideToTray();
        return;
    case CMD_OPEN_BROWSER: {
        const int zone = w->FocusedZone();
        if (zone == ZONE_TREE) {
            if (w->Tree().ToggleSelectedGroup()) return;
            WithSelectedFeed([](Rss& f) {
                if (!f.Url.empty()) wxLaunchDefaultBrowser(W(f.Url));
            });
            return;
        }
        if (Item* item = w->SelectedArticle()) {
            if (!item->Link.empty()) wxLaunchDefaultBrowser(W(item->Link));
        } else {
            Main_Say(Lng(L_Status_NoFeedSelected));
        }
        return;
    }
    case CMD_SHOW_LOG:
        ShowLog(0);
        return;
    case CMD_CLOSE_LOG:
        LogWindow_Close();
        return;
    case CMD_CONTEXT_MENU:
        ShowContextMenu();
        return;
    case CMD_GROUP_RENAME: {
        const std::string group = SelectedGroup();
        if (!group.empty() && Group_Rename(group) > 0) UI_Tree_Actualize();
        return;
    }
    case CMD_GROUP_DELETE: {
        const std::string group = SelectedGroup();
        if (!group.empty() && Group_DeleteAll(group) > 0) UI_Tree_Actualize();
        return;
    }
    case CMD_GROUP_MOVE_BY_URL:
        if (Group_MoveByUrl() > 0) {
            SaveCatalogue();
            UI_Tree_Actualize();
        }
        return;
    case CMD_GROUP_DISABLE:
    case CMD_GROUP_ENABLE: {
        const std::string group = SelectedGroup();
        if (!group.empty() && Feed_ToggleDisable(group) > 0) UI_Tree_Actualize();
        return;
    }
    case CMD_GROUP_FORCE_CATCHTV:
        ForceUndefined(SelectedGroup(), CONTENT_CATCHTV);
        return;
    case CMD_GROUP_FORCE_PODCAST:
        ForceUndefined(SelectedGroup(), CONTENT_PODCAST);
        return;
    case CMD_ALL_FORCE_TEXT:
        ForceUndefined({}, CONTENT_TEXT);
        return;
    case CMD_NEXT_UNDEFINED: {
        const int from = w->Tree().SelectedRow();
        int32_t next = 0;
        bool passed = false;
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
            if (f && f->ContentRss == 0) {
                next = f->RssID;
                passed = true;
                break;
            }
        }
        if (passed && w->Tree().SelectFeed(next)) {
            OnGadget(ZONE_TREE, GADGET_CHANGE);
        } else {
            Main_Say(Lng(L_Say_NotFound));
        }
        return;
    }
    case CMD_FEED_TOGGLE_DISABLE:
        WithSelectedFeed([](Rss&) {
            if (Feed_ToggleDisable() > 0) UI_Tree_Actualize();
        });
        return;
    case CMD_FEED_TOGGLE_ALARM:
        WithSelectedFeed([](Rss& f) {
            f.Flags ^= RSSFLAG_ALARM;
            SaveCatalogue();
            UI_Tree_Actualize();
        });
        return;
    case CMD_FEED_DELETE:
        WithSelectedFeed([](Rss&) {
            if (Feed_Delete()) {
                UI_Tree_Actualize();
                Main_Say(Lng(L_Say_Rss_Deleted));
            }
        });
        return;
    case CMD_FEED_COPY_LINK:
        WithSelectedFeed([](Rss& f) { CopyToClipboard(f.Url); });
        return;
    case CMD_ARTICLE_TOGGLE_READ: {
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
        return;
    }
    case CMD_ARTICLE_ALL_READ:
    case CMD_ARTICLE_ALL_UNREAD: {
        for (const ItemRow& r : ListRows())
            MarkRead(r.Article, r.Feed, id == CMD_ARTICLE_ALL_READ ? 1 : 0);
        w->RefreshMarks();
        return;
    }
    case CMD_ARTICLE_DELETE:
        DeleteArticles(false);
        return;
    case CMD_ARTICLE_DELETE_ALL:
        DeleteArticles(true);
        return;
    case CMD_ARTICLE_LINK_CLIPBOARD:
    case CMD_PODCAST_LINK_CLIPBOARD:
        if (Item* item = w->SelectedArticle())
            CopyToClipboard(id == CMD_ARTICLE_LINK_CLIPBOARD ? item->Link : item->AudioLink);
        else
            Main_Say(Lng(L_Status_NoFeedSelected));
        return;
    case CMD_RESTORE:
        RestoreMainWindow();
        return;
    case CMD_HIDE_TO_TRAY:
        HideToTray();
        return;
    case CMD_HELP:
    case CMD_HELP_HTML:
    case CMD_HELP_CONTEXT: {
        // The help file of the program folder, at the topic of the focused zone when the
        // file holds topics (a folder of pages beside it on this system).
        const std::string file = AppPath + Help_File(id);
        const std::string topic = AppPath + "Help/" + Help_Topic(w->FocusedZone());
        if (id == CMD_HELP_CONTEXT && File_Exists(topic))
            wxLaunchDefaultBrowser(W("file://" + topic));
        else if (File_Exists(file))
            wxLaunchDefaultApplication(W(file));
        else {
            Log("! OpenHelp, no file : " + file);
            NotAvailable();
        }
        return;
    }
    case CMD_ARTICLE_READ_OR_PLAY:
        // Space on a radio of the tree listens to it.
        if (w->FocusedZone() == ZONE_TREE) {
            if (Rss* feed = w->SelectedFeed(); feed && IsRadio(*feed)) {
                OnCommand(CMD_RADIO_PLAY);
                return;
            }
        }
        NotAvailable();
        return;
    case CMD_HOTKEY_QUICKMENU:
    case CMD_HOTKEY_PAUSE:
    case CMD_HOTKEY_MUTE:
    case CMD_HOTKEY_VOLUMEUP:
    case CMD_HOTKEY_VOLUMEDOWN:
        OnHotKey(id);
        return;
    default:
        NotAvailable();
        return;
    }
}

void OnTimer(int timer) {
    MainWindow* w = MainWindow_Get();
    if (!w) return;
    const MainHooks& hooks = Main_Hooks();
    switch (timer) {
    case 1:
        for (const auto& f : hooks.UpdateTick)
            f();
        break;
    case 2:
        for (const auto& f : hooks.PodcastTick)
            f();
        break;
    case 3:
        for (const auto& f : hooks.SecondTick)
            f();
        AutoSaveFeeds(0);
        UI_Status();
        break;
    case 4:
        Pref_SaveOrWarn(w, 0);
        break;
    case 5:
        for (const auto& f : hooks.BackNormal)
            f();
        break;
    case 6:
        for (const auto& f : hooks.SyncTick)
            f();
        break;
    default:
        break;
    }
}

void OnHotKey(int id) {
    const int32_t command = HotKey_Command(id);
    if (command) OnCommand(command);
}

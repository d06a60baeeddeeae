#include "shell/gui/MainWindow.h"

#include <chrono>
#include <memory>
#include <unordered_map>

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
#include "article/gui/ArticleView.h"
#include "audio/core/PodcastQueue.h"
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
#include "update/worker/FeedThread.h"
#include "shell/gui/MainWindowParts.h"
#include "shell/gui/MainMenus.h"
#include "shell/gui/PrefsDialog.h"
#include "shell/gui/StatusView.h"
#include "shell/gui/TrayIcon.h"
#include "shell/gui/ZoneAccess.h"

namespace {
MainWindow* s_main = nullptr;

wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

// The catalogue's questions and announcements go through the program's own boxes.
class WindowCatalogueUi : public CatalogueUi {
  public:
    int AskYesNo(const std::string& title, const std::string& text) override {
        return RequestMessage(title, text, REQUEST_YESNO, s_main) == REQUEST_RESULT_YES;
    }
    std::string AskText(const std::string& title, const std::string& prompt,
                        const std::string& initial) override {
        return ReqInput(title, prompt, initial, 0, s_main);
    }
    void Say(const std::string& text) override { Main_Say(text); }
    // A deleted feed is neither downloaded nor announced any more.
    void RemoveFromUpdateQueue(const Rss& feed) override { DownloadRSS_Remove(feed.RssID); }
    void CatalogueChanged() override { UI_Tree_Actualize(); }
};
WindowCatalogueUi s_catalogueUi;
} // namespace

Rss* FeedByID(int32_t rssID) {
    for (Rss& f : RssList)
        if (f.RssID == rssID) return &f;
    return nullptr;
}

// Makes `feed` the catalogue's current record (the group operations act on it).
void MakeCurrent(Rss* feed) {
    if (feed) RssList.SetCurrent(feed);
}

bool IsRadio(const Rss& feed) {
    return EqualsNoCase(feed.ExtractAs, "NetRadio");
}

// The row texts of an article as the list shows it.
ArticleListRow RowOf(const Item& shown, bool groupView) {
    const ListRowText t =
        ListRow_Text(shown, groupView, Pref.Display, Pref.DurationTimeFormat, Pref.FormatDate);
    ArticleListRow r;
    r.FeedID = shown.FeedID;
    // A queued, downloading or playing article says so before its title.
    const std::string status = Podcast_ArticleStatus(shown.FeedID);
    r.Name = status.empty() ? t.Name : status + " " + t.Name;
    r.Duration = t.Duration;
    r.Date = t.Date;
    r.Fourth = t.Fourth;
    return r;
}

std::vector<FeedTreeGroup> TreeShape() {
    // One pass over the catalogue: each feed joins its group (groups in catalogue order)
    // and adds its unread count to the group's.
    std::vector<FeedTreeGroup> groups;
    std::vector<int> unread;
    std::unordered_map<std::string, size_t> position;
    for (const Rss& f : RssList) {
        const std::string lower = Utf8Lower(f.Group);
        auto at = position.find(lower);
        if (at == position.end()) {
            at = position.emplace(lower, groups.size()).first;
            groups.push_back({});
            groups.back().Name = f.Group;
            unread.push_back(0);
        }
        groups[at->second].Feeds.push_back({f.RssID, f.Name, TreeLabel_Feed(f, Pref.Display)});
        unread[at->second] += Feed_UnreadCount(f);
    }
    for (size_t i = 0; i < groups.size(); ++i)
        groups[i].Label = TreeLabel_Group(groups[i].Name, unread[i]);
    return groups;
}

// One entry per row of the list (Article nullptr for an article that is gone). The
// articles are looked up through one index of the catalogue, not one search per row.
std::vector<ItemRow> ListRowsAll() {
    std::vector<ItemRow> rows;
    if (!s_main) return rows;
    std::unordered_map<int32_t, ItemRow> index;
    for (Rss& feed : RssList)
        for (Item& it : feed.Items)
            index[it.FeedID] = ItemRow{&feed, &it};
    rows.resize(static_cast<size_t>(s_main->List().RowCount()));
    for (size_t i = 0; i < rows.size(); ++i) {
        auto found = index.find(s_main->List().FeedIDAt(static_cast<int>(i)));
        if (found != index.end()) rows[i] = found->second;
    }
    return rows;
}

std::vector<ItemRow> ListRows() {
    std::vector<ItemRow> rows;
    for (const ItemRow& r : ListRowsAll())
        if (r.Article) rows.push_back(r);
    return rows;
}

static void RowChanged(Rss&, Item& item) {
    if (!s_main) return;
    const int row = s_main->List().RowOf(item.FeedID);
    if (row >= 0) {
        Rss* feed = nullptr;
        if (Item* it = Item_FindByFeedID(item.FeedID, &feed)) {
            Item shown = *it;
            if (s_main->IsGroupView() && feed) shown.Author = feed->Name;
            s_main->List().SetRow(row, RowOf(shown, s_main->IsGroupView()));
        }
    }
}

static std::string s_lastSaid;

void Main_Say(const std::string& text) {
    s_lastSaid = text;
    ScreenReader_Say(text, 1);
}

const std::string& Main_LastSaid() {
    return s_lastSaid;
}

MainWindow* MainWindow_Get() {
    return s_main;
}

// ---------------------------------------------------------------------------- window

MainWindow::MainWindow()
    : wxFrame(nullptr, wxID_ANY, W(AppName), wxPoint(Pref.MainWindowX, Pref.MainWindowY),
              wxSize(Pref.MainWindowW > 0 ? Pref.MainWindowW : 600,
                     Pref.MainWindowH > 0 ? Pref.MainWindowH : 400)) {
    s_main = this;
    m_panel = new wxPanel(this, wxID_ANY);
    m_tree = new FeedTreeView(m_panel);
    m_list = new ArticleListView(m_panel);
    m_text = new ArticleTextView(m_panel);
    m_status = new StatusView(m_panel);

    Zone_SetAccessibleName(m_tree->Control(), Lng(L_Menu_FocusToTree));
    Zone_SetAccessibleName(m_list->Control(), Lng(L_Menu_FocusToList));
    Zone_SetAccessibleName(m_text->Control(), Lng(L_Menu_FocusToView));
    Zone_DisableTypeAhead(m_tree->Control());
    Zone_DisableTypeAhead(m_list->Control());

    auto* outer = new wxBoxSizer(wxVERTICAL);
    m_zones = new wxBoxSizer(wxHORIZONTAL);
    auto* right = new wxBoxSizer(wxVERTICAL);
    right->Add(m_list->Control(), 1, wxEXPAND);
    right->Add(m_text->Control(), 1, wxEXPAND | wxTOP, 2);
    m_zones->Add(m_tree->Control(), 30, wxEXPAND);
    m_zones->Add(right, 70, wxEXPAND | wxLEFT, 2);
    outer->Add(m_zones, 1, wxEXPAND);
    outer->Add(m_status->Control(), 0, wxEXPAND | wxALL, 2);
    m_panel->SetSizer(outer);
    LayoutZones();

    m_bar = MainMenus_CreateBar(DBBaseMode != 0, ConvertMode != 0);
    SetMenuBar(m_bar);

    // Gadget events.
    m_tree->Control()->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED,
                            [](wxDataViewEvent&) { OnGadget(ZONE_TREE, GADGET_CHANGE); });
    m_tree->Control()->Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, [this](wxDataViewEvent&) {
        NoteFocus(ZONE_TREE);
        OnGadget(ZONE_TREE, GADGET_RIGHTCLICK);
    });
    m_tree->Control()->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED,
                            [](wxDataViewEvent&) { OnGadget(ZONE_TREE, GADGET_ACTIVATE); });
    m_list->Control()->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED,
                            [](wxDataViewEvent&) { OnGadget(ZONE_LIST, GADGET_CHANGE); });
    m_list->Control()->Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU, [this](wxDataViewEvent&) {
        NoteFocus(ZONE_LIST);
        OnGadget(ZONE_LIST, GADGET_RIGHTCLICK);
    });
    m_list->Control()->Bind(wxEVT_DATAVIEW_ITEM_ACTIVATED,
                            [](wxDataViewEvent&) { OnGadget(ZONE_LIST, GADGET_ACTIVATE); });
    m_text->Control()->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) {
        NoteFocus(ZONE_TEXT);
        OnGadget(ZONE_TEXT, GADGET_RIGHTCLICK);
    });
#ifdef __WXGTK__
    // The focus is followed on the native widgets themselves: the data views take it on
    // their inner tree view, which wx does not always report.
    struct FocusLink {
        wxWindow* control;
        int zone;
    };
    for (FocusLink l :
         {FocusLink{m_tree->Control(), ZONE_TREE}, FocusLink{m_list->Control(), ZONE_LIST},
          FocusLink{m_text->Control(), ZONE_TEXT}}) {
        if (auto* w = static_cast<GtkWidget*>(Zone_FocusWidget(l.control)))
            g_signal_connect(w, "focus-in-event",
                             G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer zone) -> gboolean {
                                 if (s_main) {
                                     s_main->CallAfter([] { UI_Status(); });
                                     s_main->m_lastZone =
                                         static_cast<int>(reinterpret_cast<intptr_t>(zone));
                                 }
                                 return FALSE;
                             }),
                             reinterpret_cast<gpointer>(static_cast<intptr_t>(l.zone)));
    }
#endif
    m_tree->Control()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        NoteFocus(ZONE_TREE);
        e.Skip();
    });
    m_list->Control()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        NoteFocus(ZONE_LIST);
        e.Skip();
    });
    m_text->Control()->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        NoteFocus(ZONE_TEXT);
        e.Skip();
    });

    Bind(wxEVT_MENU, &MainWindow::OnMenu, this);
    Bind(wxEVT_CLOSE_WINDOW, &MainWindow::OnClose, this);
    Bind(wxEVT_MOVE, &MainWindow::OnMoveEvent, this);
    Bind(wxEVT_SIZE, &MainWindow::OnSizeEvent, this);
    Bind(wxEVT_CHAR_HOOK, &MainWindow::OnCharHook, this);
    Bind(wxEVT_TIMER, &MainWindow::OnTimerEvent, this);

    m_tray = new TrayIcon([this](int id) { CallAfter([id] { OnCommand(id); }); },
                          [] { RestoreMainWindow(); });
    m_trayInstalled = m_tray->Install(AppName);
    if (!m_trayInstalled) Log("! TrayIcon : no notification area, the window is minimised instead");

    Catalogue_SetUi(&s_catalogueUi);
    Items_RowChangedHook = &RowChanged;
    HotKey_SetDispatcher([](int id) { OnHotKey(id); });
    Shortcuts_SetWindow(0, this);
    Shortcuts_SetMenuBar(SHORTCUT_MENU_MAIN, m_bar);
    InstallAccelerators();
}

MainWindow::~MainWindow() {
    for (wxTimer*& t : m_timers) {
        if (t) t->Stop();
        delete t;
        t = nullptr;
    }
    if (m_tray) {
        m_tray->RemoveIcon();
        m_tray->Destroy();
        m_tray = nullptr;
    }
    MainWindow_UnlinkModules();
    Items_RowChangedHook = nullptr;
    Catalogue_SetUi(nullptr);
    RemoveShortcuts(0);
#ifndef __WXMSW__
    // The hot keys' polling thread ends with the window that owns the keys.
    X11HotKeys_Stop();
#endif
    Shortcuts_SetMenuBar(SHORTCUT_MENU_MAIN, nullptr);
    Shortcuts_SetWindow(0, nullptr);
    HotKey_SetDispatcher(nullptr);
    s_main = nullptr;
}

void MainWindow::NoteFocus(int zone) {
    if (m_lastZone == zone) return;
    m_lastZone = zone;
    CallAfter([] { UI_Status(); });
}

int MainWindow::FocusedZone() const {
    for (wxWindow* w = wxWindow::FindFocus(); w; w = w->GetParent()) {
        if (w == m_tree->Control()) return ZONE_TREE;
        if (w == m_list->Control()) return ZONE_LIST;
        if (w == m_text->Control()) return ZONE_TEXT;
        // The article's web view stands in the text zone while it shows.
        if (w->GetName() == ARTICLE_WEBVIEW_NAME) return ZONE_TEXT;
    }
    return m_lastZone;
}

void MainWindow::FocusZone(int zone) {
    wxWindow* target = zone == ZONE_LIST   ? static_cast<wxWindow*>(m_list->Control())
                       : zone == ZONE_TREE ? static_cast<wxWindow*>(m_tree->Control())
                                           : static_cast<wxWindow*>(m_text->Control());
    // While the article shows as HTML the text view is hidden: its zone is the web view.
    if (zone == ZONE_TEXT && !target->IsShown())
        if (wxWindow* web = wxWindow::FindWindowByName(ARTICLE_WEBVIEW_NAME, m_panel))
            if (web->IsShown()) target = web;
    target->SetFocus();
#ifdef __WXGTK__
    if (auto* w = static_cast<GtkWidget*>(Zone_FocusWidget(target))) gtk_widget_grab_focus(w);
#endif
    m_lastZone = zone;
    UI_Status();
}

void MainWindow::LayoutZones() {
    const int tree = Pref.ArboWidth >= 10 && Pref.ArboWidth <= 70 ? Pref.ArboWidth : 30;
    if (m_zones && m_zones->GetItemCount() == 2) {
        m_zones->GetItem(static_cast<size_t>(0))->SetProportion(tree);
        m_zones->GetItem(static_cast<size_t>(1))->SetProportion(100 - tree);
    }
    if (m_panel) m_panel->Layout();
}

void MainWindow::InstallAccelerators() {
    std::vector<wxAcceleratorEntry> fixed;
    for (const FixedAccelerator& a :
         MainWindow_FixedAccelerators((PrefFlags & PREF_EXTENDSHORTCUT) != 0)) {
        const int key = KeyTable_WxKey(a.Key & 0xFF);
        if (!key) continue;
        const int flags = ((a.Key & KEYMOD_ALT) ? wxACCEL_ALT : 0) |
                          ((a.Key & KEYMOD_CONTROL) ? wxACCEL_CTRL : 0) |
                          ((a.Key & KEYMOD_SHIFT) ? wxACCEL_SHIFT : 0);
        fixed.emplace_back(flags, key, a.Command);
    }
    // Escape hides the window when "EscapToSysTray" asks for it.
    fixed.emplace_back(wxACCEL_NORMAL, WXK_ESCAPE, CMD_ESCAPE);
    Shortcuts_SetFixedAccelerators(0, fixed);
    RemoveShortcuts(0);
    ApplyShortcuts(0);
}

void MainWindow::StartTimer(int timer, int period, bool oneShot) {
    if (timer < 1 || timer > 6) return;
    if (!m_timers[timer]) m_timers[timer] = new wxTimer(this, timer);
    if (!m_timers[timer]->Start(period, oneShot ? wxTIMER_ONE_SHOT : wxTIMER_CONTINUOUS))
        ReportFatalError(4, ": Timer " + std::to_string(timer));
}

void MainWindow::OnTimerEvent(wxTimerEvent& e) {
    OnTimer(e.GetId());
}

void MainWindow::OnMenu(wxCommandEvent& e) {
    // Run after the menu has closed and the event that chose the entry has returned: a
    // command may open a modal box, and an entry chosen through the accessibility bus
    // must get its answer first.
    const int id = e.GetId();
    CallAfter([id] { OnCommand(id); });
}

void MainWindow::OnCharHook(wxKeyEvent& e) {
    // The context-menu key and Shift+F10 open the zone's pop-up menu.
    if (e.GetKeyCode() == WXK_MENU || (e.GetKeyCode() == WXK_F10 && e.ShiftDown())) {
        ShowContextMenu();
        return;
    }
    // Left and Right open and close the groups of the tree, as in any tree a screen
    // reader user knows.
    const int key = e.GetKeyCode();
    if ((key == WXK_LEFT || key == WXK_RIGHT) && e.GetModifiers() == wxMOD_NONE &&
        FocusedZone() == ZONE_TREE) {
        bool moved = false;
        const bool done = key == WXK_LEFT ? m_tree->KeyLeft(&moved) : m_tree->KeyRight(&moved);
        if (moved) OnGadget(ZONE_TREE, GADGET_CHANGE);
        if (done) return;
    }
    e.Skip();
}

void MainWindow::OnMoveEvent(wxMoveEvent& e) {
    const bool normal = IsShown() && !IsMaximized() && !IsIconized();
    const wxPoint p = GetPosition();
    Geometry_Moved(normal, p.x, p.y);
    e.Skip();
}

void MainWindow::OnSizeEvent(wxSizeEvent& e) {
    if (IsShown()) {
        const int32_t state = IsIconized()    ? WINDOWSTATE_MINIMIZED
                              : IsMaximized() ? WINDOWSTATE_MAXIMIZED
                                              : WINDOWSTATE_NORMAL;
        if (state != WINDOWSTATE_MINIMIZED) Geometry_StateChanged(state);
        const wxSize s = GetSize();
        Geometry_Resized(state == WINDOWSTATE_NORMAL, s.x, s.y);
    }
    e.Skip();
}

void MainWindow::RequestQuit() {
    m_quitRequested = true;
    Close(false);
}

void MainWindow::OnClose(wxCloseEvent& e) {
    if (m_closing) return;
    if (e.CanVeto() && !m_quitRequested && (PrefFlags & PREF_ALTF4TOSYSTRAY)) {
        e.Veto();
        DoHideToTray();
        return;
    }
    m_quitRequested = false;
    const bool downloading = Main_Hooks().PodcastsDownloading && Main_Hooks().PodcastsDownloading();
    if (e.CanVeto() && Quit_NeedsConfirmation(PrefFlags, downloading) &&
        RequestMessage(Lng(L_Request_Info), Lng(L_Msg_QuitWithPodcastDownloading), REQUEST_YESNO,
                       this) != REQUEST_RESULT_YES) {
        e.Veto();
        return;
    }
    m_closing = true;
    for (wxTimer* t : m_timers)
        if (t) t->Stop();
    Destroy();
    if (wxTheApp) wxTheApp->ExitMainLoop();
}

void MainWindow::DoHideToTray() {
    if (!m_trayInstalled) {
        // Without a notification area the window could not be found again: minimise it.
        Iconize(true);
        return;
    }
    m_hidden = true;
    Hide();
}

void MainWindow::DoRestore() {
    m_hidden = false;
    if (IsIconized()) Iconize(false);
    Show();
    if (Pref.MainWindowZ == WINDOWSTATE_MAXIMIZED) Maximize(true);
    Raise();
}

Item* MainWindow::SelectedArticle(Rss** feed) const {
    const int row = m_list->SelectedRow();
    if (row < 0) return nullptr;
    return Item_FindByFeedID(m_list->FeedIDAt(row), feed);
}

Rss* MainWindow::SelectedFeed() const {
    FeedTreeNode n;
    if (!m_tree->Selected(&n) || n.IsGroup) return nullptr;
    return FeedByID(n.RssID);
}

void MainWindow::ShowSelectedArticle() {
    if (const auto& show = Main_Hooks().ShowArticle) {
        show();
        return;
    }
    Rss* feed = nullptr;
    Item* item = SelectedArticle(&feed);
    if (!item) {
        m_text->Show("");
        return;
    }
    // The article and its feed become current.
    if (feed) {
        RssList.SetCurrent(feed);
        feed->Items.SetCurrent(item);
        // The feed remembers it, so the list comes back to it when the feed is shown again.
        if (!m_groupView) feed->LastSelectedItem = item->FeedID;
    }
    m_text->Show(Article_PlainText(*item));
}

void MainWindow::RefreshMarks() {
    const std::vector<ItemRow> rows = ListRowsAll();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].Article) continue;
        Item shown = *rows[i].Article;
        if (m_groupView && rows[i].Feed) shown.Author = rows[i].Feed->Name;
        m_list->SetRow(static_cast<int>(i), RowOf(shown, m_groupView));
    }
    if (!m_tree->Relabel(TreeShape())) UI_Tree_Actualize();
    UI_Status();
}

MainWindow* MainWindow_Create() {
    auto* w = new MainWindow();
    if (!w->GetHandle()) ReportFatalError(1, ": MainWindow");
    MainWindow_LinkModules();
    w->StartTimer(1, 100);
    w->StartTimer(2, 200);
    w->StartTimer(3, 1000);
    w->StartTimer(4, 600000);
    w->StartTimer(6, 60000);
    w->Show();
    if (Pref.MainWindowZ == WINDOWSTATE_MAXIMIZED) w->Maximize(true);
    return w;
}

void MainWindow_Ready() {
    if (!s_main) return;
    UI_Tree_Actualize({}, 0);
    MainWindow_StartUpdates();
    s_main->FocusZone(ZONE_TREE);
    if (PrefFlags & PREF_MINIMIZEONSTART)
        HideToTray();
    else
        s_main->Raise();
}

void RestoreMainWindow() {
    if (s_main) s_main->DoRestore();
}

void HideToTray() {
    if (s_main) s_main->DoHideToTray();
}

void MainTimer_StartBackNormal() {
    if (s_main) s_main->StartTimer(5, 5000, true);
}

// ---------------------------------------------------------------------------- views

void UI_Tree_Actualize(const std::string& selectName, int selectPos) {
    if (!s_main) return;
    const auto start = std::chrono::steady_clock::now();
    FeedTreeView& tree = s_main->Tree();
    FeedTreeNode before;
    const bool had = tree.Selected(&before);
    const int beforeRow = tree.SelectedRow();
    RssList_Sort();
    const std::vector<FeedTreeGroup> shape = TreeShape();
    if (!tree.Relabel(shape) || !selectName.empty() || selectPos >= 0) {
        tree.Fill(shape);
        bool found = false;
        if (!selectName.empty()) found = tree.SelectByName(selectName);
        if (!found && selectPos >= 0) found = tree.SelectRow(selectPos);
        if (!found && had)
            found = before.IsGroup ? tree.SelectByName(before.Name) : tree.SelectFeed(before.RssID);
        if (!found && beforeRow >= 0)
            found = tree.SelectRow(std::min(beforeRow, tree.RowCount() - 1));
        if (!found) tree.SelectRow(0);
        UI_List_Fill();
        s_main->ShowSelectedArticle();
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    Log("* UI_Tree_Actualize() in " + std::to_string(ms));
}

void UI_List_Fill() {
    MainWindow* w = s_main;
    if (!w) return;
    const int32_t keepID = w->List().FeedIDAt(w->List().SelectedRow());
    FeedTreeNode node;
    std::vector<Item> set;
    bool group = false;
    if (w->Tree().Selected(&node)) {
        group = node.IsGroup;
        if (group) {
            set = DisplaySet_Group(RssList, node.Name, Pref.Display);
        } else if (Rss* feed = FeedByID(node.RssID)) {
            MakeCurrent(feed);
            set = DisplaySet_Feed(*feed, Pref.Display);
        }
    }
    // The rows' texts are made when the list first shows or reads them.
    std::vector<int32_t> ids;
    ids.reserve(set.size());
    for (const Item& it : set)
        ids.push_back(it.FeedID);
    auto shown = std::make_shared<const std::vector<Item>>(std::move(set));
    w->m_groupView = group;
    w->List().Fill(
        std::move(ids), [shown, group](size_t row) { return RowOf((*shown)[row], group); },
        ListColumn_Fourth(group));
    int row = keepID ? w->List().RowOf(keepID) : -1;
    if (row < 0 && !group) {
        if (const Rss* feed = FeedByID(node.RssID); feed && feed->LastSelectedItem)
            row = w->List().RowOf(feed->LastSelectedItem);
    }
    if (row >= 0) w->List().SelectRow(row);
    UI_Status();
}

void UI_Status() {
    MainWindow* w = s_main;
    if (!w) return;
    const MainHooks& hooks = Main_Hooks();
    const int zone = w->FocusedZone();
    StatusInput in;
    in.ListFocused = zone == ZONE_LIST;
    in.RowCount = w->List().RowCount();
    in.Display = Pref.Display;
    in.DurationFormat = Pref.DurationTimeFormat;
    if (hooks.UpdatingFeedName) in.UpdatingFeed = hooks.UpdatingFeedName();
    std::string text;
    Item* item = w->SelectedArticle();
    if (in.ListFocused && item) {
        in.Selected = item;
        in.SelectedIsPodcast = !item->AudioLink.empty() || !item->AudioFile.empty();
        in.Row = w->List().SelectedRow() + 1;
        text = Status_Text(in);
    } else if (in.ListFocused && in.RowCount > 0) {
        text = Lng(L_Status_NoFeedSelected) + " " + Status_Text(in);
    } else {
        TreeStatusInput t;
        FeedTreeNode node;
        if (w->Tree().Selected(&node)) {
            if (node.IsGroup) {
                t.GroupPos = node.GroupPos + 1;
                t.GroupCount = static_cast<int>(Tree_GroupNames(RssList).size());
            } else {
                t.Feed = FeedByID(node.RssID);
            }
        }
        if (hooks.UpdateQueueCount) t.QueueCount = hooks.UpdateQueueCount();
        text = Status_TreeText(t) + ". " + Status_Text(in);
    }
    if (hooks.AudioState) {
        const std::string audio = hooks.AudioState();
        if (!audio.empty()) text = audio + ". " + text;
    }
    w->Status().SetText(text);
}

void NextUnread(int direction) {
    MainWindow* w = s_main;
    if (!w) return;
    std::vector<bool> unread;
    for (const ItemRow& r : ListRowsAll())
        unread.push_back(r.Article && Item_IsUnread(*r.Article));
    const long row = NextUnread_Row(unread, w->List().SelectedRow(), direction);
    if (row < 0) {
        Main_Say(direction >= 0 ? Lng(L_Say_NoNextUnreaded) : Lng(L_Say_NoPrevUnreaded));
        return;
    }
    w->List().SelectRow(static_cast<int>(row));
    w->ShowSelectedArticle();
    w->FocusZone(ZONE_LIST);
}

void ShowStatistics() {
    RequestMessage(Lng(L_Menu_Stat), Statistics_Text(RssList), REQUEST_OK, s_main);
}

void ShowAbout() {
    ShowAboutWindow(s_main);
}

void ShowContextMenu() {
    MainWindow* w = s_main;
    if (!w) return;
    const int zone = w->FocusedZone();
    wxMenu* menu = nullptr;
    wxWindow* at = nullptr;
    if (zone == ZONE_TREE) {
        at = w->Tree().Control();
        FeedTreeNode node;
        if (!w->Tree().Selected(&node)) {
            Main_Say(Lng(L_Status_NoRssSelected));
            return;
        }
        if (node.IsGroup) {
            menu = MainMenus_Group();
        } else if (Rss* feed = FeedByID(node.RssID)) {
            menu = IsRadio(*feed) ? MainMenus_Radio(*feed) : MainMenus_Feed(*feed);
            RefreshMenuShortcuts(SHORTCUT_MENU_FEED, menu);
        }
    } else {
        at = zone == ZONE_LIST ? static_cast<wxWindow*>(w->List().Control())
                               : static_cast<wxWindow*>(w->Text().Control());
        if (Item* item = w->SelectedArticle()) {
            menu = MainMenus_Article(*item);
            RefreshMenuShortcuts(SHORTCUT_MENU_ARTICLE, menu);
        } else if (zone == ZONE_LIST && w->IsGroupView() && w->List().RowCount() > 0) {
            menu = MainMenus_Grouped();
        } else {
            Main_Say(Lng(L_Status_NoFeedSelected));
            return;
        }
    }
    if (!menu) return;
    const wxPoint p = w->ScreenToClient(at->GetScreenPosition()) + wxPoint(20, 20);
    w->PopupMenu(menu, p);
    delete menu;
}

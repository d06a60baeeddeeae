// The main window (window 0): the tree of groups and feeds, the article list, the article
// view and the status line; its menus, pop-up menus, tray icon, timers and keyboard, and
// the dispatch of every event to OnGadget / OnCommand / OnTimer / OnHotKey.
#pragma once
#include <cstdint>
#include <string>

#include <wx/frame.h>
#include <wx/timer.h>

class ArticleListView;
class ArticleTextView;
class FeedTreeView;
class StatusView;
class TrayIcon;
class wxMenu;
class wxMenuBar;
class wxPanel;
class wxBoxSizer;
struct Item;
struct Rss;

// Kinds of gadget events.
enum : int {
    GADGET_CHANGE = 0,     // selection moved
    GADGET_RIGHTCLICK = 1, // context menu asked
    GADGET_ACTIVATE = 2,   // double click
};

class MainWindow : public wxFrame {
  public:
    MainWindow();
    ~MainWindow() override;

    FeedTreeView& Tree() { return *m_tree; }
    ArticleListView& List() { return *m_list; }
    ArticleTextView& Text() { return *m_text; }
    StatusView& Status() { return *m_status; }

    // The zone holding the keyboard focus (ZONE_TREE, ZONE_LIST or ZONE_TEXT); the last
    // one focused when the focus is elsewhere (a menu, another window).
    int FocusedZone() const;
    void FocusZone(int zone);
    // Lays the zones out with the tree taking "ArboWidth" percent of the width.
    void LayoutZones();
    // Installs the fixed accelerators (with the "ExtendShortcut" ones when on) next to
    // the configurable shortcuts.
    void InstallAccelerators();
    // Asks to leave: the "IsSureToQuit" question may keep the program running.
    void RequestQuit();
    void DoHideToTray();
    void DoRestore();
    bool IsHiddenInTray() const { return m_hidden; }
    void StartTimer(int timer, int period, bool oneShot = false);

    // The article selected in the list and its feed; nullptr when none.
    Item* SelectedArticle(Rss** feed = nullptr) const;
    // The feed selected in the tree; nullptr for a group or nothing.
    Rss* SelectedFeed() const;
    // Shows the selected article in the view (or empties the view).
    void ShowSelectedArticle();
    // Rewrites the list rows and tree labels after read marks changed.
    void RefreshMarks();
    bool IsGroupView() const { return m_groupView; }
    wxMenuBar* Bar() const { return m_bar; }
    std::string& FindText() { return m_findText; }

  private:
    void OnClose(wxCloseEvent& e);
    void OnMenu(wxCommandEvent& e);
    void OnTimerEvent(wxTimerEvent& e);
    void OnMoveEvent(wxMoveEvent& e);
    void OnSizeEvent(wxSizeEvent& e);
    void OnCharHook(wxKeyEvent& e);
    void NoteFocus(int zone);

    wxPanel* m_panel = nullptr;
    wxBoxSizer* m_zones = nullptr;
    FeedTreeView* m_tree = nullptr;
    ArticleListView* m_list = nullptr;
    ArticleTextView* m_text = nullptr;
    StatusView* m_status = nullptr;
    wxMenuBar* m_bar = nullptr;
    TrayIcon* m_tray = nullptr;
    bool m_trayInstalled = false;
    wxTimer* m_timers[7] = {};
    bool m_hidden = false;
    bool m_quitRequested = false;
    bool m_closing = false;
    int m_lastZone = 0;
    bool m_groupView = false;
    std::string m_findText;

    friend void UI_List_Fill();
};

// Creates and shows the main window from the stored geometry and state; builds its menus,
// tray icon, accelerators and timers. Window creation failures end the program.
MainWindow* MainWindow_Create();
// Once the catalogue and the articles are loaded: fills the tree, selects its first row
// and gives it the keyboard focus.
void MainWindow_Ready();
// The main window; nullptr before it is created and after it is destroyed.
MainWindow* MainWindow_Get();

// Rebuilds the tree from RssList (sorted first); the selection goes back to the row
// named `selectName`, else the row at `selectPos`, else the row selected before.
void UI_Tree_Actualize(const std::string& selectName = {}, int selectPos = -1);
// Refills the article list of the selected tree node from its display set.
void UI_List_Fill();
// Rewrites the status line.
void UI_Status();
// Selects the next (+1) or previous (-1) unread article of the list, or announces that
// there is none.
void NextUnread(int direction);
// "Statistiques" message box.
void ShowStatistics();
// The About window.
void ShowAbout();
// Pop-up menu of the focused zone and selected row.
void ShowContextMenu();

void OnGadget(int gadget, int type);
void OnCommand(int id);
void OnTimer(int timer);
void OnHotKey(int id);

// Starts timer 5 (5 s, one shot): playback back to the stored tempo.
void MainTimer_StartBackNormal();
// Speaks a short confirmation through the screen reader.
void Main_Say(const std::string& text);
// The last text given to Main_Say (what the user last heard from the window).
const std::string& Main_LastSaid();

// The article view's links to the main window: its commands (extract, save, links,
// mail, share), the web view, the showing of the selected article, the automatic read
// marks on timer 2, and the text view's keys (Enter, Shift+Space, Menu, Shift+F10).
// The window sits above this module: it describes itself through ArticleHost.
#pragma once
#include <functional>
#include <string>

class wxTextCtrl;
class wxWindow;
struct Item;
struct Rss;

struct ArticleHost {
    wxWindow* Frame = nullptr;  // the main window (menus, dialogs, CallAfter)
    wxTextCtrl* Text = nullptr; // the text view (gadget 4)
    // The article selected in the list and its feed; nullptr when none.
    std::function<Item*(Rss** feed)> SelectedArticle;
    std::function<bool()> IsGroupView;
    std::function<int()> FocusedZone;   // ZONE_TREE, ZONE_LIST or ZONE_TEXT
    std::function<void()> FocusText;    // gives the text zone the focus
    std::function<void()> Status;       // rewrites the status line
    std::function<void()> RefreshMarks; // list rows and tree labels after read marks
    std::function<void(const std::string&)> Say;
};
// The host installed by Article_Link (its members empty before).
const ArticleHost& Article_Host();

// Installs everything once the main window exists.
void Article_Link(const ArticleHost& host);

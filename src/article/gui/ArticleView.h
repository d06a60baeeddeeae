// The article view: the selected article shown in the text view (gadget 4) or in the web
// view (gadget 6), which view shows, and the articles waiting to be marked read
// automatically. The web view runs no script, opens no window, and hands every link the
// user follows to the user's browser.
#pragma once
#include <cstdint>
#include <string>

class wxWindow;

// The window name of the web view, which stands in the text zone while the article
// shows as HTML (the main window looks it up by this name).
inline constexpr const char* ARTICLE_WEBVIEW_NAME = "ArticleWebView";

// Which view shows the article: 4 text view, 6 web view, 0 none (no current article).
extern int ViewMode;
enum : int { VIEWMODE_NONE = 0, VIEWMODE_TEXT = 4, VIEWMODE_HTML = 6 };

// Creates the web view beside the main window's text view (hidden until the HTML view is
// chosen). Called once the main window exists; safe to call again.
void ArticleView_Create();
// Shows the current article in the view the preferences choose; `force` redraws even
// when the same article (in the same view and readability) is shown already. No article:
// ViewMode 0 and the text view is emptied.
void Item_Show(int force);
// Marks read the articles queued by Item_Show (timer 2); the list and tree marks follow.
void ArticleView_MarkPending();
// The web view control (nullptr when the web view could not be made).
wxWindow* ArticleView_WebControl();
// Opens an address with the "Navigator" program when one is set (as an argument list,
// never through a shell), else with the system's default handler. False when nothing
// could be started.
bool ArticleView_OpenAddress(const std::string& address);

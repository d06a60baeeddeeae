#include "article/gui/ArticleView.h"

#include <chrono>
#include <dlfcn.h>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>
#include <wx/utils.h>
#include <wx/webview.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "article/core/ArticleItem.h"
#include "catalogue/core/Items.h"
#include "access/gui/AccessibleName.h"
#include "article/gui/ArticleModule.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainView.h"

int ViewMode = VIEWMODE_NONE;

namespace {
wxWebView* s_web = nullptr;
// What the views show now: the article, and the view and readability it was drawn with.
struct Shown {
    int32_t FeedID = 0;
    int Mode = VIEWMODE_NONE;
    bool Readability = false;
    bool operator==(const Shown&) const = default;
};
Shown s_shown;
int s_visibleMode = VIEWMODE_TEXT;
// The page given to the web view last; its own load is the only navigation allowed.
bool s_loadingOwnPage = false;
std::vector<int32_t> s_pendingRead;
// Whether scripts are known to be off in the web view; without that it is never used.
bool s_scriptsOff = false;

wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

// Feed HTML is untrusted: no script runs in the view, and nothing opens windows.
void LockDownWebView(wxWebView* web) {
#ifdef __WXGTK__
    // WebKitGTK's settings object is reached through its getter (the view's "settings"
    // property cannot be read); the library is already loaded by the web view.
    using GetSettings = GObject* (*)(void*);
    auto get = reinterpret_cast<GetSettings>(dlsym(RTLD_DEFAULT, "webkit_web_view_get_settings"));
    GObject* settings = get && web->GetNativeBackend() ? get(web->GetNativeBackend()) : nullptr;
    if (!settings) {
        Log("! ArticleView, the web view's settings cannot be reached: HTML view refused");
        return;
    }
    g_object_set(settings, "enable-javascript", FALSE, "javascript-can-open-windows-automatically",
                 FALSE, nullptr);
    gboolean on = TRUE;
    g_object_get(settings, "enable-javascript", &on, nullptr);
    s_scriptsOff = !on;
#else
    s_scriptsOff = false;
#endif
}

void OnNavigating(wxWebViewEvent& e) {
    const std::string url(e.GetURL().ToUTF8());
    if (s_loadingOwnPage) {
        // The page given with SetPage loads as "about:blank" (or its base address).
        s_loadingOwnPage = false;
        return;
    }
    e.Veto();
    // A link the user followed goes to the user's browser; loads the page asks for by
    // itself (frames, refreshes) are refused.
    if (e.GetNavigationAction() == wxWEBVIEW_NAV_ACTION_USER && !url.empty() &&
        url.rfind("about:", 0) != 0)
        ArticleView_OpenAddress(url);
}

void OnNewWindow(wxWebViewEvent& e) {
    const std::string url(e.GetURL().ToUTF8());
    if (e.GetNavigationAction() == wxWEBVIEW_NAV_ACTION_USER && !url.empty() &&
        url.rfind("about:", 0) != 0)
        ArticleView_OpenAddress(url);
}

void ShowMode(int mode) {
    wxWindow* text = Article_Host().Text;
    if (!text) return;
    const bool html = mode == VIEWMODE_HTML && s_web;
    if ((html ? VIEWMODE_HTML : VIEWMODE_TEXT) == s_visibleMode) return;
    s_visibleMode = html ? VIEWMODE_HTML : VIEWMODE_TEXT;
    text->Show(!html);
    text->Enable(!html);
    if (s_web) {
        s_web->Show(html);
        s_web->Enable(html);
    }
    if (wxWindow* parent = text->GetParent()) parent->Layout();
}

// Pumps the window's events, one at a time with 1 ms between, until none is pending
// (bounded, so that a page that keeps posting events cannot hold the interface).
void PumpWhileLoading() {
    if (!wxTheApp) return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (wxTheApp->Pending() && std::chrono::steady_clock::now() < until) {
        wxTheApp->Dispatch();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
} // namespace

static void ItemShowOnce(int force);

wxWindow* ArticleView_WebControl() {
    return s_web;
}

void ArticleView_Create() {
    wxWindow* text = Article_Host().Text;
    if (!text || s_web) return;
    wxWindow* parent = text->GetParent();
    if (!wxWebView::IsBackendAvailable(wxWebViewBackendDefault)) {
        Log("! ArticleView, no web view on this system: the article shows as text");
        return;
    }
    s_web = wxWebView::New(parent, wxID_ANY, "about:blank", wxDefaultPosition, wxDefaultSize,
                           wxWebViewBackendDefault);
    if (!s_web) {
        Log("! ArticleView, the web view cannot be created: the article shows as text");
        return;
    }
    LockDownWebView(s_web);
    if (!s_scriptsOff) {
        s_web->Destroy();
        s_web = nullptr;
        return;
    }
    s_web->EnableContextMenu(false);
    s_web->Bind(wxEVT_WEBVIEW_NAVIGATING, &OnNavigating);
    s_web->Bind(wxEVT_WEBVIEW_NEWWINDOW, &OnNewWindow);
    s_web->Bind(wxEVT_WEBVIEW_LOADED, [](wxWebViewEvent&) {
        if (s_web && ViewMode == VIEWMODE_HTML) s_web->Enable(true);
    });
    s_web->Bind(wxEVT_DESTROY, [](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == s_web) {
            s_web = nullptr;
            s_visibleMode = VIEWMODE_TEXT;
            s_shown = Shown{};
            ViewMode = VIEWMODE_NONE;
        }
        e.Skip();
    });
    // The accessible name first: it also names the wx window, which must keep its own.
    Accessible_SetName(s_web, Lng(L_Menu_FocusToView));
    s_web->SetName(ARTICLE_WEBVIEW_NAME);
    if (wxSizer* sizer = text->GetContainingSizer()) {
        const wxSizerItem* item = sizer->GetItem(text);
        sizer->Insert(sizer->GetChildren().IndexOf(const_cast<wxSizerItem*>(item)) + 1, s_web,
                      item ? item->GetProportion() : 1, wxEXPAND | wxTOP, 2);
    }
    s_web->Hide();
    s_visibleMode = VIEWMODE_TEXT;
    parent->Layout();
}

void Item_Show(int force) {
    // The web page's loading pumps events, and one of them may ask to show an article
    // again: that request is served once the current one is done.
    static bool busy = false;
    static bool again = false;
    if (busy) {
        again = true;
        return;
    }
    busy = true;
    do {
        again = false;
        ItemShowOnce(force);
        force = 0;
    } while (again);
    busy = false;
}

// The text view's content replaced, the caret at its start.
static void SetText(const std::string& text) {
    wxTextCtrl* t = Article_Host().Text;
    if (!t) return;
    const wxString v = wxString::FromUTF8(text);
    if (t->GetValue() == v) return;
    t->ChangeValue(v);
    t->SetInsertionPoint(0);
}

static void ItemShowOnce(int force) {
    const ArticleHost& host = Article_Host();
    if (!host.Text || !host.SelectedArticle) return;
    Rss* feed = nullptr;
    Item* item = host.SelectedArticle(&feed);
    const int mode = (Pref.Display & DISPLAY_HTML) && s_web ? VIEWMODE_HTML : VIEWMODE_TEXT;
    if (!item) {
        ViewMode = VIEWMODE_NONE;
        s_shown = Shown{};
        SetText("");
        ShowMode(VIEWMODE_TEXT);
        return;
    }
    // The article and its feed become current; the feed remembers it for the list.
    if (feed) {
        RssList.SetCurrent(feed);
        feed->Items.SetCurrent(item);
        if (!(host.IsGroupView && host.IsGroupView())) feed->LastSelectedItem = item->FeedID;
    }
    if ((PrefFlags & PREF_AUTOSETREADEDFEED) && Item_IsUnread(*item))
        s_pendingRead.push_back(item->FeedID);
    if (host.Status) host.Status();

    const Shown now{item->FeedID, mode, (Pref.Display & DISPLAY_READABILITY) != 0};
    if (force || !(now == s_shown)) {
        if (mode == VIEWMODE_HTML) {
            s_web->Enable(false);
            s_loadingOwnPage = true;
            s_web->SetPage(W(ItemView_Html(ArticleFields_Of(*item))), "about:blank");
            PumpWhileLoading();
            s_web->Enable(true);
        } else {
            SetText(ItemView_Text(ArticleFields_Of(*item), now.Readability));
        }
        s_shown = now;
    }
    ViewMode = mode;
    ShowMode(mode);
}

void ArticleView_MarkPending() {
    if (s_pendingRead.empty()) return;
    std::vector<int32_t> ids;
    ids.swap(s_pendingRead);
    int marked = 0;
    for (int32_t id : ids)
        if (Item* it = Item_FindByFeedID(id); it && Item_IsUnread(*it)) marked += SetReaded(id, 0);
    if (marked > 0 && Article_Host().RefreshMarks) Article_Host().RefreshMarks();
}

bool ArticleView_OpenAddress(const std::string& address) {
    if (address.empty()) return false;
    if (!Pref.Navigator.empty()) {
        // The program and the address are two arguments: no shell ever reads them.
        const wxString program = wxString::FromUTF8(Pref.Navigator);
        const wxString url = wxString::FromUTF8(address);
        const wchar_t* argv[] = {program.wc_str(), url.wc_str(), nullptr};
        if (wxExecute(argv, wxEXEC_ASYNC) > 0) return true;
        Log("! OpenAddress, cannot start " + Pref.Navigator);
    }
    if (wxLaunchDefaultBrowser(wxString::FromUTF8(address))) return true;
    Log("! OpenAddress, no program opens " + address);
    return false;
}

#include "audio/gui/QuickMenu.h"

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/utils.h>

#include "audio/core/QuickMenuModel.h"
#include "audio/gui/ActiveWindow.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/base/AppPaths.h"

namespace {
constexpr int QUICKMENU_ATTEMPTS = 40;

// "&" in a title would become a mnemonic.
wxString Label(const std::string& text) {
    return wxString::FromUTF8(ReplaceAll(text, "&", "&&"));
}

void Fill(wxMenu* menu, const std::vector<QuickMenuEntry>& entries) {
    for (const QuickMenuEntry& e : entries) {
        if (e.Command == 0) {
            auto* sub = new wxMenu;
            Fill(sub, e.Sub);
            wxMenuItem* item = menu->AppendSubMenu(sub, Label(e.Label));
            if (e.Sub.empty()) item->Enable(false);
            continue;
        }
        wxMenuItem* item = e.Checkable ? menu->AppendCheckItem(e.Command, Label(e.Label))
                                       : menu->Append(e.Command, Label(e.Label));
        if (e.Checkable) item->Check(e.Checked);
        if (!e.Enabled) item->Enable(false);
    }
}
} // namespace

void QuickMenu_Show(wxFrame* window) {
    QuickMenu_ShowAttempt(window, 0, ActiveWindow_Get());
}

void QuickMenu_ShowAttempt(wxFrame* window, int attempt, unsigned long before) {
    if (!window) return;
    wxMenu menu;
    Fill(&menu, QuickMenu_Build(AppName));
    // Shown at the mouse; a window out of sight (in the tray) is shown for the menu's
    // time, as a menu needs a window on screen.
    const bool hidden = !window->IsShown();
    if (hidden) window->Show();
    const wxPoint at = window->ScreenToClient(wxGetMousePosition());
    const bool shown = window->PopupMenu(&menu, at);
    if (hidden) window->Hide();
    if (!shown) {
        // Opened by a global hot key, the keyboard is still held by the key's own grab
        // until the key is released: the menu cannot take it yet. Try again shortly.
        if (attempt < QUICKMENU_ATTEMPTS) {
            wxTheApp->CallAfter([window, attempt, before] {
                wxMilliSleep(50);
                QuickMenu_ShowAttempt(window, attempt + 1, before);
            });
            return;
        }
        Log("! QuickMenu_Show, the menu could not take the keyboard");
    }
    ActiveWindow_Restore(before);
}

#include "shell/gui/TrayIcon.h"

#include <wx/artprov.h>
#include <wx/menu.h>

#include "access/core/Shortcuts.h"
#include "access/gui/GlobalShortcut.h"
#include "shell/core/Startup.h"
#include "shell/gui/MainMenus.h"

TrayIcon::TrayIcon(std::function<void(int)> onCommand, std::function<void()> onRestore)
    : m_onCommand(std::move(onCommand)), m_onRestore(std::move(onRestore)) {
    Bind(wxEVT_TASKBAR_LEFT_UP, [this](wxTaskBarIconEvent&) {
        if (m_onRestore) m_onRestore();
    });
    Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
        if (m_onCommand) m_onCommand(e.GetId());
    });
}

bool TrayIcon::Install(const std::string& tooltip) {
    if (!wxTaskBarIcon::IsAvailable()) return false;
    wxIcon icon;
    icon.CopyFromBitmap(wxArtProvider::GetBitmap(wxART_INFORMATION, wxART_OTHER, wxSize(22, 22)));
    return SetIcon(icon, wxString::FromUTF8(tooltip));
}

wxMenu* TrayIcon::CreatePopupMenu() {
    wxMenu* menu = MainMenus_Tray(AppName);
    RefreshMenuShortcuts(SHORTCUT_MENU_TRAY, menu);
    return menu;
}

// The notification-area icon: a left click shows the main window again, a right click the
// tray menu (474), whose commands go to the main window's dispatcher.
#pragma once
#include <functional>
#include <string>

#include <wx/taskbar.h>

class TrayIcon : public wxTaskBarIcon {
  public:
    // `onCommand` receives the tray menu's command numbers; `onRestore` the left click.
    TrayIcon(std::function<void(int)> onCommand, std::function<void()> onRestore);
    // Shows the icon with `tooltip`; false when the desktop has no notification area.
    bool Install(const std::string& tooltip);

  protected:
    wxMenu* CreatePopupMenu() override;

  private:
    std::function<void(int)> m_onCommand;
    std::function<void()> m_onRestore;
};

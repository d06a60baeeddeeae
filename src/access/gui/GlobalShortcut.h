// Installs the shortcut records (access/core/Shortcuts.h) on windows: window shortcuts as
// wx accelerators, global hot keys through the system (X11 key grabs on the root window
// on Linux, RegisterHotKey on Windows), and the keys shown in menu item labels.
#pragma once
#include <functional>
#include <vector>

#include <wx/accel.h>

class wxWindow;
class wxMenu;
class wxMenuBar;

// The window that shortcuts of window number `window` belong to (0 = the main window);
// nullptr forgets it (call before the window is destroyed, after RemoveShortcuts).
void Shortcuts_SetWindow(int window, wxWindow* win);
// Fixed accelerators of a window, kept installed next to the configurable shortcuts.
void Shortcuts_SetFixedAccelerators(int window, const std::vector<wxAcceleratorEntry>& fixed);
// Menus whose item labels show the keys: 40 the main menu bar, 388 / 474 pop-up menus.
void Shortcuts_SetMenuBar(int menu, wxMenuBar* bar);
void Shortcuts_SetMenu(int menu, wxMenu* popup);

// Installs the window shortcuts and global hot keys of `window`, logs the hot-key results
// in one block, and refreshes the labels of menus 40, 388 and 474.
void ApplyShortcuts(int window);
// Removes them again (before keys are edited, preferences reloaded, or the window closes).
void RemoveShortcuts(int window);
// Rewrites the labels of the items of one menu from the records: text up to the first
// tab, then a tab and KeyName(key) when the key is not 0.
void RefreshMenuShortcuts(int menu);
// The same for a menu built on the fly (the article pop-up menu, 428).
void RefreshMenuShortcuts(int menu, wxMenu* popup);

// Called on the interface thread for each global hot key pressed. The default raises the
// mapped window command (HotKey_Command) as a menu event on the window; the main window
// may install its own dispatcher.
void HotKey_SetDispatcher(std::function<void(int hotKeyID)> dispatcher);
void HotKey_Dispatch(int hotKeyID);

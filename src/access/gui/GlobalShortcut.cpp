#include "access/gui/GlobalShortcut.h"

#include <map>

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/window.h>

#include "access/core/Shortcuts.h"
#include "access/gui/KeyTable.h"
#include "access/gui/X11HotKeys.h"
#include "shell/base/Log.h"

namespace {
std::map<int, wxWindow*> s_windows;
std::map<int, std::vector<wxAcceleratorEntry>> s_fixed;
std::map<int, wxMenuBar*> s_menuBars;
std::map<int, wxMenu*> s_menus;
std::function<void(int)> s_dispatcher;
std::map<int, bool> s_registered; // hot-key identifiers currently registered

wxWindow* WindowOf(int window) {
    auto it = s_windows.find(window);
    return it == s_windows.end() ? nullptr : it->second;
}

// System modifiers as the Windows hot-key call takes them.
int SystemModifiers(int32_t key) {
    return ((key & KEYMOD_ALT) ? 1 : 0) | ((key & KEYMOD_CONTROL) ? 2 : 0) |
           ((key & KEYMOD_SHIFT) ? 4 : 0) | ((key & KEYMOD_WIN) ? 8 : 0);
}

std::string HandleText(wxWindow* win, unsigned long root) {
    if (root) return std::to_string(root);
    return std::to_string(reinterpret_cast<uintptr_t>(win ? win->GetHandle() : nullptr));
}

void InstallAccelerators(int window, bool withShortcuts) {
    wxWindow* win = WindowOf(window);
    if (!win) return;
    std::vector<wxAcceleratorEntry> entries = s_fixed[window];
    if (withShortcuts) {
        for (const Shortcut& s : ShortcutList) {
            int32_t key = s.KeyValue();
            if (s.Window != window || s.Kind != SHORTCUT_WINDOW || key == 0) continue;
            int wxKey = KeyTable_WxKey(key & 0xFF);
            // wx has no accelerator flag for the Windows key.
            if (wxKey == 0 || (key & KEYMOD_WIN)) continue;
            int flags = ((key & KEYMOD_ALT) ? wxACCEL_ALT : 0) |
                        ((key & KEYMOD_CONTROL) ? wxACCEL_CTRL : 0) |
                        ((key & KEYMOD_SHIFT) ? wxACCEL_SHIFT : 0);
            entries.emplace_back(flags, wxKey, s.EventID);
        }
    }
    if (entries.empty())
        win->SetAcceleratorTable(wxNullAcceleratorTable);
    else
        win->SetAcceleratorTable(
            wxAcceleratorTable(static_cast<int>(entries.size()), entries.data()));
}

#ifdef __WXMSW__
bool SystemRegister(wxWindow* win, int id, int mods, int vk, unsigned long* root) {
    *root = 0;
    if (!win) return false;
    static bool bound = false;
    if (!bound) {
        win->Bind(wxEVT_HOTKEY, [](wxKeyEvent& e) { HotKey_Dispatch(e.GetId()); });
        bound = true;
    }
    return win->RegisterHotKey(id, mods, vk);
}
bool SystemUnregister(wxWindow* win, int id) {
    return win && win->UnregisterHotKey(id);
}
#else
bool SystemRegister(wxWindow*, int id, int32_t key, int vk, unsigned long* root) {
    // The polling thread only posts; the dispatcher runs on the interface thread.
    X11HotKeys_Start([](int hotKey) {
        if (wxTheApp) wxTheApp->CallAfter([hotKey] { HotKey_Dispatch(hotKey); });
    });
    unsigned long keysym = KeyTable_Keysym(vk);
    return keysym && X11HotKeys_Grab(id, keysym, key & KEYMOD_ALT, key & KEYMOD_CONTROL,
                                     key & KEYMOD_SHIFT, key & KEYMOD_WIN, root);
}
bool SystemUnregister(wxWindow*, int id) {
    return X11HotKeys_Ungrab(id);
}
#endif

std::string StripAfterTab(const std::string& text) {
    size_t tab = text.find('\t');
    return tab == std::string::npos ? text : text.substr(0, tab);
}

// The label we last gave each item and the text it was built from, so that a key shown
// without a tab (see below) is still replaced rather than appended to.
struct ShownLabel {
    std::string base;
    std::string shown;
};
std::map<wxMenuItem*, ShownLabel> s_labels;

void RelabelItem(wxMenuItem* item, const Shortcut& s) {
    if (!item) return;
    std::string current = item->GetItemLabel().ToStdString(wxConvUTF8);
    auto known = s_labels.find(item);
    std::string base = (known != s_labels.end() && known->second.shown == current)
                           ? known->second.base
                           : StripAfterTab(current);
    int32_t key = s.KeyValue();
    std::string text = base;
    if (key != 0) text += "\t" + KeyName(key);
    item->SetItemLabel(wxString::FromUTF8(text));
    // GTK menus only keep the part after the tab when they can read it as an accelerator
    // ("Maj+F5" is not one); the key is then shown after the text so it is still read.
    if (key != 0 && item->GetItemLabel().Find('\t') == wxNOT_FOUND)
        item->SetItemLabel(wxString::FromUTF8(base + " (" + KeyName(key) + ")"));
    s_labels[item] = {base, item->GetItemLabel().ToStdString(wxConvUTF8)};
}
} // namespace

void Shortcuts_SetWindow(int window, wxWindow* win) {
    if (win)
        s_windows[window] = win;
    else
        s_windows.erase(window);
}

void Shortcuts_SetFixedAccelerators(int window, const std::vector<wxAcceleratorEntry>& fixed) {
    s_fixed[window] = fixed;
}

void Shortcuts_SetMenuBar(int menu, wxMenuBar* bar) {
    s_menuBars[menu] = bar;
}

void Shortcuts_SetMenu(int menu, wxMenu* popup) {
    s_menus[menu] = popup;
}

void ApplyShortcuts(int window) {
    InstallAccelerators(window, true);
    wxWindow* win = WindowOf(window);
    std::string block;
    for (const Shortcut& s : ShortcutList) {
        if (s.Window != window || s.Kind != SHORTCUT_GLOBAL) continue;
        int32_t key = s.KeyValue();
        int mods = SystemModifiers(key);
        int vk = key & 0xFF;
        unsigned long root = 0;
        std::string line;
        if (vk == 0) {
            line = "- Unaffected ";
        } else {
#ifdef __WXMSW__
            bool ok = SystemRegister(win, s.EventID, mods, vk, &root);
#else
            bool ok = SystemRegister(win, s.EventID, key, vk, &root);
#endif
            if (ok) s_registered[s.EventID] = true;
            line = ok ? "- Registered " : "! Error ";
        }
        line += KeyName(key) + " RegisterHotKey_( " + HandleText(win, root) + ", " +
                std::to_string(s.EventID) + ", " + std::to_string(mods) + ", " +
                std::to_string(vk) + " ), key=" + s.Key + " WindowID=" + std::to_string(window);
        if (!block.empty()) block += "\r\n";
        block += line;
    }
    if (!block.empty()) Log(block);
    RefreshMenuShortcuts(SHORTCUT_MENU_MAIN);
    RefreshMenuShortcuts(SHORTCUT_MENU_FEED);
    RefreshMenuShortcuts(SHORTCUT_MENU_TRAY);
}

void RemoveShortcuts(int window) {
    InstallAccelerators(window, false);
    wxWindow* win = WindowOf(window);
    std::string block;
    for (const Shortcut& s : ShortcutList) {
        if (s.Window != window || s.Kind != SHORTCUT_GLOBAL) continue;
        if (!s_registered.count(s.EventID)) continue;
        s_registered.erase(s.EventID);
        bool ok = SystemUnregister(win, s.EventID);
        std::string line = ok ? "- " : "! Error ";
        line += " UnregisterHotKey_( " + HandleText(win, 0) + ", " + std::to_string(s.EventID) +
                " ), WindowID=" + std::to_string(window);
        if (!block.empty()) block += "\r\n";
        block += line;
    }
    if (!block.empty()) Log(block);
}

void RefreshMenuShortcuts(int menu) {
    auto bar = s_menuBars.find(menu);
    auto popup = s_menus.find(menu);
    for (const Shortcut& s : ShortcutList) {
        if (s.Menu != menu) continue;
        if (bar != s_menuBars.end() && bar->second)
            RelabelItem(bar->second->FindItem(s.EventID), s);
        if (popup != s_menus.end() && popup->second)
            RelabelItem(popup->second->FindItem(s.EventID), s);
    }
}

void RefreshMenuShortcuts(int menu, wxMenu* popup) {
    if (!popup) return;
    for (const Shortcut& s : ShortcutList)
        if (s.Menu == menu) RelabelItem(popup->FindItem(s.EventID), s);
}

void HotKey_SetDispatcher(std::function<void(int hotKeyID)> dispatcher) {
    s_dispatcher = std::move(dispatcher);
}

void HotKey_Dispatch(int hotKeyID) {
    if (s_dispatcher) {
        s_dispatcher(hotKeyID);
        return;
    }
    int command = HotKey_Command(hotKeyID);
    wxWindow* win = WindowOf(0);
    if (command == 0 || !win) return;
    wxCommandEvent ev(wxEVT_MENU, command);
    ev.SetEventObject(win);
    win->GetEventHandler()->ProcessEvent(ev);
}

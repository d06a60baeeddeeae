// Keyboard shortcuts and global hot keys: the records, their key values, key names and
// the editor behind the preferences page. Installing them on a window lives in
// access/gui/GlobalShortcut.h.
//
// Key value (32-bit): bits 0-7 the Windows virtual-key code, plus the modifier bits below;
// 0 means no key. This is the value stored in "Orvalis.ini".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class IniReader;
class IniWriter;

enum : int32_t {
    KEYMOD_SHIFT = 0x10000,
    KEYMOD_CONTROL = 0x20000,
    KEYMOD_ALT = 0x40000,
    KEYMOD_WIN = 0x100000,
    KEYMOD_ALL = KEYMOD_SHIFT | KEYMOD_CONTROL | KEYMOD_ALT | KEYMOD_WIN,
};

enum : int {
    SHORTCUT_WINDOW = 1, // active while the window has the focus
    SHORTCUT_GLOBAL = 2, // system-wide hot key
};

// Menus whose item labels show the keys.
enum : int {
    SHORTCUT_MENU_MAIN = 40,
    SHORTCUT_MENU_FEED = 388,
    SHORTCUT_MENU_ARTICLE = 428,
    SHORTCUT_MENU_TRAY = 474,
};

struct Shortcut {
    int32_t EventID = 0;    // command number (also the hot-key identifier)
    std::string Name;       // preferences key, e.g. "Shortcut_ActualizeRss"
    std::string Key;        // decimal key value, "0" = no key
    std::string DefaultKey; // decimal key value given at registration
    int Kind = SHORTCUT_WINDOW;
    int Window = 0; // 0 = the main window
    int Menu = SHORTCUT_MENU_MAIN;

    int32_t KeyValue() const;
};

// Every shortcut, in registration order.
extern std::vector<Shortcut> ShortcutList;

// Registers a window shortcut / a global hot key. Nothing is added when a record with the
// same event number or the same name (ignoring case) exists. Key = DefaultKey = defaultKey.
void AddQN_KeyboardShortcut(std::string_view name, int32_t eventID, int window, int32_t defaultKey,
                            int menu);
void AddQN_GlobalShortcut(std::string_view name, int32_t eventID, int window, int32_t defaultKey,
                          int menu);

// The 26 window shortcuts and 7 global hot keys with their default keys. Called once at
// start-up, before the preferences are read.
void RegisterShortcuts();

// Reads / writes each record's Key under its Name in the currently selected group of the
// preferences file; DefaultKey when a key is absent.
void LoadShortcutKeys(const IniReader& ini);
void SaveShortcutKeys(IniWriter& ini);
// Makes the preferences file ("Orvalis.ini") read and write the keys through the two
// functions above. Called at start-up after RegisterShortcuts, before the preferences.
void Shortcuts_Install();

// The record with this event number / name (ignoring case); nullptr when none.
Shortcut* Shortcut_Find(int32_t eventID);
Shortcut* Shortcut_FindByName(std::string_view name);

// Text of a key value: translated modifier prefixes "Alt+", "Control+", "Maj+", "Window+"
// then the key's name; only the prefixes when the code has no name.
std::string KeyName(int32_t keyValue);
// Editor label of a shortcut (through Lng); the name itself when unknown.
std::string ShortcutLabel(std::string_view name);

// The state of the shortcut editor page, kept apart from its controls so the rules can run
// without a window. The page copies it to its controls after each command.
struct ShortcutEditorState {
    struct KeyChoice {
        std::string Text;
        int Code = 0;
    };
    std::vector<Shortcut> Working; // "filllist": the main window's records
    std::vector<std::string> Rows; // one text per working record
    int Selected = -1;             // selected row
    bool Alt = false, Control = false, Shift = false, Win = false; // the four check boxes
    std::vector<KeyChoice> KeyChoices;                             // "fillkey"
    int KeyChoice = 0;                                             // selected index in KeyChoices
    std::string Error; // set by a refused "change": message text
    std::string ErrorTitle;
    bool FocusList = false; // "change" accepted: the list should get the focus
};

// Runs one editor command: "fillkey", "filllist", "setcheckbox", "change", "update".
// Returns 1 when it did something, 0 when refused or unknown (see state.Error).
int ShortcutEditor(std::string_view command, ShortcutEditorState& state);

// Global hot-key dispatch: the window command an identifier raises (26 quick menu → 142,
// 28 pause → 114, 30 backward → 120, 32 forward → 122, 34 mute → 112, 36 volume up → 124,
// 38 volume down → 126); 0 for an unknown identifier.
int32_t HotKey_Command(int32_t hotKeyID);

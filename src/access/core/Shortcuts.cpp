#include "access/core/Shortcuts.h"

#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"

std::vector<Shortcut> ShortcutList;

int32_t Shortcut::KeyValue() const {
    return ValInt32(Key);
}

static void AddShortcut(std::string_view name, int32_t eventID, int window, int32_t defaultKey,
                        int menu, int kind) {
    for (const Shortcut& s : ShortcutList)
        if (s.EventID == eventID || EqualsNoCase(s.Name, name)) return;
    Shortcut s;
    s.EventID = eventID;
    s.Name = std::string(name);
    s.Key = s.DefaultKey = std::to_string(defaultKey);
    s.Kind = kind;
    s.Window = window;
    s.Menu = menu;
    ShortcutList.push_back(std::move(s));
}

void AddQN_KeyboardShortcut(std::string_view name, int32_t eventID, int window, int32_t defaultKey,
                            int menu) {
    AddShortcut(name, eventID, window, defaultKey, menu, SHORTCUT_WINDOW);
}

void AddQN_GlobalShortcut(std::string_view name, int32_t eventID, int window, int32_t defaultKey,
                          int menu) {
    AddShortcut(name, eventID, window, defaultKey, menu, SHORTCUT_GLOBAL);
}

void RegisterShortcuts() {
    struct Row {
        const char* name;
        int32_t id;
        int32_t key;
        int menu;
    };
    static const Row windowRows[] = {
        {"Shortcut_ActualizeRss", 66, 116, SHORTCUT_MENU_FEED},
        {"Shortcut_ToggleReaded", 432, 0x20020, SHORTCUT_MENU_ARTICLE},
        {"Shortcut_ActualizeAllRss", 68, 0x10074, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioTempoUp", 128, 0x20021, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioTempoDown", 130, 0x20022, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioBackNormal", 118, 8, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioBackWard", 120, 0x30042, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioForWard", 122, 0x30046, SHORTCUT_MENU_MAIN},
        {"Shortcut_QuickMenu", 142, 0x20052, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioStop", 110, 0x20053, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioPause", 114, 0x20050, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioMute", 112, 118, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioVolumeUp", 124, 121, SHORTCUT_MENU_MAIN},
        {"Shortcut_AudioVolumeDown", 126, 120, SHORTCUT_MENU_MAIN},
        {"Shortcut_SyncPod", 62, 0x20074, SHORTCUT_MENU_MAIN},
        {"Shortcut_NextUnreaded", 84, 0x20055, SHORTCUT_MENU_MAIN},
        {"Shortcut_PrevUnreaded", 86, 0x30055, SHORTCUT_MENU_MAIN},
        {"Shortcut_SortFeedRegroup", 102, 115, SHORTCUT_MENU_MAIN},
        {"Shortcut_OnlyUnReaded", 104, 119, SHORTCUT_MENU_MAIN},
        {"Shortcut_NewDailyMotion", 74, 0x20044, SHORTCUT_MENU_MAIN},
        {"Shortcut_NewYouTube", 76, 0x20059, SHORTCUT_MENU_MAIN},
        {"Shortcut_FormatText", 148, 113, SHORTCUT_MENU_MAIN},
        {"Shortcut_DisplayDownload", 90, 0x20054, SHORTCUT_MENU_MAIN},
        {"Shortcut_FocusToTree", 152, 49, SHORTCUT_MENU_MAIN},
        {"Shortcut_FocusToList", 154, 50, SHORTCUT_MENU_MAIN},
        {"Shortcut_FocusToView", 156, 51, SHORTCUT_MENU_MAIN},
    };
    static const Row globalRows[] = {
        {"GlobalShortcut_QuickMenu", 26, 0x60056, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioPause", 28, 0, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioBackWard", 30, 0, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioForWard", 32, 0, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioMute", 34, 0, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioVolumeUp", 36, 0, SHORTCUT_MENU_TRAY},
        {"GlobalShortcut_AudioVolumeDown", 38, 0, SHORTCUT_MENU_TRAY},
    };
    for (const Row& r : windowRows)
        AddQN_KeyboardShortcut(r.name, r.id, 0, r.key, r.menu);
    for (const Row& r : globalRows)
        AddQN_GlobalShortcut(r.name, r.id, 0, r.key, r.menu);
}

void LoadShortcutKeys(const IniReader& ini) {
    for (Shortcut& s : ShortcutList)
        s.Key = std::to_string(ini.ReadLong(s.Name, ValInt32(s.DefaultKey)));
}

void SaveShortcutKeys(IniWriter& ini) {
    for (const Shortcut& s : ShortcutList)
        ini.WriteLong(s.Name, s.KeyValue());
}

void Shortcuts_Install() {
    Pref_SetShortcutIO({[](const IniReader& in) { LoadShortcutKeys(in); },
                        [](IniWriter& out) { SaveShortcutKeys(out); }});
}

Shortcut* Shortcut_Find(int32_t eventID) {
    for (Shortcut& s : ShortcutList)
        if (s.EventID == eventID) return &s;
    return nullptr;
}

Shortcut* Shortcut_FindByName(std::string_view name) {
    for (Shortcut& s : ShortcutList)
        if (EqualsNoCase(s.Name, name)) return &s;
    return nullptr;
}

static std::string CodeName(int code) {
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= 96 && code <= 105) return "Pad" + std::to_string(code - 96);
    if (code >= 112 && code <= 135) return "F" + std::to_string(code - 111);
    switch (code) {
    case 8:
        return Lng(L_Key_Back);
    case 9:
        return Lng(L_Key_Tab);
    case 12:
        return Lng(L_Key_Clear);
    case 13:
        return Lng(L_Key_Return);
    case 18:
        return Lng(L_Key_Menu);
    case 19:
        return Lng(L_Key_Pause);
    case 20:
        return Lng(L_Key_Capital);
    case 27:
        return Lng(L_Key_Escape);
    case 32:
        return Lng(L_Key_Space);
    case 33:
        return Lng(L_Key_Prior);
    case 34:
        return Lng(L_Key_Next);
    case 35:
        return Lng(L_Key_End);
    case 36:
        return Lng(L_Key_Home);
    case 37:
        return Lng(L_Key_Left);
    case 38:
        return Lng(L_Key_Up);
    case 39:
        return Lng(L_Key_Right);
    case 40:
        return Lng(L_Key_Down);
    case 41:
        return Lng(L_Key_Select);
    case 42:
        return Lng(L_Key_Print);
    case 43:
        return Lng(L_Key_Execute);
    case 44:
        return Lng(L_Key_SnapShot);
    case 45:
        return Lng(L_Key_Insert);
    case 46:
        return Lng(L_Key_Delete);
    case 47:
        return Lng(L_Key_Help);
    case 93:
        return Lng(L_Key_Apps);
    case 106:
        return Lng(L_Key_Multiply);
    case 107:
        return Lng(L_Key_Add);
    case 108:
        return Lng(L_Key_Separator);
    case 109:
        return Lng(L_Key_Subtract);
    case 110:
        return Lng(L_Key_Decimal);
    case 111:
        return Lng(L_Key_Divide);
    case 144:
        return Lng(L_Key_NumLck);
    default:
        return {};
    }
}

std::string KeyName(int32_t keyValue) {
    std::string out;
    if (keyValue & KEYMOD_ALT) out += Lng(L_Key_Alt) + "+";
    if (keyValue & KEYMOD_CONTROL) out += Lng(L_Key_Control) + "+";
    if (keyValue & KEYMOD_SHIFT) out += Lng(L_Key_Shift) + "+";
    if (keyValue & KEYMOD_WIN) out += Lng(L_Key_Win) + "+";
    return out + CodeName(keyValue & 0xFF);
}

std::string ShortcutLabel(std::string_view name) {
    for (int e = 0; e < L_Count; ++e) {
        const char* key = Lng_Key(static_cast<LngEntry>(e));
        if (key && *key && EqualsNoCase(key, name) &&
            (StartsWithNoCase(name, "Shortcut_") || StartsWithNoCase(name, "GlobalShortcut_")))
            return Lng(static_cast<LngEntry>(e));
    }
    // The toggle shortcut has no entry of its own in the text table.
    if (EqualsNoCase(name, "Shortcut_ToggleReaded")) return "Bascule lu/non-lu";
    return std::string(name);
}

// ---------------------------------------------------------------- editor

static std::string RowText(const Shortcut& s) {
    return ShortcutLabel(s.Name) + "=" + KeyName(s.KeyValue());
}

static int FillKey(ShortcutEditorState& st) {
    st.KeyChoices.clear();
    st.KeyChoices.push_back({Lng(L_Key_NoKey), 0});
    for (int code = 1; code <= 255; ++code) {
        std::string name = KeyName(code);
        if (!name.empty()) st.KeyChoices.push_back({name, code});
    }
    st.KeyChoice = 0;
    return 1;
}

static int FillList(ShortcutEditorState& st) {
    st.Working.clear();
    for (int kind : {SHORTCUT_WINDOW, SHORTCUT_GLOBAL})
        for (const Shortcut& s : ShortcutList)
            if (s.Window == 0 && s.Kind == kind) st.Working.push_back(s);
    st.Rows.clear();
    for (const Shortcut& s : st.Working)
        st.Rows.push_back(RowText(s));
    st.Selected = st.Working.empty() ? -1 : 0;
    return 1;
}

static bool ValidRow(const ShortcutEditorState& st) {
    return st.Selected >= 0 && static_cast<size_t>(st.Selected) < st.Working.size();
}

static int SetCheckBox(ShortcutEditorState& st) {
    if (!ValidRow(st)) return 0;
    int32_t v = st.Working[st.Selected].KeyValue();
    st.Alt = v & KEYMOD_ALT;
    st.Control = v & KEYMOD_CONTROL;
    st.Shift = v & KEYMOD_SHIFT;
    st.Win = v & KEYMOD_WIN;
    st.KeyChoice = 0;
    for (size_t i = 0; i < st.KeyChoices.size(); ++i)
        if (st.KeyChoices[i].Code == (v & 0xFF)) st.KeyChoice = static_cast<int>(i);
    return 1;
}

static int Change(ShortcutEditorState& st) {
    st.Error.clear();
    st.ErrorTitle.clear();
    st.FocusList = false;
    if (!ValidRow(st)) return 0;
    int32_t mods = (st.Alt ? KEYMOD_ALT : 0) | (st.Control ? KEYMOD_CONTROL : 0) |
                   (st.Shift ? KEYMOD_SHIFT : 0) | (st.Win ? KEYMOD_WIN : 0);
    int code = 0;
    if (st.KeyChoice >= 0 && static_cast<size_t>(st.KeyChoice) < st.KeyChoices.size())
        code = st.KeyChoices[st.KeyChoice].Code;
    if (mods != 0 && code == 0) {
        st.Error = Lng(L_Msg_NoKeySelected);
        st.ErrorTitle = Lng(L_Request_Error);
        return 0;
    }
    int32_t value = mods | code;
    Shortcut& row = st.Working[st.Selected];
    if (value != 0) {
        for (const Shortcut& other : st.Working)
            if (other.EventID != row.EventID && other.KeyValue() == value) {
                st.Error = Lng(L_Msg_ExistShortcut) + "\r\n" + ShortcutLabel(other.Name);
                st.ErrorTitle = Lng(L_Request_Error);
                return 0;
            }
    }
    row.Key = std::to_string(value);
    st.Rows[st.Selected] = RowText(row);
    st.FocusList = true;
    return 1;
}

static int Update(ShortcutEditorState& st) {
    for (const Shortcut& w : st.Working)
        if (Shortcut* s = Shortcut_Find(w.EventID)) s->Key = w.Key;
    return 1;
}

int ShortcutEditor(std::string_view command, ShortcutEditorState& state) {
    if (EqualsNoCase(command, "fillkey")) return FillKey(state);
    if (EqualsNoCase(command, "filllist")) return FillList(state);
    if (EqualsNoCase(command, "setcheckbox")) return SetCheckBox(state);
    if (EqualsNoCase(command, "change")) return Change(state);
    if (EqualsNoCase(command, "update")) return Update(state);
    return 0;
}

int32_t HotKey_Command(int32_t hotKeyID) {
    switch (hotKeyID) {
    case 26:
        return 142;
    case 28:
        return 114;
    case 30:
        return 120;
    case 32:
        return 122;
    case 34:
        return 112;
    case 36:
        return 124;
    case 38:
        return 126;
    default:
        return 0;
    }
}

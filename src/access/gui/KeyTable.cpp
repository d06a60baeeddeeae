#include "access/gui/KeyTable.h"

#include <wx/defs.h>

namespace {
struct KeyRow {
    int vk;
    int wx;
    unsigned long keysym;
};

// Letters, digits, F1-F24 and the numeric pad follow by rule; the rest is listed.
const KeyRow kNamedKeys[] = {
    {8, WXK_BACK, 0xff08},          // BackSpace
    {9, WXK_TAB, 0xff09},           // Tab
    {12, WXK_CLEAR, 0xff0b},        // Clear
    {13, WXK_RETURN, 0xff0d},       // Return
    {18, WXK_ALT, 0xffe9},          // Alt_L
    {19, WXK_PAUSE, 0xff13},        // Pause
    {20, WXK_CAPITAL, 0xffe5},      // Caps_Lock
    {27, WXK_ESCAPE, 0xff1b},       // Escape
    {32, WXK_SPACE, 0x0020},        // space
    {33, WXK_PAGEUP, 0xff55},       // Prior
    {34, WXK_PAGEDOWN, 0xff56},     // Next
    {35, WXK_END, 0xff57},          // End
    {36, WXK_HOME, 0xff50},         // Home
    {37, WXK_LEFT, 0xff51},         // Left
    {38, WXK_UP, 0xff52},           // Up
    {39, WXK_RIGHT, 0xff53},        // Right
    {40, WXK_DOWN, 0xff54},         // Down
    {41, WXK_SELECT, 0xff60},       // Select
    {42, WXK_PRINT, 0xff61},        // Print
    {43, WXK_EXECUTE, 0xff62},      // Execute
    {44, WXK_SNAPSHOT, 0xff61},     // Print (the print-screen key)
    {45, WXK_INSERT, 0xff63},       // Insert
    {46, WXK_DELETE, 0xffff},       // Delete
    {47, WXK_HELP, 0xff6a},         // Help
    {93, WXK_WINDOWS_MENU, 0xff67}, // Menu
    {106, WXK_NUMPAD_MULTIPLY, 0xffaa},
    {107, WXK_NUMPAD_ADD, 0xffab},
    {108, WXK_NUMPAD_SEPARATOR, 0xffac},
    {109, WXK_NUMPAD_SUBTRACT, 0xffad},
    {110, WXK_NUMPAD_DECIMAL, 0xffae},
    {111, WXK_NUMPAD_DIVIDE, 0xffaf},
    {144, WXK_NUMLOCK, 0xff7f}, // Num_Lock
    {145, WXK_SCROLL, 0xff14},  // Scroll_Lock
};

KeyRow Lookup(int vk) {
    if (vk >= 'A' && vk <= 'Z') return {vk, vk, static_cast<unsigned long>(vk - 'A' + 'a')};
    if (vk >= '0' && vk <= '9') return {vk, vk, static_cast<unsigned long>(vk)};
    if (vk >= 96 && vk <= 105)
        return {vk, WXK_NUMPAD0 + (vk - 96), 0xffb0ul + static_cast<unsigned long>(vk - 96)};
    if (vk >= 112 && vk <= 135)
        return {vk, WXK_F1 + (vk - 112), 0xffbeul + static_cast<unsigned long>(vk - 112)};
    for (const KeyRow& r : kNamedKeys)
        if (r.vk == vk) return r;
    return {vk, 0, 0};
}
} // namespace

int KeyTable_WxKey(int virtualKey) {
    return Lookup(virtualKey).wx;
}

unsigned long KeyTable_Keysym(int virtualKey) {
    return Lookup(virtualKey).keysym;
}

int KeyTable_FromWxKey(int wxKey) {
    if (wxKey >= 'a' && wxKey <= 'z') wxKey -= 'a' - 'A';
    for (int vk = 1; vk <= 255; ++vk)
        if (Lookup(vk).wx == wxKey) return vk;
    return 0;
}

#include "shell/core/MainCommands.h"

#include "access/core/Shortcuts.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/core/MainView.h"
#include "shell/base/Prefs.h"

int32_t Display_BitOf(int id) {
    switch (id) {
    case CMD_DISPLAY_READ:
        return DISPLAY_MARK_READ;
    case CMD_DISPLAY_UNREAD:
        return DISPLAY_MARK_UNREAD;
    case CMD_DISPLAY_CONTENT:
        return DISPLAY_CONTENT_KIND;
    case CMD_DISPLAY_VIEWS:
        return DISPLAY_VIEWS;
    case CMD_SORT_DATE:
        return DISPLAY_SORT_BY_DATE;
    case CMD_SORT_TITLE:
        return DISPLAY_SORT_BY_TITLE;
    case CMD_SORT_DATE_GROUPS:
        return DISPLAY_GROUP_BY_DATE;
    case CMD_GROUP_UNREAD:
        return DISPLAY_GROUP_UNREAD;
    case CMD_ONLY_UNREAD:
        return DISPLAY_ONLY_UNREAD;
    case CMD_DISPLAY_HTML:
        return DISPLAY_HTML;
    case CMD_READABILITY:
        return DISPLAY_READABILITY;
    default:
        return 0;
    }
}

int32_t Display_Toggle(int32_t display, int id, std::string* say,
                       const std::string& readabilityLabel) {
    if (say) say->clear();
    const int32_t bit = Display_BitOf(id);
    if (bit == 0) return display;
    display ^= bit;
    const bool on = (display & bit) != 0;
    if (on && bit == DISPLAY_SORT_BY_DATE) display &= ~DISPLAY_SORT_BY_TITLE;
    if (on && bit == DISPLAY_SORT_BY_TITLE) display &= ~DISPLAY_SORT_BY_DATE;
    if (!say) return display;
    if (bit == DISPLAY_GROUP_UNREAD)
        *say = on ? Lng(L_Say_SortFeedInGroup) : Lng(L_Say_SortFeedNoInGroup);
    else if (bit == DISPLAY_ONLY_UNREAD)
        *say = on ? Lng(L_Say_OnlyUnReaded) : Lng(L_Say_NotOnlyUnReaded);
    else if (bit == DISPLAY_READABILITY)
        *say = ReplaceAll(readabilityLabel, "&", "") +
               (on ? Lng(L_Sufix_Enabled) : Lng(L_Sufix_Disabled));
    return display;
}

long NextUnread_Row(const std::vector<bool>& unread, long selected, int direction) {
    const long n = static_cast<long>(unread.size());
    if (n == 0) return -1;
    long i;
    if (direction >= 0)
        i = selected < 0 ? 0 : selected + 1;
    else
        i = selected < 0 ? n - 1 : selected - 1;
    const long step = direction >= 0 ? 1 : -1;
    for (; i >= 0 && i < n; i += step)
        if (unread[static_cast<size_t>(i)]) return i;
    return -1;
}

int Zone_Next(int zone, int direction) {
    static const int order[] = {ZONE_TREE, ZONE_LIST, ZONE_TEXT};
    int at = 0;
    for (int i = 0; i < 3; ++i)
        if (order[i] == zone || (zone == ZONE_HTML && order[i] == ZONE_TEXT)) at = i;
    at = (at + (direction >= 0 ? 1 : 2)) % 3;
    return order[at];
}

std::vector<FixedAccelerator> MainWindow_FixedAccelerators(bool extendShortcut) {
    // Windows virtual-key codes.
    enum {
        VK_TAB = 9,
        VK_RETURN = 13,
        VK_SPACE = 32,
        VK_LEFT = 0x25,
        VK_UP = 0x26,
        VK_RIGHT = 0x27,
        VK_DOWN = 0x28,
        VK_DELETE = 0x2E,
        VK_F1 = 0x70,
        VK_F2 = 0x71,
        VK_F3 = 0x72,
        VK_F6 = 0x75,
    };
    std::vector<FixedAccelerator> keys = {
        {KEYMOD_ALT | VK_RETURN, CMD_FEED_PROPERTIES},
        {VK_SPACE, CMD_ARTICLE_READ_OR_PLAY},
        {VK_RETURN, CMD_OPEN_BROWSER},
        {VK_TAB, CMD_NEXT_ZONE},
        {KEYMOD_SHIFT | VK_TAB, CMD_PREVIOUS_ZONE},
        {VK_F1, CMD_HELP_CONTEXT},
        {KEYMOD_ALT | VK_F2, CMD_DEBUG_FEED},
        {KEYMOD_ALT | VK_F3, CMD_DEBUG_ARTICLE},
        {KEYMOD_SHIFT | VK_SPACE, CMD_PODCAST_DOWNLOAD},
        {KEYMOD_CONTROL | 'N', CMD_NEW_FEED},
        {KEYMOD_CONTROL | 'F', CMD_FIND},
        {VK_F3, CMD_FIND_NEXT},
        {KEYMOD_SHIFT | VK_F3, CMD_FIND_PREVIOUS},
        {VK_DELETE, CMD_DELETE},
        {VK_F6, CMD_FOCUS_TOGGLE},
        {'9', CMD_TEMPO_SLOW},
        {'0', CMD_TEMPO_NORMAL},
        {'8', CMD_TEMPO_QUICK1},
        {'7', CMD_TEMPO_QUICK2},
        {'6', CMD_TEMPO_QUICK3},
    };
    if (extendShortcut) {
        keys.push_back({KEYMOD_CONTROL | VK_LEFT, CMD_AUDIO_BACKWARD});
        keys.push_back({KEYMOD_CONTROL | VK_RIGHT, CMD_AUDIO_FORWARD});
        keys.push_back({KEYMOD_CONTROL | VK_UP, CMD_AUDIO_VOLUMEUP});
        keys.push_back({KEYMOD_CONTROL | VK_DOWN, CMD_AUDIO_VOLUMEDOWN});
        keys.push_back({KEYMOD_CONTROL | VK_RETURN, CMD_AUDIO_PAUSE});
    }
    return keys;
}

bool Geometry_Moved(bool normalState, int32_t x, int32_t y) {
    if (!normalState || (Pref.MainWindowX == x && Pref.MainWindowY == y)) return false;
    Pref.MainWindowX = x;
    Pref.MainWindowY = y;
    PrefChanged = true;
    return true;
}

bool Geometry_Resized(bool normalState, int32_t w, int32_t h) {
    if (!normalState || w <= 0 || h <= 0 || (Pref.MainWindowW == w && Pref.MainWindowH == h))
        return false;
    Pref.MainWindowW = w;
    Pref.MainWindowH = h;
    PrefChanged = true;
    return true;
}

bool Geometry_StateChanged(int32_t state) {
    if (Pref.MainWindowZ == state) return false;
    Pref.MainWindowZ = state;
    PrefChanged = true;
    return true;
}

int32_t TreeWidth_Parse(const std::string& answer) {
    const std::string t = Trim(answer);
    if (t.empty()) return 0;
    for (char c : t)
        if (c < '0' || c > '9') return 0;
    if (t.size() > 3) return 0;
    const int32_t v = static_cast<int32_t>(ValInt(t));
    return (v >= 10 && v <= 70) ? v : 0;
}

bool Quit_NeedsConfirmation(uint32_t prefFlags, bool podcastsDownloading) {
    return (prefFlags & PREF_ISSURETOQUIT) && podcastsDownloading;
}

std::string Help_File(int command) {
    switch (command) {
    case CMD_HELP:
        return "Orvalis.chm";
    case CMD_HELP_HTML:
        return "Orvalis.html";
    case CMD_HELP_CONTEXT:
        return "Orvalis.Chm";
    default:
        return {};
    }
}

std::string Help_Topic(int zone) {
    switch (zone) {
    case ZONE_TREE:
        return "ZoneArbo.html";
    case ZONE_LIST:
        return "ZoneListe.html";
    default:
        return "ZoneVisu.html";
    }
}

std::string Help_Page(int command, int zone) {
    switch (command) {
    case CMD_HELP:
    case CMD_HELP_HTML:
        return "Orvalis.html";
    case CMD_HELP_CONTEXT:
        return Help_Topic(zone);
    default:
        return {};
    }
}

std::string Help_Path(const std::string& appPath, const std::string& language,
                      const std::string& page) {
    // A page name never holds a folder: only the four shipped names reach here.
    if (page.empty() || page.find('/') != std::string::npos) return {};
    if (!language.empty() && language.find('/') == std::string::npos && language != "." &&
        language != "..") {
        const std::string own = appPath + "Help/" + language + "/" + page;
        if (File_Exists(own)) return own;
    }
    const std::string french = appPath + page;
    return File_Exists(french) ? french : std::string();
}

std::string NotYetAvailable_Text() {
    return "Pas encore disponible";
}

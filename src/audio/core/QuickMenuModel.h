// The quick menu's content, built anew at each opening without a window: the audio
// controls, the unread podcasts by feed, the podcasts left half-way, the recently played
// podcasts and radios, what is loaded, and mute. The window turns the entries into a
// pop-up menu; the numbered entries come back through QuickMenu_Run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct QuickMenuEntry {
    std::string Label; // never empty
    int Command = 0;   // 0 for a submenu
    bool Enabled = true;
    bool Checkable = false;
    bool Checked = false;
    std::vector<QuickMenuEntry> Sub; // a submenu's entries
};

// The command numbers of the entries (the main window's numbers for the same commands).
enum : int {
    QUICKCMD_RESTORE = 478,
    QUICKCMD_PAUSE = 114,
    QUICKCMD_STOP = 110,
    QUICKCMD_COPY_LINK = 484,
    QUICKCMD_FEED = 488,
    QUICKCMD_PAUSED = 490,
    QUICKCMD_MUTE = 112,
    QUICKCMD_UNREAD_FIRST = 4100,
    QUICKCMD_PLAYED_FIRST = 4200,
    QUICKCMD_RADIO_FIRST = 4400,
    QUICKCMD_PARTIAL_FIRST = 4700,
};

enum : int {
    QUICK_UNREAD_MAX = 90,
    QUICK_UNREAD_PER_FEED = 5,
    QUICK_PARTIAL_MAX = 10,
    QUICK_PLAYED_MAX = 10,
};

// Article identifiers (`FeedID`) of the unread and partly played entries, in entry order.
extern std::vector<int32_t> QuickUnreadTargets;
extern std::vector<int32_t> QuickPartialTargets;

// The entries in their order. Empties the two target lists first, and drops from
// PlayedItems / PlayedFeeds the entries whose article or feed no longer exists.
std::vector<QuickMenuEntry> QuickMenu_Build(const std::string& appName);

// Plays what a numbered entry names (4100 + n unread, 4200 + p recently played, 4400 + p
// recent radio, 4700 + n partly played). `feedOut` / `itemOut` receive what was chosen
// so the window can select it. False when the entry names nothing (any more).
bool QuickMenu_Run(int command, int32_t* rssOut = nullptr, int32_t* feedIdOut = nullptr);

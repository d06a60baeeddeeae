// The main window's command numbers and the rules behind its small commands that need no
// window: the "Display" toggles, the next/previous unread walk, the zone cycle, the fixed
// accelerators, the window geometry kept in the preferences and the quit question.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Command numbers: a menu entry, a keyboard shortcut, a tray entry and a hot key that do
// the same thing share one number.
enum : int {
    // Tray entries and global hot keys.
    CMD_HOTKEY_QUICKMENU = 26,
    CMD_HOTKEY_PAUSE = 28,
    CMD_HOTKEY_MUTE = 34,
    CMD_HOTKEY_VOLUMEUP = 36,
    CMD_HOTKEY_VOLUMEDOWN = 38,
    // Fichier
    CMD_PREFS = 42,
    CMD_OPML_EXPORT_ALL = 44,
    CMD_OPML_EXPORT_GROUP = 46,
    CMD_OPML_EXPORT_EACH_GROUP = 48,
    CMD_OPML_IMPORT = 50,
    CMD_CONFIG_LOAD = 52,
    CMD_CONFIG_SAVE = 54,
    CMD_CONFIG_SAVE_ARCHIVE = 56,
    CMD_CHECK_OBSOLETE = 58,
    CMD_PODCAST_COPY = 60,
    CMD_PODCAST_SYNC = 62,
    CMD_QUIT = 64,
    CMD_FEED_ACTUALIZE = 66,
    CMD_ACTUALIZE_ALL = 68,
    CMD_STOP_ACTUALIZE = 70,
    CMD_NEW_FEED = 72,
    CMD_NEW_DAILYMOTION = 74,
    CMD_NEW_YOUTUBE = 76,
    CMD_FIND = 78,
    CMD_FIND_NEXT = 80,
    CMD_FIND_PREVIOUS = 82,
    CMD_NEXT_UNREAD = 84,
    CMD_PREV_UNREAD = 86,
    CMD_DELETE = 88,
    CMD_DOWNLOADS = 90,
    // Affichage
    CMD_DISPLAY_READ = 92,
    CMD_DISPLAY_UNREAD = 94,
    CMD_SORT_DATE = 96,
    CMD_SORT_DATE_GROUPS = 98,
    CMD_SORT_TITLE = 100,
    CMD_GROUP_UNREAD = 102,
    CMD_ONLY_UNREAD = 104,
    CMD_DISPLAY_VIEWS = 106,
    CMD_DISPLAY_CONTENT = 108,
    // Audio
    CMD_AUDIO_STOP = 110,
    CMD_AUDIO_MUTE = 112,
    CMD_AUDIO_PAUSE = 114,
    CMD_AUDIO_PLAY = 116,
    CMD_AUDIO_BACKNORMAL = 118,
    CMD_AUDIO_BACKWARD = 120,
    CMD_AUDIO_FORWARD = 122,
    CMD_AUDIO_VOLUMEUP = 124,
    CMD_AUDIO_VOLUMEDOWN = 126,
    CMD_TEMPO_UP = 128,
    CMD_TEMPO_DOWN = 130,
    CMD_TEMPO_SLOW = 132,
    CMD_TEMPO_NORMAL = 134,
    CMD_TEMPO_QUICK1 = 136,
    CMD_TEMPO_QUICK2 = 138,
    CMD_TEMPO_QUICK3 = 140,
    CMD_QUICK_MENU = 142,
    CMD_TREE_WIDTH = 144,
    CMD_DISPLAY_HTML = 146,
    CMD_READABILITY = 148,
    CMD_FOCUS_TOGGLE = 150,
    CMD_FOCUS_TREE = 152,
    CMD_FOCUS_LIST = 154,
    CMD_FOCUS_VIEW = 156,
    // Aide
    CMD_ABOUT = 158,
    CMD_STATISTICS = 160,
    CMD_EXPLORE_PODCASTS = 162,
    CMD_HELP = 166,
    CMD_HELP_HTML = 168,
    CMD_HELP_CONTEXT = 170,
    CMD_DEBUG_FEED = 172,
    CMD_DEBUG_ARTICLE = 174,
    CMD_EXTRACT_URL = 176,
    CMD_EXTRACT_URL_FILTERED = 178,
    CMD_ADD_FEEDS = 180,
    CMD_ADD_RADIOS = 182,
    CMD_ADD_PODCASTS = 184,
    CMD_CHECK_VERSION = 186,
    CMD_BANK_UPDATE = 188,
    CMD_BANK_OFFER = 190,
    CMD_BANK_CLIPBOARD = 192,
    CMD_NEXT_ZONE = 196,
    CMD_ESCAPE = 198,
    CMD_ALTF4 = 200,
    CMD_PREVIOUS_ZONE = 202,
    CMD_OPEN_BROWSER = 204,
    CMD_SHOW_LOG = 218,
    CMD_CLOSE_LOG = 220,
    // Pop-up menus
    CMD_CONTEXT_MENU = 384,
    CMD_GROUP_RENAME = 390,
    CMD_GROUP_FORCE_CATCHTV = 392,
    CMD_GROUP_FORCE_PODCAST = 394,
    CMD_ALL_FORCE_TEXT = 396,
    CMD_NEXT_UNDEFINED = 398,
    CMD_GROUP_MOVE_BY_URL = 400,
    CMD_CONVERT_YOUTUBE = 402,
    CMD_GROUP_DELETE = 404,
    CMD_POPUP_NEW_FEED = 406,
    CMD_FEED_PROPERTIES = 408,
    CMD_FEED_TOGGLE_DISABLE = 412,
    CMD_GROUP_DISABLE = 414,
    CMD_GROUP_ENABLE = 416,
    CMD_FEED_COPY_LINK = 418,
    CMD_FEED_TOGGLE_ALARM = 420,
    CMD_FEED_DELETE = 422,
    CMD_RADIO_PLAY = 426,
    CMD_ARTICLE_TOGGLE_READ = 432,
    CMD_ARTICLE_ALL_UNREAD = 438,
    CMD_ARTICLE_ALL_READ = 440,
    CMD_ARTICLE_DELETE = 442,
    CMD_ARTICLE_DELETE_ALL = 444,
    CMD_ARTICLE_READ_OR_PLAY = 446,
    CMD_SHARE_MAIL = 448,
    CMD_SHARE_FACEBOOK = 450,
    CMD_SHARE_TWITTER = 452,
    CMD_PODCAST_DOWNLOAD = 454,
    CMD_PODCAST_PLAY_FILE = 458,
    CMD_PODCAST_PLAY_LINK = 460,
    CMD_ARTICLE_LINK_CLIPBOARD = 462,
    CMD_PODCAST_LINK_CLIPBOARD = 464,
    CMD_SUBSCRIBE_CHANNEL = 466,
    CMD_TRAY_QUIT = 476,
    CMD_RESTORE = 478,
    CMD_HIDE_TO_TRAY = 480,
    CMD_QUICK_COPY_LINK = 484,
    CMD_QUICK_FEED = 488,
    CMD_QUICK_PAUSED = 490,
    // Numbered ranges.
    CMD_ARTICLE_LINK_FIRST = 4000,   // + n, n < 25
    CMD_QUICK_UNREAD_FIRST = 4100,   // + n, n < 90
    CMD_QUICK_PLAYED_FIRST = 4200,   // + n, n < 10
    CMD_QUICK_RADIO_FIRST = 4400,    // + n, n < 10
    CMD_DOWNLOAD_ENTRY_FIRST = 4601, // + n, n < 30
    CMD_QUICK_PARTIAL_FIRST = 4700,  // + n, n < 10
};

// Window and gadget numbers (events and help topics).
enum : int {
    ZONE_TREE = 0,
    ZONE_LIST = 2,
    ZONE_TEXT = 4,
    ZONE_HTML = 6,
};

// Pop-up menu numbers.
enum : int {
    MENU_GROUP = 386,
    MENU_FEED = 388,
    MENU_RADIO = 424,
    MENU_ARTICLE = 428,
    MENU_GROUPED = 430,
    MENU_TRAY = 474,
    MENU_QUICK = 482,
};

// The "Display" bit command `id` toggles; 0 when `id` is no display toggle.
int32_t Display_BitOf(int id);
// The new "Display" value after command `id` (sorting by date and by title exclude each
// other). `say` receives what is announced ("" for none); `readabilityLabel` is the
// menu label used for the readability toggle's announcement.
int32_t Display_Toggle(int32_t display, int id, std::string* say,
                       const std::string& readabilityLabel = {});

// From row `selected` (-1: none), the first row in `direction` (+1 / -1) whose article is
// unread; -1 when there is none. Without a selection the walk starts at the first row
// (forward) or the last (backward). The walk stays inside the list.
long NextUnread_Row(const std::vector<bool>& unread, long selected, int direction);

// The zone that follows (`direction` > 0) or precedes `zone` in the cycle tree → list →
// text → tree.
int Zone_Next(int zone, int direction);

// One fixed accelerator: key value (Windows virtual-key code with KEYMOD_* bits) and the
// command it sends.
struct FixedAccelerator {
    int32_t Key;
    int Command;
};
// The main window's fixed accelerators; with `extendShortcut` the Control+arrow and
// Control+Enter ones are added.
std::vector<FixedAccelerator> MainWindow_FixedAccelerators(bool extendShortcut);

// "MainWindowZ" state codes.
enum : int32_t {
    WINDOWSTATE_NORMAL = 0,
    WINDOWSTATE_MAXIMIZED = 16777216,
    WINDOWSTATE_MINIMIZED = 536870912,
};
// Window moved / resized / changed state: the preferences keep the position and size only
// while the window is in the normal state. Each returns true when a value changed (and
// sets PrefChanged).
bool Geometry_Moved(bool normalState, int32_t x, int32_t y);
bool Geometry_Resized(bool normalState, int32_t w, int32_t h);
bool Geometry_StateChanged(int32_t state);
// The tree's share of the window width asked by command 144: 10..70, 0 when the answer is
// not a number in that range.
int32_t TreeWidth_Parse(const std::string& answer);

// True when leaving must be confirmed: "IsSureToQuit" on and podcast files downloading.
bool Quit_NeedsConfirmation(uint32_t prefFlags, bool podcastsDownloading);

// Help: the file of the program folder that command 166, 168 or 170 opens ("" for any
// other command), and the topic of a zone ("ZoneArbo.html", "ZoneListe.html",
// "ZoneVisu.html").
std::string Help_File(int command);
std::string Help_Topic(int zone);
// The page a help command opens off Windows, where there is no compiled help: the main
// page "Orvalis.html" for 166 and 168, the focused zone's page for 170; "" for any other.
std::string Help_Page(int command, int zone);
// The file of `page` in the program folder `appPath`: the language's own page
// ("Help/<language>/<page>") when `language` names one that has it, else the French page
// beside the program; "" when neither exists.
std::string Help_Path(const std::string& appPath, const std::string& language,
                      const std::string& page);

// The text announced for a command whose module is not part of this build.
std::string NotYetAvailable_Text();

// The user's settings: the global `Pref` record (one field per key of "Orvalis.ini"),
// the flag set `PrefFlags`, and the functions that read, check and write them.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

class IniReader;
class IniWriter;

// Bits of PrefFlags, one per flag key.
enum : uint32_t {
    PREF_ESCAPTOSYSTRAY = 1,
    PREF_ALARMBYPOPUP = 2,
    PREF_ALARMBYSPEECH = 4,
    PREF_ALARMBYSOUND = 8,
    PREF_AUTOSTART = 16,
    PREF_ALARMONSTART = 32,
    PREF_AUTOSETREADEDFEED = 64,
    PREF_ALARMALLDOWNLOADED = 128,
    PREF_ALARMFINISHFIRSTACTUALIZE = 256,
    PREF_DELPODCASTWITHFEED = 512,
    PREF_ISSURETOQUIT = 1024,
    PREF_PLAYLINKBYDEFAULT = 2048,
    PREF_MINIMIZEONSTART = 4096,
    PREF_NOWARNINGSYNCPOD = 8192,
    PREF_EXTENDSHORTCUT = 16384,
    PREF_ALTF4TOSYSTRAY = 32768,
    PREF_SYNCREADEDFEED = 65536,
};

// Bits of "EditStyleFont".
enum : int32_t {
    PREF_FONT_UNDERLINE = 4,
    PREF_FONT_STRIKEOUT = 8,
    PREF_FONT_BOLD = 256,
    PREF_FONT_ITALIC = 512,
};

// Defaults of the few keys whose default other modules compare against.
inline constexpr const char* PREF_AUDIOEXTENSION_DEFAULT =
    "aiff;aad;flac;fla;ogg;mp3;m4a;m4v;wav;wma";
inline constexpr const char* PREF_AUDIOEXTENSION_OLDER = "aiff;aad;flac;fla;ogg;mp3;m4a;wav;wma";
inline constexpr const char* PREF_CHECKVERSIONURL_DEFAULT =
    "http://orvalis.quenbels.fr/Orvalis/index.php";
inline constexpr const char* PREF_DBRSSURL_DEFAULT =
    "http://orvalis.quenbels.fr/OrvalisDB/OrvalisU.Dat";

struct Preferences {
    std::string DownloadPriority;
    int32_t MainWindowX = 0, MainWindowY = 0, MainWindowW = 0, MainWindowH = 0, MainWindowZ = 0;
    std::string EditNameFont;
    int32_t EditSizeFont = 0, EditStyleFont = 0, EditColorFont = 0;
    std::string AppLang;
    int32_t MainHotkey = 0;
    std::string NetAgent;
    // Bound on a document downloaded into memory or parsed, in megabytes (1..1024).
    int32_t MaxDownloadSize = 0;
    std::string DBRssURL;
    std::string AudioTimeFormat;
    std::string DurationTimeFormat;
    std::string Navigator;
    std::string AudioPlayer;
    // Folders, resolved (tokens replaced, trailing '/'); written back with tokens.
    std::string PodcastPath;
    std::string SyncReadedPath;
    std::string FeedTextPath;
    std::string SyncReadedFile;
    int32_t SyncReadedNbTime = 0;
    std::string ProxyHost;
    int32_t ProxyPort = 0;
    std::string ProxyID;
    std::string ProxyPassWord; // clear text in memory; Base64 of its UTF-16LE bytes in the file
    int32_t UseProxy = 0;      // 255 when on
    int32_t Display = 0;
    int32_t ReadedColor = 0;
    int32_t IntervalFeedToSave = 0;
    int32_t ArboWidth = 0;
    int32_t MaxRss = 0;
    int32_t NbDayBeforeDelPodCast = 0;
    int32_t AudioTempo = 0;
    int32_t AudioVolume = 0;
    int32_t MuteVolume = 0;
    int32_t MoveAudio = 0;
    std::string AudioExtension;
    std::string AudioExtFileBass;
    std::string AudioExtLinkBass;
    std::string AudioExtFilePure;
    std::string AudioExtLinkPure;
    std::string AlarmAllDownloadedFile;
    std::string AlarmFinishFirstActualizeFile;
    std::string AlarmNewFeedFile;
    int32_t AlarmVolume = 0;
    std::string NeededWordInURL;
    int32_t FormatDate = 0;
    // Feeds downloaded and parsed at the same time by the update queue (1..16).
    int32_t UpdateThreads = 0;
    // The update page the version check reads; written only when not the default.
    std::string CheckVersionURL;
};

extern Preferences Pref;
extern uint32_t PrefFlags;
// Set when a setting changed and "Orvalis.ini" must be written.
extern bool PrefChanged;

// Where the path tokens and the defaults point. Start-up fills it; until then it is
// taken from the running process (program folder, documents folder, current folder).
struct PrefEnvironment {
    std::string AppPath;       // "%MainApp%", trailing '/'
    std::string DocumentsPath; // "%MyDoc%", trailing '/'
    std::string ProgFilesPath; // "%ProgFiles%", trailing '/'; may be empty
    std::string WindowsRoot;   // "%WindowsRoot%" (a drive such as "C:"); empty on Linux
    std::string DataPath;      // the data folder, trailing '/'
    bool Portable = false;
    std::string UserName;      // login name
    int VersionCode = 200;     // WindowsVersionCode()
    std::string SystemRelease; // the kernel release ("uname -r"), for the read-state file name
};
PrefEnvironment& Pref_Environment();

// Bounds and default of "UpdateThreads". The default is 4, or the value (1..16) of the
// environment variable ORVALIS_UPDATE_THREADS, so that a whole test run can be made with
// one worker or with several.
inline constexpr int32_t PREF_UPDATETHREADS_MIN = 1;
inline constexpr int32_t PREF_UPDATETHREADS_MAX = 16;
int32_t Pref_DefaultUpdateThreads();

// Every setting back to its default (PrefFlags included); PrefChanged untouched.
void Pref_Defaults();
// Reads `file` (missing keys take their defaults), then Pref_Check. With `mustExist` and
// no readable file nothing changes and 0 is returned; otherwise nonzero when the file
// was opened. A missing file sets PrefChanged so that it is written at exit.
int Pref_Charge(const std::string& file, int mustExist);
// Defaults for unusable values and bounds; resolves the folders.
void Pref_Check();
// Writes every written key, in the file's order, into `out` (the comment lines excluded).
void Pref_Write(IniWriter& out);
// Writes "Orvalis.ini" in the current folder through a ".Tmp" twin when `force` or
// PrefChanged; clears PrefChanged. 0 (PrefChanged kept) when the file could not be
// written: the caller shows "Impossible de sauvegarder les préférences".
int Pref_Save(int force);
// The same to any file name (configuration export, the tool).
int Pref_SaveTo(const std::string& file, int force);

// The shortcut keys live in the shortcut records; their owner installs how they are read
// and written. Without it the keys are kept here by name, with their defaults.
struct PrefShortcutIO {
    std::function<void(const IniReader&)> Load;
    std::function<void(IniWriter&)> Save;
};
void Pref_SetShortcutIO(PrefShortcutIO io);
// The shortcut key kept here (decimal text), for the built-in fallback; "" when unknown.
std::string Pref_ShortcutKey(const std::string& name);

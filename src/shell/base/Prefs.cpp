#include "shell/base/Prefs.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"

Preferences Pref;
uint32_t PrefFlags = 0;
bool PrefChanged = false;

// ------------------------------------------------------------------ environment

static std::string WithSlash(std::string path) {
    path = ToNativeSeparators(path);
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

static std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

// XDG_DOCUMENTS_DIR from the environment or from user-dirs.dirs, else ~/Documents.
static std::string DocumentsFolder() {
    if (const char* env = std::getenv("XDG_DOCUMENTS_DIR"); env && *env) return WithSlash(env);
    const std::string home = HomeFolder();
    const char* xdgConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string config = xdgConfig && *xdgConfig ? std::string(xdgConfig) : home + "/.config";
    std::string dirs;
    if (File_ReadAll(config + "/user-dirs.dirs", dirs)) {
        for (const std::string& raw : Split(dirs, '\n')) {
            const std::string line = Trim(raw);
            if (line.rfind("XDG_DOCUMENTS_DIR=", 0) != 0) continue;
            std::string value = line.substr(18);
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            value = ReplaceAll(value, "$HOME", home);
            if (!value.empty() && value != home && value != home + "/") return WithSlash(value);
        }
    }
    return WithSlash(home + "/Documents");
}

static std::string LoginName() {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    for (const char* name : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(name); v && *v) return v;
    return "user";
}

static PrefEnvironment ProcessEnvironment() {
    PrefEnvironment env;
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    env.AppPath = ec ? std::string() : WithSlash(exe.parent_path().string());
    env.DocumentsPath = DocumentsFolder();
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    env.DataPath = ec ? std::string("./") : WithSlash(cwd.string());
    env.UserName = LoginName();
    struct utsname un {};
    env.SystemRelease = ::uname(&un) == 0 ? un.release : "0";
    return env;
}

PrefEnvironment& Pref_Environment() {
    static PrefEnvironment env = ProcessEnvironment();
    return env;
}

// ------------------------------------------------------------------ path tokens
// The tokens stand for the folders of the preferences' environment (start-up fills it;
// tests point it elsewhere); the replacing itself is PathTools'.

static PathTokenFolders PrefFolders() {
    const PrefEnvironment& env = Pref_Environment();
    return {env.AppPath, env.DocumentsPath, env.ProgFilesPath, env.WindowsRoot};
}

// The folder exists (created when asked) and, when asked, a file can be created in it.
static bool FolderUsable(const std::string& folder, bool create, bool testWrite) {
    if (folder.empty()) return false;
    if (create) Dir_Create(folder);
    if (!Dir_Exists(folder)) return false;
    if (!testWrite) return true;
    for (int n = 1; n < INT_MAX; ++n) {
        const std::string probe = WithSlash(folder) + std::to_string(n) + ".txt";
        if (File_Exists(probe)) continue;
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return false;
        ::close(fd);
        File_Delete(probe);
        return true;
    }
    return false;
}

// A sound file name is usable when its last component is a valid file name; the folder
// part may be any path the sound chooser returned.
static bool IsUsableFileName(const std::string& text) {
    const std::string t = Trim(text);
    const size_t sep = t.find_last_of("/\\");
    const std::string name = sep == std::string::npos ? t : t.substr(sep + 1);
    if (name.empty() || name == "." || name == "..") return false;
    for (const char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || std::string_view("\"*:<>?|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

static std::string Base64EncodeText(const std::string& text) {
    return Base64Encode(Utf8ToUtf16LEBytes(text));
}

static bool IsStrictBase64(const std::string& text) {
    if (text.size() % 4) return false;
    size_t pad = 0;
    for (const char c : text) {
        if (c == '=') {
            ++pad;
            continue;
        }
        if (pad || !(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/'))
            return false;
    }
    return pad <= 2;
}

// False (and `text` untouched) when the stored value is not the Base64 of UTF-16LE bytes.
static bool Base64DecodeText(const std::string& stored, std::string& text) {
    const std::string t = Trim(stored);
    if (!IsStrictBase64(t)) return false;
    const std::string bytes = Base64Decode(t);
    if (bytes.size() % 2) return false;
    text = Utf16LEBytesToUtf8(bytes);
    return true;
}

// A stored password that cannot be decoded (edited by hand) is written back as it was
// found, unless the password is set again meanwhile.
static std::string UndecodedProxyPassWord;

// ------------------------------------------------------------------ shortcut keys

namespace {
struct ShortcutDefault {
    const char* Name;
    int32_t Key;
};
// The registered shortcuts and their default keys, in registration order.
constexpr ShortcutDefault kShortcutDefaults[] = {
    {"Shortcut_ActualizeRss", 116},        {"Shortcut_ToggleReaded", 0x20020},
    {"Shortcut_ActualizeAllRss", 0x10074}, {"Shortcut_AudioTempoUp", 0x20021},
    {"Shortcut_AudioTempoDown", 0x20022},  {"Shortcut_AudioBackNormal", 8},
    {"Shortcut_AudioBackWard", 0x30042},   {"Shortcut_AudioForWard", 0x30046},
    {"Shortcut_QuickMenu", 0x20052},       {"Shortcut_AudioStop", 0x20053},
    {"Shortcut_AudioPause", 0x20050},      {"Shortcut_AudioMute", 118},
    {"Shortcut_AudioVolumeUp", 121},       {"Shortcut_AudioVolumeDown", 120},
    {"Shortcut_SyncPod", 0x20074},         {"Shortcut_NextUnreaded", 0x20055},
    {"Shortcut_PrevUnreaded", 0x30055},    {"Shortcut_SortFeedRegroup", 115},
    {"Shortcut_OnlyUnReaded", 119},        {"Shortcut_NewDailyMotion", 0x20044},
    {"Shortcut_NewYouTube", 0x20059},      {"Shortcut_FormatText", 113},
    {"Shortcut_DisplayDownload", 0x20054}, {"Shortcut_FocusToTree", 49},
    {"Shortcut_FocusToList", 50},          {"Shortcut_FocusToView", 51},
    {"GlobalShortcut_QuickMenu", 0x60056}, {"GlobalShortcut_AudioPause", 0},
    {"GlobalShortcut_AudioBackWard", 0},   {"GlobalShortcut_AudioForWard", 0},
    {"GlobalShortcut_AudioMute", 0},       {"GlobalShortcut_AudioVolumeUp", 0},
    {"GlobalShortcut_AudioVolumeDown", 0},
};
constexpr size_t kShortcutCount = sizeof(kShortcutDefaults) / sizeof(kShortcutDefaults[0]);

PrefShortcutIO& ShortcutIO() {
    static PrefShortcutIO io;
    return io;
}
std::vector<std::string>& FallbackKeys() {
    static std::vector<std::string> keys(kShortcutCount);
    return keys;
}
} // namespace

void Pref_SetShortcutIO(PrefShortcutIO io) {
    ShortcutIO() = std::move(io);
}

std::string Pref_ShortcutKey(const std::string& name) {
    for (size_t i = 0; i < kShortcutCount; ++i)
        if (EqualsNoCase(name, kShortcutDefaults[i].Name)) return FallbackKeys()[i];
    return {};
}

static void LoadShortcutKeys(const IniReader& in) {
    if (ShortcutIO().Load) return ShortcutIO().Load(in);
    for (size_t i = 0; i < kShortcutCount; ++i)
        FallbackKeys()[i] =
            std::to_string(in.ReadLong(kShortcutDefaults[i].Name, kShortcutDefaults[i].Key));
}

static void SaveShortcutKeys(IniWriter& out) {
    if (ShortcutIO().Save) return ShortcutIO().Save(out);
    for (size_t i = 0; i < kShortcutCount; ++i) {
        const std::string& key = FallbackKeys()[i];
        out.WriteString(kShortcutDefaults[i].Name,
                        key.empty() ? std::to_string(kShortcutDefaults[i].Key) : key);
    }
}

// ------------------------------------------------------------------ flags

namespace {
struct FlagKey {
    const char* Read;
    const char* Written;
    uint32_t Bit;
    bool Default;
};
// In the order the flags are written.
constexpr FlagKey kFlags[] = {
    {"EscapToSysTray", "EscapToSystray", PREF_ESCAPTOSYSTRAY, false},
    {"AltF4ToSysTray", "AltF4ToSystray", PREF_ALTF4TOSYSTRAY, false},
    {"IsSureToQuit", "IsSureToQuit", PREF_ISSURETOQUIT, false},
    {"AlarmByPopUp", "AlarmByPopUp", PREF_ALARMBYPOPUP, false},
    {"AlarmBySpeech", "AlarmBySpeech", PREF_ALARMBYSPEECH, true},
    {"AlarmBySound", "AlarmBySound", PREF_ALARMBYSOUND, true},
    {"AlarmOnStart", "AlarmOnStart", PREF_ALARMONSTART, false},
    {"AutoStart", "AutoStart", PREF_AUTOSTART, false},
    {"AutoSetReadedFeed", "AutoSetReadedFeed", PREF_AUTOSETREADEDFEED, true},
    {"DelPodcastWithFeed", "DelPodcastWithFeed", PREF_DELPODCASTWITHFEED, true},
    {"ExtendShortcut", "ExtendShortcut", PREF_EXTENDSHORTCUT, false},
    {"PlayLinkByDefault", "PlayLinkByDefault", PREF_PLAYLINKBYDEFAULT, true},
    {"MinimizeOnStart", "MinimizeOnStart", PREF_MINIMIZEONSTART, false},
    {"NoWarningSyncPod", "NoWarningSyncPod", PREF_NOWARNINGSYNCPOD, false},
    {"AlarmAllDownloaded", "AlarmAllDownloaded", PREF_ALARMALLDOWNLOADED, true},
    {"AlarmFinishFirstActualize", "AlarmFinishFirstActualize", PREF_ALARMFINISHFIRSTACTUALIZE,
     true},
    {"SyncReadedFeed", "SyncReadedFeed", PREF_SYNCREADEDFEED, false},
};
} // namespace

// ------------------------------------------------------------------ defaults

static std::string DefaultPodcastPath() {
    return Pref_Environment().Portable ? "Podcast\\" : "%MyDoc%Podcast\\";
}

int32_t Pref_DefaultUpdateThreads() {
    if (const char* env = std::getenv("ORVALIS_UPDATE_THREADS")) {
        char* end = nullptr;
        const long n = std::strtol(env, &end, 10);
        if (end != env && *end == '\0' && n >= PREF_UPDATETHREADS_MIN &&
            n <= PREF_UPDATETHREADS_MAX)
            return static_cast<int32_t>(n);
    }
    return 4;
}

void Pref_Defaults() {
    Pref = Preferences{};
    Pref.DownloadPriority = "WinINet;API;PureHttp;";
    Pref.MainWindowX = 0;
    Pref.MainWindowY = 100;
    Pref.MainWindowW = 600;
    Pref.MainWindowH = 400;
    Pref.MainWindowZ = 16777216;
    Pref.EditNameFont = "Arial";
    Pref.EditSizeFont = 12;
    Pref.EditStyleFont = 0;
    Pref.EditColorFont = 16581375;
    Pref.AppLang = "";
    Pref.MainHotkey = 0;
    Pref.NetAgent = "Orvalis";
    Pref.MaxDownloadSize = 64;
    Pref.DBRssURL = PREF_DBRSSURL_DEFAULT;
    Pref.AudioTimeFormat = Lng(L_Status_AudioTime);
    Pref.DurationTimeFormat = Lng(L_Duration_AudioTime);
    Pref.Navigator = "";
    Pref.AudioPlayer = "";
    Pref.PodcastPath = "";
    Pref.SyncReadedPath = "";
    Pref.FeedTextPath = "%MyDoc%";
    Pref.SyncReadedFile = "";
    Pref.SyncReadedNbTime = 10;
    Pref.ProxyHost = "";
    Pref.ProxyPort = 0;
    Pref.ProxyID = "";
    Pref.ProxyPassWord = "";
    Pref.UseProxy = 0;
    Pref.Display = 1;
    Pref.ReadedColor = 255;
    Pref.IntervalFeedToSave = 10;
    Pref.UpdateThreads = Pref_DefaultUpdateThreads();
    Pref.ArboWidth = 30;
    Pref.MaxRss = 150;
    Pref.NbDayBeforeDelPodCast = 0;
    Pref.AudioTempo = 0;
    Pref.AudioVolume = 90;
    Pref.MuteVolume = 5;
    Pref.MoveAudio = 10;
    Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
    Pref.AudioExtFileBass = "aac.aiff.flac.fla.ogg.mp1.mp2.mp3.m4a.wav.pls.m3u";
    Pref.AudioExtLinkBass = "aac.aiff.flac.fla.ogg.mp1.mp2.mp3.wav.pls.m3u";
    Pref.AudioExtFilePure = "mp3.wav";
    Pref.AudioExtLinkPure = "";
    Pref.AlarmAllDownloadedFile = "AllDownloaded.Wav";
    Pref.AlarmFinishFirstActualizeFile = "FinishFirstActualize.Wav";
    Pref.AlarmNewFeedFile = "NewFeed.Wav";
    Pref.AlarmVolume = 90;
    Pref.NeededWordInURL = "atom;feed;new;php;pod;podcast;rss;tune;xml;";
    Pref.FormatDate = 0;
    Pref.CheckVersionURL = PREF_CHECKVERSIONURL_DEFAULT;
    PrefFlags = 0;
    for (const FlagKey& f : kFlags)
        if (f.Default) PrefFlags |= f.Bit;
    for (size_t i = 0; i < kShortcutCount; ++i)
        FallbackKeys()[i] = std::to_string(kShortcutDefaults[i].Key);
}

// ------------------------------------------------------------------ reading

static void ReadAll(const IniReader& r) {
    const Preferences d = Pref; // the defaults
    Pref.DownloadPriority = r.ReadString("DownloadPriority", d.DownloadPriority);
    Pref.MainWindowX = r.ReadLong("MainWindowX", d.MainWindowX);
    Pref.MainWindowY = r.ReadLong("MainWindowY", d.MainWindowY);
    Pref.MainWindowW = r.ReadLong("MainWindowW", d.MainWindowW);
    Pref.MainWindowH = r.ReadLong("MainWindowH", d.MainWindowH);
    Pref.MainWindowZ = r.ReadLong("MainWindowZ", d.MainWindowZ);
    LoadShortcutKeys(r);
    Pref.EditNameFont = r.ReadString("EditNameFont", d.EditNameFont);
    Pref.EditSizeFont = r.ReadLong("EditSizeFont", d.EditSizeFont);
    Pref.EditStyleFont = r.ReadLong("EditStyleFont", d.EditStyleFont);
    Pref.EditColorFont = r.ReadLong("EditColorFont", d.EditColorFont);
    Pref.AppLang = r.ReadString("AppLang", d.AppLang);
    Pref.MainHotkey = r.ReadLong("MainHotkey", d.MainHotkey);
    Pref.NetAgent = r.ReadString("NetAgent", d.NetAgent);
    Pref.MaxDownloadSize = r.ReadLong("MaxDownloadSize", d.MaxDownloadSize);
    Pref.DBRssURL = r.ReadString("DBRssURL", d.DBRssURL);
    Pref.AudioTimeFormat = Trim(r.ReadString("AudioTimeFormat", d.AudioTimeFormat));
    Pref.DurationTimeFormat = Trim(r.ReadString("DurationTimeFormat", d.DurationTimeFormat));
    Pref.Navigator = Trim(r.ReadString("Navigator", d.Navigator));
    Pref.AudioPlayer = r.ReadString("AudioPlayer", d.AudioPlayer);
    Pref.PodcastPath = Trim(r.ReadString("PodcastPath", d.PodcastPath));
    Pref.SyncReadedPath = r.ReadString("SyncReadedPath", d.SyncReadedPath);
    Pref.FeedTextPath = r.ReadString("FeedTextPath", d.FeedTextPath);
    Pref.SyncReadedFile = r.ReadString("SyncReadedFile", d.SyncReadedFile);
    Pref.SyncReadedNbTime = r.ReadLong("SyncReadedNbTime", d.SyncReadedNbTime);
    Pref.ProxyHost = r.ReadString("ProxyHost", d.ProxyHost);
    Pref.ProxyPort = r.ReadLong("ProxyPort", d.ProxyPort);
    Pref.ProxyID = r.ReadString("ProxyID", d.ProxyID);
    const std::string storedPassWord = r.ReadString("ProxyPassWord", "");
    UndecodedProxyPassWord.clear();
    if (!Base64DecodeText(storedPassWord, Pref.ProxyPassWord)) {
        Log("! Pref_Charge, ProxyPassWord is not Base64, kept as it is");
        UndecodedProxyPassWord = storedPassWord;
    }
    Pref.UseProxy = r.ReadFlag("UseProxy", false) ? 255 : 0;
    Pref.Display = r.ReadLong("Display", d.Display);
    Pref.ReadedColor = r.ReadLong("ReadedColor", d.ReadedColor);
    Pref.IntervalFeedToSave = r.ReadLong("IntervalFeedToSave", d.IntervalFeedToSave);
    Pref.ArboWidth = r.ReadLong("ArboWidth", d.ArboWidth);
    Pref.MaxRss = r.ReadLong("MaxRss", d.MaxRss);
    Pref.UpdateThreads = r.ReadLong("UpdateThreads", d.UpdateThreads);
    Pref.NbDayBeforeDelPodCast = r.ReadLong("NbDayBeforeDelPodCast", d.NbDayBeforeDelPodCast);
    Pref.AudioTempo = r.ReadLong("AudioTempo", d.AudioTempo);
    Pref.AudioVolume = r.ReadLong("AudioVolume", d.AudioVolume);
    Pref.MuteVolume = r.ReadLong("MuteVolume", d.MuteVolume);
    Pref.MoveAudio = r.ReadLong("MoveAudio", d.MoveAudio);
    Pref.AudioExtension = r.ReadString("AudioExtension", d.AudioExtension);
    Pref.AudioExtFileBass = r.ReadString("AudioExtFileBass", d.AudioExtFileBass);
    Pref.AudioExtLinkBass = r.ReadString("AudioExtLinkBass", d.AudioExtLinkBass);
    Pref.AudioExtFilePure = r.ReadString("AudioExtFilePure", d.AudioExtFilePure);
    Pref.AudioExtLinkPure = r.ReadString("AudioExtLinkPure", d.AudioExtLinkPure);
    Pref.AlarmAllDownloadedFile =
        Trim(r.ReadString("AlarmAllDownloadedFile", d.AlarmAllDownloadedFile));
    Pref.AlarmFinishFirstActualizeFile =
        Trim(r.ReadString("AlarmFinishFirstActualizeFile", d.AlarmFinishFirstActualizeFile));
    Pref.AlarmNewFeedFile = Trim(r.ReadString("AlarmNewFeedFile", d.AlarmNewFeedFile));
    Pref.AlarmVolume = r.ReadLong("AlarmVolume", d.AlarmVolume);
    Pref.NeededWordInURL = r.ReadString("NeededWordInURL", d.NeededWordInURL);
    Pref.FormatDate = r.ReadLong("FormatDate", d.FormatDate);
    Pref.CheckVersionURL = Trim(r.ReadString("CheckVersionURL", d.CheckVersionURL));
    if (Pref.CheckVersionURL.empty()) Pref.CheckVersionURL = PREF_CHECKVERSIONURL_DEFAULT;
    for (const FlagKey& f : kFlags) {
        if (r.ReadFlag(f.Read, f.Default))
            PrefFlags |= f.Bit;
        else
            PrefFlags &= ~f.Bit;
    }
}

int Pref_Charge(const std::string& file, int mustExist) {
    IniReader r;
    const bool opened = r.Open(file);
    if (!opened && mustExist) return 0;
    Log("* Pref_Charge( " + file + " )");
    Pref_Defaults();
    ReadAll(r); // a missing file reads as empty: every default
    if (!opened) PrefChanged = true;
    if (Pref.PodcastPath.empty()) Pref.PodcastPath = DefaultPodcastPath();
    Pref_Check();
    if (Pref.AudioExtension.empty() || EqualsNoCase(Pref.AudioExtension, PREF_AUDIOEXTENSION_OLDER))
        Pref.AudioExtension = PREF_AUDIOEXTENSION_DEFAULT;
    return opened ? 1 : 0;
}

static int32_t Bound(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : (v > hi ? hi : v);
}

void Pref_Check() {
    const PrefEnvironment& env = Pref_Environment();
    if (!IsUsableFileName(Pref.AlarmNewFeedFile)) Pref.AlarmNewFeedFile = "NewFeed.Wav";
    if (!IsUsableFileName(Pref.AlarmAllDownloadedFile))
        Pref.AlarmAllDownloadedFile = "AllDownloaded.Wav";
    if (!IsUsableFileName(Pref.AlarmFinishFirstActualizeFile))
        Pref.AlarmFinishFirstActualizeFile = "FinishFirstActualize.Wav";

    Pref.AlarmVolume = Bound(Pref.AlarmVolume, 10, 100);
    Pref.MaxDownloadSize = Bound(Pref.MaxDownloadSize, 1, 1024);
    Pref.AudioVolume = Bound(Pref.AudioVolume, 2, 100);
    if (Pref.AudioTempo < -1 || Pref.AudioTempo > 3) Pref.AudioTempo = 0;
    Pref.MuteVolume = Bound(Pref.MuteVolume, 0, 50);
    Pref.MoveAudio = Bound(Pref.MoveAudio, 10, 120);
    Pref.MaxRss = Bound(Pref.MaxRss, 1, 400);
    Pref.UpdateThreads = Bound(Pref.UpdateThreads, PREF_UPDATETHREADS_MIN, PREF_UPDATETHREADS_MAX);

    std::string podcast = ResolveFolder(
        ReplaceAllNoCase(Pref.PodcastPath, "%MyDocuments%", env.DocumentsPath), PrefFolders());
    if (!FolderUsable(podcast, true, true)) {
        podcast = env.DataPath + "Podcast/";
        if (!FolderUsable(podcast, true, true)) podcast = env.DataPath;
    }
    Pref.PodcastPath = podcast;
    Pref.SyncReadedPath = ResolveFolder(Pref.SyncReadedPath, PrefFolders());
    Pref.FeedTextPath = ResolveFolder(Pref.FeedTextPath, PrefFolders());

    if (Pref.SyncReadedFile.empty()) {
        // Login name and kernel release name this installation; neither may add a folder.
        for (char c : env.UserName + "-" + env.SystemRelease + (env.Portable ? "P" : "") + ".OVSR")
            if (static_cast<unsigned char>(c) >= 32 && !std::strchr("\"*/:<>?\\|", c))
                Pref.SyncReadedFile.push_back(c);
    }
}

// ------------------------------------------------------------------ writing

void Pref_Write(IniWriter& w) {
    w.WriteLong("MainHotkey", Pref.MainHotkey);
    w.WriteLong("MainWindowX", Pref.MainWindowX);
    w.WriteLong("MainWindowY", Pref.MainWindowY);
    w.WriteLong("MainWindowW", Pref.MainWindowW);
    w.WriteLong("MainWindowH", Pref.MainWindowH);
    w.WriteLong("MainWindowZ", Pref.MainWindowZ);
    SaveShortcutKeys(w);
    w.WriteString("AppLang", Pref.AppLang);
    w.WriteString("EditNameFont", Pref.EditNameFont);
    w.WriteLong("EditSizeFont", Pref.EditSizeFont);
    w.WriteLong("EditStyleFont", Pref.EditStyleFont);
    w.WriteLong("EditColorFont", Pref.EditColorFont);
    w.WriteLong("ReadedColor", Pref.ReadedColor);
    w.WriteLong("Display", Pref.Display);
    w.WriteString("Navigator", Pref.Navigator);
    w.WriteString("AudioTimeFormat", Pref.AudioTimeFormat);
    w.WriteString("DurationTimeFormat", Pref.DurationTimeFormat);
    w.WriteString("PodcastPath", PathToToken(Pref.PodcastPath, PrefFolders()));
    w.WriteString("SyncReadedPath", PathToToken(Pref.SyncReadedPath, PrefFolders()));
    w.WriteString("FeedTextPath", PathToToken(Pref.FeedTextPath, PrefFolders()));
    w.WriteString("AlarmAllDownloadedFile", Pref.AlarmAllDownloadedFile);
    w.WriteString("AlarmFinishFirstActualizeFile", Pref.AlarmFinishFirstActualizeFile);
    w.WriteString("AlarmNewFeedFile", Pref.AlarmNewFeedFile);
    w.WriteLong("AlarmVolume", Pref.AlarmVolume);
    w.WriteString("AudioExtension", Pref.AudioExtension);
    w.WriteLong("IntervalFeedToSave", Pref.IntervalFeedToSave);
    w.WriteLong("ArboWidth", Pref.ArboWidth);
    w.WriteLong("NbDayBeforeDelPodCast", Pref.NbDayBeforeDelPodCast);
    w.WriteLong("AudioTempo", Pref.AudioTempo);
    w.WriteLong("MuteVolume", Pref.MuteVolume);
    w.WriteLong("AudioVolume", Pref.AudioVolume);
    w.WriteLong("MoveAudio", Pref.MoveAudio);
    w.WriteString("NeededWordInURL", Pref.NeededWordInURL);
    w.WriteString("AudioPlayer", Pref.AudioPlayer);
    w.WriteLong("FormatDate", Pref.FormatDate);
    if (!Pref.CheckVersionURL.empty() && Pref.CheckVersionURL != PREF_CHECKVERSIONURL_DEFAULT)
        w.WriteString("CheckVersionURL", Pref.CheckVersionURL);
    w.WriteString("ProxyHost", Pref.ProxyHost);
    // Written only when changed from its default, so files stay as other versions wrote them.
    if (Pref.MaxDownloadSize != 64) w.WriteLong("MaxDownloadSize", Pref.MaxDownloadSize);
    w.WriteLong("MaxRss", Pref.MaxRss);
    if (Pref.UpdateThreads != Pref_DefaultUpdateThreads())
        w.WriteLong("UpdateThreads", Pref.UpdateThreads);
    w.WriteLong("ProxyPort", Pref.ProxyPort);
    w.WriteString("ProxyID", Pref.ProxyID);
    if (Pref.ProxyPassWord.empty() && !UndecodedProxyPassWord.empty())
        w.WriteString("ProxyPassWord", UndecodedProxyPassWord);
    else
        w.WriteString("ProxyPassWord", Base64EncodeText(Pref.ProxyPassWord));
    w.WriteFlag("UseProxy", Pref.UseProxy != 0);
    for (const FlagKey& f : kFlags)
        w.WriteFlag(f.Written, (PrefFlags & f.Bit) != 0);
}

int Pref_SaveTo(const std::string& file, int force) {
    if (!force && !PrefChanged) return 1;
    IniWriter w;
    w.Comment("Name : Orvalis");
    w.Comment("Version : " ORVALIS_VERSION);
    Pref_Write(w);
    if (!w.SaveAtomic(file)) {
        Log("! Error Pref_Save( " + file + " )");
        return 0;
    }
    PrefChanged = false;
    return 1;
}

int Pref_Save(int force) {
    return Pref_SaveTo("Orvalis.ini", force);
}

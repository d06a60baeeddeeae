#include "shell/base/PathTools.h"

std::string CleanFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 1 && u <= 31) continue;
        switch (c) {
        case '"':
        case '*':
        case '/':
        case ':':
        case '<':
        case '>':
        case '?':
        case '\\':
        case '|':
            continue;
        default:
            out.push_back(c);
        }
    }
    return out;
}

bool IsValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find('\0') != std::string_view::npos) return false;
    return CleanFileName(name) == name;
}

#ifdef _WIN32
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <random>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#ifdef _WIN32
#include "platform/core/WinText.h"
#endif

static std::string g_appPath;

void PathTools_SetAppPath(const std::string& appPath) {
    g_appPath = appPath;
}

static std::string WithSlash(std::string s) {
    if (s.empty() || s.back() != '/') s.push_back('/');
    return s;
}

int CheckDirectory(const std::string& path, int create, int testWrite) {
    const std::string native = ToNativeSeparators(path);
    const size_t last = native.rfind('/');
    if (last == std::string::npos) return 0;
    const std::string folder = native.substr(0, last + 1);
    if (create) {
        std::string built;
        size_t i = 0;
        if (folder[0] == '/') { // the root is not a component to create
            built = "/";
            i = 1;
        }
        while (i < folder.size()) {
            const size_t e = folder.find('/', i);
            const std::string part = folder.substr(i, e - i);
            if (part.empty()) break;
            built += part + "/";
#ifdef _WIN32
            // "C:/" is a drive, not a folder to create.
            if (!Dir_Exists(built) && !CreateDirectoryW(Win_Wide(built).c_str(), nullptr)) break;
#else
            if (!Dir_Exists(built) && ::mkdir(built.c_str(), 0755) != 0) break;
#endif
            i = e + 1;
        }
    }
    bool ok = Dir_Exists(folder);
    if (ok && testWrite) {
        std::random_device rd;
        std::mt19937 rng(rd());
        std::string probe;
        do {
            probe = folder + std::to_string(1 + rng() % 1000000000u) + ".txt";
        } while (File_Exists(probe));
#ifdef _WIN32
        HANDLE h = CreateFileW(Win_Wide(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        ok = h != INVALID_HANDLE_VALUE;
        if (ok) CloseHandle(h);
#else
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        ok = fd >= 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
        }
#endif
    }
    return ok ? 1 : 0;
}

std::string ParentFolder(std::string_view path) {
    std::string_view p = path;
    if (!p.empty() && IsPathSeparator(p.back())) p.remove_suffix(1);
    size_t i = p.size();
    while (i > 0 && !IsPathSeparator(p[i - 1]))
        --i;
    if (i == 0) return {};
    return std::string(p.substr(0, i));
}

#ifdef _WIN32
// A known folder of the shell, '/'-separated with a trailing '/'; "" when it has none.
static std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string out;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path)
        out = WithSlash(ReplaceAll(Win_Utf8(path), "\\", "/"));
    CoTaskMemFree(path);
    return out;
}

std::string GetSpecialFolder(int csidl) {
    switch (csidl) {
    case CSIDL_DESKTOP:
        return KnownFolder(FOLDERID_Desktop);
    case CSIDL_PERSONAL:
        return KnownFolder(FOLDERID_Documents);
    case CSIDL_MYMUSIC:
        return KnownFolder(FOLDERID_Music);
    case CSIDL_MYVIDEO:
        return KnownFolder(FOLDERID_Videos);
    case CSIDL_MYPICTURES:
        return KnownFolder(FOLDERID_Pictures);
    case CSIDL_APPDATA:
        return KnownFolder(FOLDERID_RoamingAppData);
    case CSIDL_LOCAL_APPDATA:
        return KnownFolder(FOLDERID_LocalAppData);
    case CSIDL_PROGRAM_FILES:
        return KnownFolder(FOLDERID_ProgramFiles);
    case CSIDL_WINDOWS:
        return KnownFolder(FOLDERID_Windows);
    default:
        return {};
    }
}
#else
static std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? WithSlash(home) : std::string("/");
}

// The folder named `key` (e.g. "XDG_DOCUMENTS_DIR") in the user's folder list.
static std::string UserDir(const char* key, const char* fallback) {
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    const std::string file =
        (cfg && *cfg ? WithSlash(cfg) : HomeFolder() + ".config/") + "user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.rfind(key, 0) != 0) continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string v = Trim(line.substr(eq + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) {
            std::string rest = v.substr(5);
            if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
            v = HomeFolder() + rest;
        }
        if (!v.empty() && v[0] == '/') return WithSlash(v);
    }
    const std::string guess = HomeFolder() + fallback + "/";
    return Dir_Exists(guess) ? guess : HomeFolder();
}

std::string GetSpecialFolder(int csidl) {
    switch (csidl) {
    case CSIDL_DESKTOP:
        return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case CSIDL_PERSONAL:
        return UserDir("XDG_DOCUMENTS_DIR", "Documents");
    case CSIDL_MYMUSIC:
        return UserDir("XDG_MUSIC_DIR", "Music");
    case CSIDL_MYVIDEO:
        return UserDir("XDG_VIDEOS_DIR", "Videos");
    case CSIDL_MYPICTURES:
        return UserDir("XDG_PICTURES_DIR", "Pictures");
    case CSIDL_APPDATA:
    case CSIDL_LOCAL_APPDATA: {
        const char* data = std::getenv("XDG_DATA_HOME");
        if (data && data[0] == '/') return WithSlash(data);
        return HomeFolder() + ".local/share/";
    }
    case CSIDL_PROGRAM_FILES:
        return "/usr/";
    case CSIDL_WINDOWS:
        return "/";
    default:
        return {};
    }
}
#endif

std::string GetMyDocumentsFolder() {
    return GetSpecialFolder(CSIDL_PERSONAL);
}

PathTokenFolders PathTools_Folders() {
    // "%WindowsRoot%" is the text before the first separator of the system folder: "C:"
    // on Windows, "" here (so "%WindowsRoot%/x" stays rooted at "/").
    const std::string windows = GetSpecialFolder(CSIDL_WINDOWS);
    const size_t sep = windows.find_first_of("/\\");
    return {g_appPath, GetMyDocumentsFolder(), GetSpecialFolder(CSIDL_PROGRAM_FILES),
            windows.substr(0, sep)};
}

namespace {
struct Token {
    const char* Name;
    const std::string& Folder;
};
std::vector<Token> Tokens(const PathTokenFolders& f) {
    return {{"%MainApp%", f.MainApp},
            {"%MyDoc%", f.MyDoc},
            {"%ProgFiles%", f.ProgFiles},
            {"%WindowsRoot%", f.WindowsRoot}};
}
} // namespace

std::string TokenToPath(std::string_view text, const PathTokenFolders& folders) {
    std::string s(text);
    for (const Token& t : Tokens(folders))
        s = ReplaceAllNoCase(s, t.Name, t.Folder);
    return Trim(s);
}

std::string PathToToken(std::string_view text, const PathTokenFolders& folders) {
    std::string s(text);
    for (const Token& t : Tokens(folders))
        if (t.Folder.size() >= 2) s = ReplaceAllNoCase(s, t.Folder, t.Name);
    return Trim(s);
}

std::string TokenToPath(std::string_view text) {
    return TokenToPath(text, PathTools_Folders());
}

std::string PathToToken(std::string_view text) {
    return PathToToken(text, PathTools_Folders());
}

std::string ResolveFolder(std::string_view text, const PathTokenFolders& folders) {
    std::string s = Trim(TokenToPath(text, folders));
    if (s.empty()) return s;
    s = WithSlash(ToNativeSeparators(s));
    if (s[0] == '/' || s.find(':') != std::string::npos) return s;
    char* cwd = ::getcwd(nullptr, 0);
    std::string start = WithSlash(cwd ? cwd : ".");
    std::free(cwd);
    while (s.rfind("../", 0) == 0) {
        const std::string up = ParentFolder(start);
        if (!up.empty()) start = up;
        s.erase(0, 3);
    }
    return start + s;
}

std::string ResolveFolder(std::string_view text) {
    return ResolveFolder(text, PathTools_Folders());
}

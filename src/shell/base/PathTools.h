// Path helpers shared by every subsystem: folder checks, file-name cleaning, the path
// tokens stored in the preferences and the resolution of stored folder texts.
//
// Folder texts end with a separator. Stored values may use '\' or '/'; on this platform
// the functions return '/' paths, and they accept both on input.
#pragma once
#include <string>
#include <string_view>

// The name with the characters 1 to 31 and " * / : < > ? \ | removed.
std::string CleanFileName(std::string_view name);
// True when `name` is usable as one path component: not empty, not "." or "..", and
// unchanged by CleanFileName.
bool IsValidFileName(std::string_view name);

// Checks the folder part of `path` (up to its last separator). create = 1 creates the
// missing folders one by one; testWrite = 1 also creates and deletes a file "<n>.txt" in
// it. Nonzero when the folder exists (and is writable when asked).
int CheckDirectory(const std::string& path, int create, int testWrite);
// The path less its last component; a trailing separator is ignored and the result
// keeps its own ("/a/b/c/" gives "/a/b/"). "" when there is no parent.
std::string ParentFolder(std::string_view path);

// Shell folder numbers as the stored preferences know them.
enum : int {
    CSIDL_DESKTOP = 0,
    CSIDL_PERSONAL = 5, // documents
    CSIDL_MYMUSIC = 13,
    CSIDL_MYVIDEO = 14,
    CSIDL_APPDATA = 26,
    CSIDL_LOCAL_APPDATA = 28,
    CSIDL_WINDOWS = 36,
    CSIDL_PROGRAM_FILES = 38,
    CSIDL_MYPICTURES = 39,
};
// The folder of that number with a trailing '/', or "" when unknown. Mapped to the XDG
// folders: documents, music, videos, pictures and desktop from the user's folder list
// ($XDG_CONFIG_HOME/user-dirs.dirs, else the usual names under $HOME), application data
// to $XDG_DATA_HOME (default ~/.local/share), program files to "/usr/", Windows to "/".
std::string GetSpecialFolder(int csidl);
std::string GetMyDocumentsFolder();

// The program's folder, as the token "%MainApp%" means it (set at start-up).
void PathTools_SetAppPath(const std::string& appPath);
// The folders the four path tokens stand for, each with a trailing '/' ("%WindowsRoot%"
// is a drive such as "C:", empty here).
struct PathTokenFolders {
    std::string MainApp;     // "%MainApp%"
    std::string MyDoc;       // "%MyDoc%"
    std::string ProgFiles;   // "%ProgFiles%"
    std::string WindowsRoot; // "%WindowsRoot%"
};
// The process's folders: the path given to PathTools_SetAppPath, the documents folder, the
// program files folder and the Windows root from GetSpecialFolder.
PathTokenFolders PathTools_Folders();

// Replace the tokens "%MainApp%", "%MyDoc%", "%ProgFiles%", "%WindowsRoot%" by their
// folders (TokenToPath) or the folders by the tokens (PathToToken), in that order,
// ignoring case, then trim spaces. PathToToken skips a folder shorter than 2 characters
// (an unknown folder, or the bare root, would turn every path into tokens). Without
// `folders`, the process's ones.
std::string TokenToPath(std::string_view text, const PathTokenFolders& folders);
std::string PathToToken(std::string_view text, const PathTokenFolders& folders);
std::string TokenToPath(std::string_view text);
std::string PathToToken(std::string_view text);
// A usable folder from a stored text: tokens replaced, trimmed ("" stays ""), '\' read as
// '/', a trailing '/' added; an absolute text (starting with '/', or holding a drive ':')
// is kept, a relative one starts from the current folder, each leading "../" going one
// folder up.
std::string ResolveFolder(std::string_view text, const PathTokenFolders& folders);
std::string ResolveFolder(std::string_view text);

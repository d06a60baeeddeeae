// The Windows side of FileUtil.h: every path goes through the wide-character API.
#include "platform/core/FileUtil.h"

#include <windows.h>

#include <algorithm>

#include "platform/core/WinText.h"

static std::wstring W(const std::string& path) {
    return Win_Wide(path);
}

FILE* File_Open(const std::string& path, const char* mode) {
    return _wfopen(W(path).c_str(), Win_Wide(mode).c_str());
}

bool File_ReadAll(const std::string& path, std::string& out) {
    return File_ReadAll(path, out, -1);
}

bool File_ReadAll(const std::string& path, std::string& out, int64_t maxBytes) {
    out.clear();
    HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0) {
        if (maxBytes >= 0 && size.QuadPart > maxBytes) {
            CloseHandle(h);
            return false;
        }
        out.reserve(static_cast<size_t>(size.QuadPart));
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(h, buf, sizeof buf, &n, nullptr)) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (maxBytes >= 0 && static_cast<int64_t>(out.size() + n) > maxBytes) {
            ok = false;
            break;
        }
        out.append(buf, n);
    }
    CloseHandle(h);
    if (!ok) {
        out.clear();
        out.shrink_to_fit();
    }
    return ok;
}

static bool WriteHandle(HANDLE h, std::string_view data) {
    size_t off = 0;
    while (off < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - off, 1u << 30));
        DWORD w = 0;
        if (!WriteFile(h, data.data() + off, chunk, &w, nullptr)) return false;
        off += w;
    }
    return true;
}

static HANDLE CreateForWriting(const std::string& path) {
    return CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool File_WriteAll(const std::string& path, std::string_view data) {
    HANDLE h = CreateForWriting(path);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = WriteHandle(h, data);
    return CloseHandle(h) && ok;
}

bool File_WriteAtomic(const std::string& path, std::string_view data) {
    const std::string tmp = path + ".Tmp";
    HANDLE h = CreateForWriting(tmp);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteHandle(h, data);
    ok = FlushFileBuffers(h) && ok;
    ok = CloseHandle(h) && ok;
    // MOVEFILE_WRITE_THROUGH: the rename is on the disk when the call returns.
    if (ok)
        ok = MoveFileExW(W(tmp).c_str(), W(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        DeleteFileW(W(tmp).c_str());
        return false;
    }
    return true;
}

static DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(W(path).c_str());
}

bool File_Exists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Dir_Exists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Dir_Create(const std::string& path) {
    if (path.empty()) return false;
    if (Dir_Exists(path)) return true;
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        cur.push_back(path[i]);
        const bool sep = path[i] == '/' || path[i] == '\\';
        // "C:" and "C:\" are drives, not folders to create.
        const bool drive = cur.size() <= 3 && cur.size() >= 2 && cur[1] == ':';
        if (((sep && i > 0) || i + 1 == path.size()) && !drive) {
            if (!Dir_Exists(cur)) CreateDirectoryW(W(cur).c_str(), nullptr);
        }
    }
    return Dir_Exists(path);
}

long long File_Size(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &d)) return -1;
    return (static_cast<long long>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

bool File_Delete(const std::string& path) {
    return DeleteFileW(W(path).c_str()) != 0;
}

bool File_Rename(const std::string& from, const std::string& to) {
    return MoveFileExW(W(from).c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool File_Sync(const std::string& path) {
    HANDLE h = CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = FlushFileBuffers(h) != 0;
    CloseHandle(h);
    return ok;
}

std::vector<std::string> Dir_List(const std::string& path) {
    std::vector<std::string> names;
    std::string pattern = path.empty() ? std::string(".") : path;
    if (pattern.back() != '/' && pattern.back() != '\\') pattern += '/';
    pattern += '*';
    WIN32_FIND_DATAW d{};
    HANDLE h = FindFirstFileW(W(pattern).c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = Win_Utf8(d.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(h, &d));
    FindClose(h);
    return names;
}

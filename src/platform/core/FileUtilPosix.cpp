#include "platform/core/FileUtil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool File_ReadAll(const std::string& path, std::string& out) {
    return File_ReadAll(path, out, -1);
}

bool File_ReadAll(const std::string& path, std::string& out, int64_t maxBytes) {
    out.clear();
    FILE* f = File_Open(path, "rb");
    if (!f) return false;
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0) {
        if (maxBytes >= 0 && st.st_size > maxBytes) {
            std::fclose(f);
            return false;
        }
        out.reserve(static_cast<size_t>(st.st_size));
    }
    char buf[65536];
    size_t n;
    bool ok = true;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        if (maxBytes >= 0 && static_cast<int64_t>(out.size() + n) > maxBytes) {
            ok = false;
            break;
        }
        out.append(buf, n);
    }
    ok = ok && !std::ferror(f);
    std::fclose(f);
    if (!ok) {
        out.clear();
        out.shrink_to_fit();
    }
    return ok;
}

static bool WriteFd(int fd, std::string_view data) {
    size_t off = 0;
    while (off < data.size()) {
        const ssize_t w = ::write(fd, data.data() + off, data.size() - off);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        off += static_cast<size_t>(w);
    }
    return true;
}

bool File_WriteAll(const std::string& path, std::string_view data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = WriteFd(fd, data);
    return (::close(fd) == 0) && ok;
}

bool File_WriteAtomic(const std::string& path, std::string_view data) {
    const std::string tmp = path + ".Tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteFd(fd, data);
    ok = (::fsync(fd) == 0) && ok;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(tmp.c_str());
        return false;
    }
    // Make the rename itself durable.
    std::string dir = ".";
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) dir = slash == 0 ? "/" : path.substr(0, slash);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool File_Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Dir_Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Dir_Create(const std::string& path) {
    if (path.empty()) return false;
    if (Dir_Exists(path)) return true;
    std::string cur;
    for (size_t i = 0; i < path.size(); ++i) {
        cur.push_back(path[i]);
        if ((path[i] == '/' && i > 0) || i + 1 == path.size()) {
            if (!Dir_Exists(cur)) ::mkdir(cur.c_str(), 0755);
        }
    }
    return Dir_Exists(path);
}

long long File_Size(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

bool File_Delete(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool File_Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool File_Sync(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

FILE* File_Open(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::vector<std::string> Dir_List(const std::string& path) {
    std::vector<std::string> names;
    DIR* d = ::opendir(path.empty() ? "." : path.c_str());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    return names;
}

#include "shell/base/Log.h"

#include "platform/core/FileUtil.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/core/WinText.h"
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {
struct LogState {
    std::mutex LogMutex;
    std::string LogHeader;
    std::string LogBuffer;
    bool LogFileStarted = false;
    std::string File = "Orvalis.Log";
    std::function<void()> Fatal;
};
LogState& State() {
    static LogState s;
    return s;
}
} // namespace

static constexpr size_t kFlushLimit = 200000;

void Log(std::string_view text, int fatal, int header) {
    LogState& s = State();
    bool flush = false;
    {
        std::lock_guard<std::mutex> lock(s.LogMutex);
        std::string& target = header ? s.LogHeader : s.LogBuffer;
        target.append(text);
        target.append("\r\n");
        if (!header && s.LogBuffer.size() > kFlushLimit) flush = true;
    }
    if (flush) FlushLog();
    if (fatal) {
        {
            std::lock_guard<std::mutex> lock(s.LogMutex);
            s.LogBuffer.append("!* Error Bug *!\r\n");
        }
        std::function<void()> handler;
        {
            std::lock_guard<std::mutex> lock(s.LogMutex);
            handler = s.Fatal;
        }
        if (handler) {
            handler();
        } else {
            FlushLog();
            std::exit(0);
        }
    }
}

void FlushLog() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.LogMutex);
    FILE* f = nullptr;
    if (s.LogFileStarted) {
        f = File_Open(s.File, "ab");
    } else {
        f = File_Open(s.File, "wb");
        if (f) {
            std::fwrite(s.LogHeader.data(), 1, s.LogHeader.size(), f);
            s.LogFileStarted = true;
        }
    }
    if (!f) return; // kept for the next flush
    std::fwrite(s.LogBuffer.data(), 1, s.LogBuffer.size(), f);
    s.LogBuffer.clear();
    std::fclose(f);
}

std::string Log_Text() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.LogMutex);
    return s.LogHeader + s.LogBuffer;
}

void Log_SetFile(const std::string& path) {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.LogMutex);
    s.File = path;
    s.LogFileStarted = false;
}

void Log_SetFatalHandler(std::function<void()> handler) {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.LogMutex);
    s.Fatal = std::move(handler);
}

void Log_Reset() {
    LogState& s = State();
    std::lock_guard<std::mutex> lock(s.LogMutex);
    s.LogHeader.clear();
    s.LogBuffer.clear();
    s.LogFileStarted = false;
}

#ifdef _WIN32
static void WriteFd(HANDLE h, const char* data, size_t n) {
    while (n > 0) {
        DWORD w = 0;
        if (!WriteFile(h, data, static_cast<DWORD>(n), &w, nullptr) || w == 0) return;
        data += w;
        n -= w;
    }
}
#else
static void WriteFd(int fd, const char* data, size_t n) {
    while (n > 0) {
        const ssize_t w = ::write(fd, data, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        data += w;
        n -= static_cast<size_t>(w);
    }
}
#endif

void Log_CrashPrepare() {
    State();
}

void Log_CrashWrite(const char* text, size_t size) {
    LogState& s = State();
    // try_lock only: the crashed thread may hold the lock, and waiting would hang.
    const bool locked = s.LogMutex.try_lock();
    const bool fresh = locked && !s.LogFileStarted;
#ifdef _WIN32
    HANDLE fd = CreateFileW(Win_Wide(s.File).c_str(), fresh ? GENERIC_WRITE : FILE_APPEND_DATA,
                            FILE_SHARE_READ, nullptr, fresh ? CREATE_ALWAYS : OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fd != INVALID_HANDLE_VALUE) {
        if (fresh) WriteFd(fd, s.LogHeader.data(), s.LogHeader.size());
        if (locked) WriteFd(fd, s.LogBuffer.data(), s.LogBuffer.size());
        WriteFd(fd, text, size);
        CloseHandle(fd);
    }
#else
    const int fd =
        ::open(s.File.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (fresh ? O_TRUNC : O_APPEND), 0644);
    if (fd >= 0) {
        if (fresh) WriteFd(fd, s.LogHeader.data(), s.LogHeader.size());
        if (locked) WriteFd(fd, s.LogBuffer.data(), s.LogBuffer.size());
        WriteFd(fd, text, size);
        ::close(fd);
    }
#endif
    // The lock is kept: the process ends now, and no line may follow the report.
}

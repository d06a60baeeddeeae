// The Windows side of SingleInstance.h: the lock is a named mutex, the hand-over channel a
// named pipe, both named after AppName + "-OnlyOneInstance" and the data folder (one
// instance per data folder, as on other systems). The message on the pipe is the same:
// kind, byte count, UTF-16LE text with its terminating zero; the answer one byte 1.
#include "shell/core/SingleInstance.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/core/FileUtil.h"
#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "platform/core/WinText.h"
#include "shell/base/AppPaths.h"
#include "shell/base/Log.h"
#include "shell/core/Startup.h"

namespace {
constexpr uint32_t kMaxText = 64 * 1024; // a path, never more
constexpr int32_t kWakeKind = -1;        // the listener's own stop request

std::mutex g_lock;
std::condition_variable g_arrived;
std::deque<InstanceHandOver> g_queue;
std::function<void()> g_notify;
HANDLE g_mutex = nullptr;
std::thread g_listener;

std::string BaseName() {
    return AppName + "-OnlyOneInstance-" + Md5Hex(Utf8Lower(Dir_Current()));
}

std::wstring PipeName() {
    return L"\\\\.\\pipe\\" + Win_Wide(BaseName());
}

bool ReadFull(HANDLE h, void* buf, DWORD n) {
    char* p = static_cast<char*>(buf);
    while (n > 0) {
        DWORD r = 0;
        if (!ReadFile(h, p, n, &r, nullptr) || r == 0) return false;
        p += r;
        n -= r;
    }
    return true;
}

bool WriteFull(HANDLE h, const void* buf, DWORD n) {
    const char* p = static_cast<const char*>(buf);
    while (n > 0) {
        DWORD w = 0;
        if (!WriteFile(h, p, n, &w, nullptr) || w == 0) return false;
        p += w;
        n -= w;
    }
    return true;
}

// One client: its message read within bounds, queued, acknowledged. False for the stop.
bool Serve(HANDLE pipe) {
    uint32_t head[2] = {0, 0};
    if (!ReadFull(pipe, head, sizeof head)) return true;
    const int32_t kind = static_cast<int32_t>(head[0]);
    if (kind == kWakeKind) return false;
    if (head[1] > kMaxText || head[1] % 2) return true;
    std::string bytes(head[1], '\0');
    if (!ReadFull(pipe, bytes.data(), head[1])) return true;
    while (bytes.size() >= 2 && bytes[bytes.size() - 1] == 0 && bytes[bytes.size() - 2] == 0)
        bytes.resize(bytes.size() - 2);
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_queue.push_back({kind, Utf16LEBytesToUtf8(bytes)});
        notify = g_notify;
    }
    g_arrived.notify_all();
    const char ack = 1;
    WriteFull(pipe, &ack, 1);
    FlushFileBuffers(pipe);
    if (notify) notify();
    return true;
}

void Listen(std::wstring name) {
    for (;;) {
        HANDLE pipe = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX,
                                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT |
                                           PIPE_REJECT_REMOTE_CLIENTS,
                                       PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) return;
        const bool connected =
            ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
        const bool goOn = !connected || Serve(pipe);
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
        if (!goOn) return;
    }
}

bool SendMessage(const std::wstring& name, int32_t kind, const std::string& text) {
    if (!WaitNamedPipeW(name.c_str(), 2000)) return false;
    HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string bytes = Utf8ToUtf16LEBytes(text);
    bytes.append(2, '\0');
    const uint32_t head[2] = {static_cast<uint32_t>(kind), static_cast<uint32_t>(bytes.size())};
    char ack = 0;
    bool ok = WriteFull(h, head, sizeof head);
    if (kind != kWakeKind)
        ok = ok && WriteFull(h, bytes.data(), static_cast<DWORD>(bytes.size())) &&
             ReadFull(h, &ack, 1) && ack == 1;
    CloseHandle(h);
    return ok;
}
} // namespace

bool SingleInstance_Send(int32_t kind, const std::string& text) {
    return SendMessage(PipeName(), kind, text);
}

int CheckSingleInstance(const std::vector<std::string>& params) {
    const std::wstring mutexName = Win_Wide(BaseName());
    g_mutex = CreateMutexW(nullptr, TRUE, mutexName.c_str());
    if (!g_mutex) return 0;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        g_listener = std::thread(Listen, PipeName());
        return 1;
    }
    CloseHandle(g_mutex);
    g_mutex = nullptr;
    int32_t kind = 1;
    std::string text;
    if (!params.empty() && EndsWithNoCase(params[0], ".opml")) {
        kind = 2;
        text = Startup_AbsoluteParam(params[0]);
    }
    // The holder opens its pipe right after taking the mutex: WaitNamedPipe gives it 2 s.
    if (SingleInstance_Send(kind, text)) return 0;
    return 1;
}

void SingleInstance_SetNotify(std::function<void()> notify) {
    std::lock_guard<std::mutex> lock(g_lock);
    g_notify = std::move(notify);
}

bool SingleInstance_Take(InstanceHandOver& out) {
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (g_queue.empty()) return false;
        out = std::move(g_queue.front());
        g_queue.pop_front();
    }
    Log("* WM_CopyData = " + std::to_string(out.Kind));
    return true;
}

bool SingleInstance_Wait(InstanceHandOver& out, int timeoutMs) {
    {
        std::unique_lock<std::mutex> lock(g_lock);
        if (!g_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [] { return !g_queue.empty(); }))
            return false;
    }
    return SingleInstance_Take(out);
}

void SingleInstance_Release() {
    if (g_listener.joinable()) {
        // The listener waits in ConnectNamedPipe: a connection of our own ends it.
        SendMessage(PipeName(), kWakeKind, {});
        g_listener.join();
    }
    if (g_mutex) {
        ReleaseMutex(g_mutex);
        CloseHandle(g_mutex);
        g_mutex = nullptr;
    }
}

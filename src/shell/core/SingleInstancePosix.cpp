#include "shell/core/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/core/Startup.h"
#include "platform/core/SignalStack.h"

namespace {
constexpr uint32_t kMaxText = 64 * 1024; // a path, never more

std::mutex g_lock;
std::condition_variable g_arrived;
std::deque<InstanceHandOver> g_queue;
std::function<void()> g_notify;
int g_lockFd = -1;
int g_listenFd = -1;
int g_wake[2] = {-1, -1};
std::thread g_listener;

std::string BaseName() {
    return AppName + "-OnlyOneInstance";
}

// The socket lives in the abstract namespace, named after the lock and the data folder:
// no file to leave behind after a crash, and it works on folders that cannot hold a
// socket (a FAT-formatted removable drive in portable mode).
socklen_t MakeAddress(sockaddr_un& addr) {
    char* cwd = getcwd(nullptr, 0);
    const std::string folder = cwd ? cwd : ".";
    std::free(cwd);
    const std::string name = BaseName() + "-" + Md5Hex(folder);
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    addr.sun_path[0] = '\0';
    std::memcpy(addr.sun_path + 1, name.c_str(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

// Reads exactly `n` bytes, giving up after 2 s of silence.
bool ReadFull(int fd, void* buf, size_t n) {
    char* p = static_cast<char*>(buf);
    while (n > 0) {
        pollfd pf{fd, POLLIN, 0};
        if (poll(&pf, 1, 2000) <= 0) return false;
        const ssize_t r = read(fd, p, n);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        p += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

bool WriteFull(int fd, const void* buf, size_t n) {
    const char* p = static_cast<const char*>(buf);
    while (n > 0) {
        const ssize_t w = send(fd, p, n, MSG_NOSIGNAL);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

void Serve(int client) {
    // An abstract socket has no file permissions: only the same user may hand over.
    ucred peer{};
    socklen_t peerLen = sizeof peer;
    if (getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &peerLen) != 0 || peer.uid != getuid())
        return;
    uint32_t head[2];
    if (!ReadFull(client, head, sizeof head)) return;
    const int32_t kind = static_cast<int32_t>(head[0]);
    const uint32_t size = head[1];
    if (size > kMaxText || size % 2 != 0) return;
    std::string bytes(size, '\0');
    if (size && !ReadFull(client, bytes.data(), size)) return;
    // cbData / 2 - 1 characters: the terminating zero is not part of the text.
    if (bytes.size() >= 2) bytes.resize(bytes.size() - 2);
    InstanceHandOver h;
    h.Kind = kind;
    h.Text = Utf16LEBytesToUtf8(bytes);
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_queue.push_back(std::move(h));
        notify = g_notify;
    }
    g_arrived.notify_all();
    const char ack = 1;
    WriteFull(client, &ack, 1);
    if (notify) notify();
}

void Listen(int listenFd, int wakeFd) {
    SignalStack signalStack;
    for (;;) {
        pollfd fds[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (fds[0].revents & POLLIN) {
            const int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            Serve(client);
            close(client);
        }
    }
}

bool StartListening() {
    sockaddr_un addr;
    const socklen_t len = MakeAddress(addr);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 || listen(fd, 8) != 0) {
        close(fd);
        return false;
    }
    if (pipe2(g_wake, O_CLOEXEC) != 0) {
        close(fd);
        return false;
    }
    g_listenFd = fd;
    g_listener = std::thread(Listen, g_listenFd, g_wake[0]);
    return true;
}

bool TryLock(int fd) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}
} // namespace

bool SingleInstance_Send(int32_t kind, const std::string& text) {
    sockaddr_un addr;
    const socklen_t len = MakeAddress(addr);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0;
    if (ok) {
        std::string bytes = Utf8ToUtf16LEBytes(text);
        bytes.append(2, '\0');
        const uint32_t head[2] = {static_cast<uint32_t>(kind), static_cast<uint32_t>(bytes.size())};
        char ack = 0;
        ok = WriteFull(fd, head, sizeof head) && WriteFull(fd, bytes.data(), bytes.size()) &&
             ReadFull(fd, &ack, 1) && ack == 1;
    }
    close(fd);
    return ok;
}

int CheckSingleInstance(const std::vector<std::string>& params) {
    const std::string lockName = BaseName() + ".lock";
    g_lockFd = open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (g_lockFd < 0) return 0;
    int32_t kind = 1;
    std::string text;
    if (!params.empty() && EndsWithNoCase(params[0], ".opml")) {
        kind = 2;
        text = Startup_AbsoluteParam(params[0]);
    }
    // The holder binds its socket right after taking the lock: a start that comes at the
    // same moment retries for a short while before running on its own.
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (TryLock(g_lockFd)) {
            if (!StartListening())
                Log("! Error CheckSingleInstance, can't listen for a second start");
            return 1;
        }
        if (SingleInstance_Send(kind, text)) {
            close(g_lockFd);
            g_lockFd = -1;
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(g_lockFd);
    g_lockFd = -1;
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
        const char b = 1;
        if (write(g_wake[1], &b, 1) < 0) {
        }
        g_listener.join();
    }
    for (int* fd : {&g_listenFd, &g_wake[0], &g_wake[1]})
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    if (g_lockFd >= 0) {
        close(g_lockFd);
        g_lockFd = -1;
    }
}

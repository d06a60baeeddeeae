// The TCP client connection over Winsock: a non-blocking socket (ioctlsocket FIONBIO)
// whose waits are select() calls of 10 ms between which the caller's stop test is asked.
#include "platform/core/NetSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

uint32_t Net_Ticks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool Net_Startup() {
    // Winsock is started once and stays for the life of the process: a WSACleanup while
    // another thread still holds a socket would break it.
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

static bool Stopped(const NetStopTest& stop) {
    return stop && stop();
}

static std::vector<NetAddress> ToAddresses(const addrinfo* list) {
    std::vector<NetAddress> out;
    for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET && ai->ai_family != AF_INET6) continue;
        NetAddress a;
        a.Family = ai->ai_family;
        a.Bytes.assign(reinterpret_cast<const char*>(ai->ai_addr), ai->ai_addrlen);
        out.push_back(std::move(a));
    }
    return out;
}

namespace {
// Shared between the waiting caller and the lookup thread; whoever leaves last frees it.
struct Lookup {
    std::mutex Mutex;
    std::condition_variable Done;
    bool Finished = false;
    std::vector<NetAddress> Result;
};

// Waits up to `ms` for the socket to become writable (connected) or readable; the
// exception set reports a failed connect on Windows.
int SelectOne(SOCKET s, bool write, int ms, bool* failed = nullptr) {
    fd_set set, errors;
    FD_ZERO(&set);
    FD_ZERO(&errors);
    FD_SET(s, &set);
    FD_SET(s, &errors);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    const int n = select(0, write ? nullptr : &set, write ? &set : nullptr, &errors, &tv);
    if (failed) *failed = n > 0 && FD_ISSET(s, &errors);
    return n;
}
} // namespace

std::vector<NetAddress> Net_Resolve(const std::string& host, int port, int timeoutMs,
                                    const NetStopTest& stop) {
    if (host.empty() || port <= 0 || port > 65535 || !Net_Startup()) return {};
    const std::string service = std::to_string(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Numeric addresses need no lookup and cannot block.
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
        auto out = ToAddresses(list);
        freeaddrinfo(list);
        return out;
    }
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, host, service] {
            addrinfo h{};
            h.ai_family = AF_UNSPEC;
            h.ai_socktype = SOCK_STREAM;
            addrinfo* res = nullptr;
            std::vector<NetAddress> out;
            if (getaddrinfo(host.c_str(), service.c_str(), &h, &res) == 0) {
                out = ToAddresses(res);
                freeaddrinfo(res);
            }
            std::lock_guard<std::mutex> lock(lookup->Mutex);
            lookup->Result = std::move(out);
            lookup->Finished = true;
            lookup->Done.notify_all();
        }).detach();
    } catch (...) {
        return {};
    }
    const uint32_t start = Net_Ticks();
    std::unique_lock<std::mutex> lock(lookup->Mutex);
    while (!lookup->Finished) {
        if (Stopped(stop)) return {};
        if (static_cast<int>(Net_Ticks() - start) >= timeoutMs) return {};
        lookup->Done.wait_for(lock, std::chrono::milliseconds(10));
    }
    return std::move(lookup->Result);
}

NetSocket::~NetSocket() {
    Close();
}

bool NetSocket::IsOpen() const {
    return m_fd != INVALID_SOCKET;
}

void NetSocket::Close() {
    if (m_fd != INVALID_SOCKET) closesocket(m_fd);
    m_fd = INVALID_SOCKET;
}

bool NetSocket::Connect(const std::string& host, int port, int timeoutMs, const NetStopTest& stop) {
    Close();
    if (!Net_Startup()) return false;
    const uint32_t start = Net_Ticks();
    const auto addresses = Net_Resolve(host, port, timeoutMs, stop);
    for (const NetAddress& a : addresses) {
        const SOCKET s = ::socket(a.Family, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) continue;
        // Not inherited by the extractors the program starts.
        SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
        u_long nonBlocking = 1;
        if (ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
            closesocket(s);
            continue;
        }
        const int rc = ::connect(s, reinterpret_cast<const sockaddr*>(a.Bytes.data()),
                                 static_cast<int>(a.Bytes.size()));
        if (rc != 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            closesocket(s);
            continue;
        }
        bool connected = rc == 0;
        while (!connected) {
            if (Stopped(stop) || static_cast<int>(Net_Ticks() - start) >= timeoutMs) break;
            bool failed = false;
            const int n = SelectOne(s, true, 10, &failed);
            if (n == SOCKET_ERROR || failed) break;
            if (n > 0) connected = true;
        }
        if (connected) {
            m_fd = s;
            return true;
        }
        closesocket(s);
        if (Stopped(stop) || static_cast<int>(Net_Ticks() - start) >= timeoutMs) break;
    }
    return false;
}

bool NetSocket::SendAll(const std::string& bytes, int timeoutMs, const NetStopTest& stop) {
    if (m_fd == INVALID_SOCKET) return false;
    size_t done = 0;
    uint32_t last = Net_Ticks();
    while (done < bytes.size()) {
        if (Stopped(stop)) return false;
        const size_t chunk = std::min<size_t>(bytes.size() - done, 1 << 20);
        const int n = ::send(m_fd, bytes.data() + done, static_cast<int>(chunk), 0);
        if (n > 0) {
            done += static_cast<size_t>(n);
            last = Net_Ticks();
            continue;
        }
        if (n == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) return false;
        if (static_cast<int>(Net_Ticks() - last) >= timeoutMs) return false;
        SelectOne(m_fd, true, 10);
    }
    return true;
}

bool NetSocket::HasData(int waitMs) {
    if (m_fd == INVALID_SOCKET) return false;
    // A closed or reset connection also reads as ready: the next recv tells which.
    return SelectOne(m_fd, false, waitMs) > 0;
}

long NetSocket::Receive(char* buffer, size_t size, int timeoutMs, const NetStopTest& stop) {
    if (m_fd == INVALID_SOCKET) return -1;
    const int want = static_cast<int>(std::min<size_t>(size, 1 << 30));
    const uint32_t start = Net_Ticks();
    for (;;) {
        const int n = ::recv(m_fd, buffer, want, 0);
        if (n >= 0) return static_cast<long>(n);
        if (WSAGetLastError() != WSAEWOULDBLOCK) return -1;
        if (Stopped(stop)) return -3;
        if (static_cast<int>(Net_Ticks() - start) >= timeoutMs) return -2;
        SelectOne(m_fd, false, 10);
    }
}

#include "platform/core/NetSocket.h"
#include "platform/core/SignalStack.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

uint32_t Net_Ticks() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
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
} // namespace

std::vector<NetAddress> Net_Resolve(const std::string& host, int port, int timeoutMs,
                                    const NetStopTest& stop) {
    if (host.empty() || port <= 0 || port > 65535) return {};
    const std::string service = std::to_string(port);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // Numeric addresses need no lookup and cannot block.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
        auto out = ToAddresses(list);
        freeaddrinfo(list);
        return out;
    }
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, host, service] {
            SignalStack signalStack;
            addrinfo h{};
            h.ai_family = AF_UNSPEC;
            h.ai_socktype = SOCK_STREAM;
            h.ai_flags = AI_NUMERICSERV;
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

bool Net_Startup() {
    return true;
}

bool NetSocket::IsOpen() const {
    return m_fd >= 0;
}

NetSocket::~NetSocket() {
    Close();
}

void NetSocket::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool NetSocket::Connect(const std::string& host, int port, int timeoutMs, const NetStopTest& stop) {
    Close();
    const uint32_t start = Net_Ticks();
    const auto addresses = Net_Resolve(host, port, timeoutMs, stop);
    for (const NetAddress& a : addresses) {
        const int fd = ::socket(a.Family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) continue;
        int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(a.Bytes.data()),
                           static_cast<socklen_t>(a.Bytes.size()));
        if (rc != 0 && errno != EINPROGRESS) {
            ::close(fd);
            continue;
        }
        bool connected = rc == 0;
        while (!connected) {
            if (Stopped(stop) || static_cast<int>(Net_Ticks() - start) >= timeoutMs) break;
            pollfd p{fd, POLLOUT, 0};
            const int n = ::poll(&p, 1, 10);
            if (n < 0 && errno != EINTR) break;
            if (n > 0) {
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
                if (err != 0) break;
                connected = true;
            }
        }
        if (connected) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
        if (Stopped(stop) || static_cast<int>(Net_Ticks() - start) >= timeoutMs) break;
    }
    return false;
}

bool NetSocket::SendAll(const std::string& bytes, int timeoutMs, const NetStopTest& stop) {
    if (m_fd < 0) return false;
    size_t done = 0;
    uint32_t last = Net_Ticks();
    while (done < bytes.size()) {
        if (Stopped(stop)) return false;
        const ssize_t n = ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            last = Net_Ticks();
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        if (static_cast<int>(Net_Ticks() - last) >= timeoutMs) return false;
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, 10);
    }
    return true;
}

bool NetSocket::HasData(int waitMs) {
    if (m_fd < 0) return false;
    pollfd p{m_fd, POLLIN, 0};
    const int n = ::poll(&p, 1, waitMs);
    return n > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
}

long NetSocket::Receive(char* buffer, size_t size, int timeoutMs, const NetStopTest& stop) {
    if (m_fd < 0) return -1;
    const uint32_t start = Net_Ticks();
    for (;;) {
        const ssize_t n = ::recv(m_fd, buffer, size, 0);
        if (n >= 0) return static_cast<long>(n);
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        if (Stopped(stop)) return -3;
        if (static_cast<int>(Net_Ticks() - start) >= timeoutMs) return -2;
        pollfd p{m_fd, POLLIN, 0};
        ::poll(&p, 1, 10);
    }
}

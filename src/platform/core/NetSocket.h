// A TCP client connection (POSIX sockets; Winsock on Windows) whose every blocking step
// (name resolution, connect, send, receive) can be abandoned: each wait is cut into
// short slices and asks the caller's stop test between them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Returns true when the caller wants the operation abandoned.
using NetStopTest = std::function<bool()>;

class NetSocket {
  public:
    NetSocket() = default;
    ~NetSocket();
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    // Resolves `host` (name or numeric address) and connects to `port`, giving up after
    // `timeoutMs` or as soon as `stop` returns true. False on any failure.
    bool Connect(const std::string& host, int port, int timeoutMs, const NetStopTest& stop);
    bool IsOpen() const;
    void Close();

    // Sends every byte; false when the peer is gone, after `timeoutMs` without progress,
    // or when `stop` asks for it.
    bool SendAll(const std::string& bytes, int timeoutMs, const NetStopTest& stop);
    // True when data (or the peer's close) is waiting, after at most `waitMs`.
    bool HasData(int waitMs);
    // Reads up to `size` bytes once. > 0 bytes read, 0 the peer closed, -1 error,
    // -2 nothing arrived within `timeoutMs`, -3 stopped. Waits in slices of 10 ms.
    long Receive(char* buffer, size_t size, int timeoutMs, const NetStopTest& stop);

  private:
#ifdef _WIN32
    uintptr_t m_fd = ~uintptr_t(0); // a SOCKET; INVALID_SOCKET when closed
#else
    int m_fd = -1;
#endif
};

// Starts the system's socket layer once for the process (WSAStartup on Windows; nothing
// to do elsewhere). True when sockets can be used; NetSocket calls it itself.
bool Net_Startup();

// Resolves a host name to the addresses to try (IPv4 and IPv6), waiting at most
// `timeoutMs` and giving up when `stop` returns true; the lookup itself runs on a helper
// thread that cleans up after itself when abandoned. Empty list on failure.
struct NetAddress {
    int Family = 0;
    std::string Bytes; // the sockaddr bytes
};
std::vector<NetAddress> Net_Resolve(const std::string& host, int port, int timeoutMs,
                                    const NetStopTest& stop);

// Milliseconds of a monotonic clock (wraps like a 32-bit tick counter).
uint32_t Net_Ticks();

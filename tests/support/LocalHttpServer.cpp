#include "support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/core/Hash.h"
#include "platform/core/Text.h"

// ---------------------------------------------------------------- helpers

static std::string ReasonOf(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 416:
        return "Range Not Satisfiable";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

HttpReply HttpOk(const std::string& body, const std::string& contentType) {
    HttpReply r;
    r.Body = body;
    r.Headers.push_back({"Content-Type", contentType});
    return r;
}

HttpReply HttpRedirect(const std::string& location, int status) {
    HttpReply r;
    r.Status = status;
    if (!location.empty()) r.Headers.push_back({"Location", location});
    r.Body = "moved";
    return r;
}

std::string GzipBytes(const std::string& bytes) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, bytes.size()) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A listening socket on 127.0.0.1 with a free port.
static int ListenLocal(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) || listen(fd, 64))
        throw std::runtime_error("bind/listen");
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

// Waits for a new connection or the wake pipe; -1 when the server stops.
static int AcceptOrWake(int listenFd, int wakeFd) {
    pollfd p[2] = {{listenFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(p, 2, -1) < 0) continue;
        if (p[1].revents) return -1;
        if (p[0].revents & POLLIN) {
            const int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) return fd;
        }
    }
}

// One accepted connection, plain or TLS, with reads that give up when the server stops.
struct ServerConnection {
    int Fd = -1;
    SSL* Ssl = nullptr;
    const std::atomic<bool>* Stop = nullptr;

    ~ServerConnection() {
        if (Ssl) {
            SSL_shutdown(Ssl);
            SSL_free(Ssl);
        }
        if (Fd >= 0) close(Fd);
    }
    bool WaitReadable() {
        if (Ssl && SSL_pending(Ssl) > 0) return true;
        while (!*Stop) {
            pollfd p{Fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0) return true;
        }
        return false;
    }
    long Read(char* buf, size_t n) {
        if (!WaitReadable()) return -1;
        if (Ssl) return SSL_read(Ssl, buf, static_cast<int>(n));
        return recv(Fd, buf, n, 0);
    }
    bool Write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const long n =
                Ssl ? SSL_write(Ssl, bytes.data() + done, static_cast<int>(bytes.size() - done))
                    : send(Fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }
    // The request head (up to the blank line), or empty.
    std::string ReadHead() {
        std::string head;
        char buf[4096];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 1 << 20) {
            const long n = Read(buf, sizeof buf);
            if (n <= 0) break;
            head.append(buf, static_cast<size_t>(n));
        }
        return head;
    }
};

// ---------------------------------------------------------------- HTTP server

LocalHttpServer::LocalHttpServer() {
    Start(false);
}

LocalHttpServer::LocalHttpServer(const std::string& certFile, const std::string& keyFile) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    if (!ctx || SSL_CTX_use_certificate_chain_file(ctx, certFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(ctx, keyFile.c_str(), SSL_FILETYPE_PEM) != 1)
        throw std::runtime_error("cannot load the test certificate");
    m_ssl = ctx;
    Start(true);
}

LocalHttpServer::~LocalHttpServer() {
    Stop();
    if (m_ssl) SSL_CTX_free(static_cast<SSL_CTX*>(m_ssl));
}

void LocalHttpServer::Start(bool) {
    m_listen = ListenLocal(m_port);
    if (pipe2(m_wake, O_CLOEXEC)) throw std::runtime_error("pipe");
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

void LocalHttpServer::Stop() {
    if (m_stop.exchange(true)) return;
    if (write(m_wake[1], "x", 1) < 0) {
    }
    if (m_acceptThread.joinable()) m_acceptThread.join();
    m_stopped.notify_all();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        workers.swap(m_workers);
    }
    for (auto& t : workers)
        t.join();
    close(m_listen);
    close(m_wake[0]);
    close(m_wake[1]);
}

std::string LocalHttpServer::Url(const std::string& path) const {
    return std::string(m_ssl ? "https://" : "http://") + HostPort() + path;
}

std::string LocalHttpServer::HostPort() const {
    return "127.0.0.1:" + std::to_string(m_port);
}

void LocalHttpServer::Serve(const std::string& path, const HttpReply& reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_replies[path] = reply;
}

std::vector<std::string> LocalHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

std::string LocalHttpServer::LastRequest() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.empty() ? std::string() : m_requests.back();
}

std::vector<std::string> LocalHttpServer::Paths() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_paths;
}

void LocalHttpServer::AcceptLoop() {
    for (;;) {
        const int fd = AcceptOrWake(m_listen, m_wake[0]);
        if (fd < 0) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workers.emplace_back([this, fd] { Handle(fd); });
    }
}

void LocalHttpServer::Handle(int fd) {
    ++m_open;
    ServerConnection c;
    c.Fd = fd;
    c.Stop = &m_stop;
    if (m_ssl) {
        c.Ssl = SSL_new(static_cast<SSL_CTX*>(m_ssl));
        SSL_set_fd(c.Ssl, fd);
        if (SSL_accept(c.Ssl) != 1) {
            --m_open;
            return;
        }
    }
    std::string head = c.ReadHead();
    // A request body announced by Content-Length is read and recorded with the head.
    const size_t headEnd = head.find("\r\n\r\n");
    const size_t lengthAt = FindNoCase(head.substr(0, headEnd), "\r\nContent-Length:");
    if (headEnd != std::string::npos && lengthAt != std::string::npos) {
        const size_t want = headEnd + 4 + static_cast<size_t>(ValInt(head.substr(lengthAt + 17)));
        char buf[4096];
        while (head.size() < want) {
            const long n = c.Read(buf, std::min(sizeof buf, want - head.size()));
            if (n <= 0) break;
            head.append(buf, static_cast<size_t>(n));
        }
    }
    // The path of the request line; an absolute URL (proxy style) is cut to its path.
    std::string path;
    const size_t sp1 = head.find(' ');
    const size_t sp2 = sp1 == std::string::npos ? sp1 : head.find(' ', sp1 + 1);
    if (sp2 != std::string::npos) path = head.substr(sp1 + 1, sp2 - sp1 - 1);
    if (path.rfind("http", 0) == 0) {
        const size_t slash = path.find('/', path.find("//") + 2);
        path = slash == std::string::npos ? "/" : path.substr(slash);
    }
    HttpReply reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(head);
        m_paths.push_back(path);
        auto it = m_replies.find(path);
        if (it == m_replies.end()) it = m_replies.find(path.substr(0, path.find('?')));
        if (it != m_replies.end()) {
            reply = it->second;
        } else {
            reply.Status = 404;
            reply.Body = "not found";
        }
    }
    // Raw answers are all "body": the cut and the stall count their bytes.
    const bool raw = !reply.Raw.empty();
    std::string body = raw ? reply.Raw : reply.Gzip ? GzipBytes(reply.Body) : reply.Body;
    if (!raw && reply.AcceptRanges) {
        reply.Headers.emplace_back("Accept-Ranges", "bytes");
        const size_t at = FindNoCase(head.substr(0, headEnd), "\r\nRange:");
        if (at != std::string::npos && reply.Status == 200) {
            const std::string line = head.substr(at + 8, head.find("\r\n", at + 2) - at - 8);
            const size_t eq = line.find('=');
            const size_t dash = line.find('-');
            if (eq != std::string::npos && dash != std::string::npos && dash > eq) {
                const size_t first = static_cast<size_t>(ValInt(line.substr(eq + 1)));
                size_t last = body.empty() ? 0 : body.size() - 1;
                const std::string lastText = Trim(line.substr(dash + 1));
                if (!lastText.empty()) last = std::min(last, static_cast<size_t>(ValInt(lastText)));
                const size_t total = body.size();
                if (first >= total || first > last) {
                    reply.Status = 416;
                    reply.Headers.emplace_back("Content-Range", "bytes */" + std::to_string(total));
                    body.clear();
                } else {
                    reply.Status = 206;
                    reply.Headers.emplace_back("Content-Range", "bytes " + std::to_string(first) +
                                                                    "-" + std::to_string(last) +
                                                                    "/" + std::to_string(total));
                    body = body.substr(first, last - first + 1);
                }
            }
        }
    }
    std::string out;
    if (!raw) {
        out = reply.Version + " " + std::to_string(reply.Status) + " " +
              (reply.Reason.empty() ? ReasonOf(reply.Status) : reply.Reason) + "\r\n";
        for (const auto& [k, v] : reply.Headers)
            out += k + ": " + v + "\r\n";
        if (reply.Gzip) out += "Content-Encoding: gzip\r\n";
        if (reply.SendContentLength)
            out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
    }
    bool ok = true;
    if (reply.HeadSplit > 0 && reply.HeadSplit < out.size()) {
        ok = c.Write(out.substr(0, reply.HeadSplit));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        out = out.substr(reply.HeadSplit);
    }
    const size_t cut = std::min(reply.StallAfter, reply.CloseAfter);
    const std::string first = out + body.substr(0, std::min(cut, body.size()));
    if (ok && !first.empty()) c.Write(first);
    if (reply.StallAfter != std::string::npos && reply.StallAfter <= reply.CloseAfter) {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop)
            m_stopped.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (c.Ssl) {
        SSL_shutdown(c.Ssl);
    } else {
        shutdown(fd, SHUT_WR);
        // Let the client read everything before the socket goes away.
        char buf[512];
        while (!m_stop) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 20) > 0 && recv(fd, buf, sizeof buf, 0) <= 0) break;
        }
    }
    --m_open;
}

// ---------------------------------------------------------------- CONNECT proxy

LocalConnectProxy::LocalConnectProxy(int backendPort) : m_backendPort(backendPort) {
    m_listen = ListenLocal(m_port);
    if (pipe2(m_wake, O_CLOEXEC)) throw std::runtime_error("pipe");
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

LocalConnectProxy::~LocalConnectProxy() {
    Stop();
}

void LocalConnectProxy::Stop() {
    if (m_stop.exchange(true)) return;
    if (write(m_wake[1], "x", 1) < 0) {
    }
    if (m_acceptThread.joinable()) m_acceptThread.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        workers.swap(m_workers);
    }
    for (auto& t : workers)
        t.join();
    close(m_listen);
    close(m_wake[0]);
    close(m_wake[1]);
}

void LocalConnectProxy::Refuse(const std::string& statusLine) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refusal = statusLine;
}

void LocalConnectProxy::RequireCredentials(const std::string& user, const std::string& password) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_credentials = Base64Encode(Utf8ToCp1252(user + ":" + password));
}

std::vector<std::string> LocalConnectProxy::Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LocalConnectProxy::AcceptLoop() {
    for (;;) {
        const int fd = AcceptOrWake(m_listen, m_wake[0]);
        if (fd < 0) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_workers.emplace_back([this, fd] { Handle(fd); });
    }
}

void LocalConnectProxy::Handle(int fd) {
    ServerConnection c;
    c.Fd = fd;
    c.Stop = &m_stop;
    const std::string head = c.ReadHead();
    std::string refusal, credentials;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(head);
        refusal = m_refusal;
        credentials = m_credentials;
    }
    if (head.rfind("CONNECT ", 0) != 0) refusal = "HTTP/1.0 405 Method Not Allowed";
    if (refusal.empty() && !credentials.empty() &&
        head.find("\r\nProxy-Authorization: Basic " + credentials + "\r\n") == std::string::npos)
        refusal = "HTTP/1.0 407 Proxy Authentication Required";
    if (!refusal.empty()) {
        c.Write(refusal + "\r\n\r\n");
        return;
    }
    ServerConnection back;
    back.Stop = &m_stop;
    back.Fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(m_backendPort));
    if (connect(back.Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        c.Write("HTTP/1.0 502 Bad Gateway\r\n\r\n");
        return;
    }
    c.Write("HTTP/1.0 200 Connection established\r\n\r\n");
    char buf[8192];
    bool clientOpen = true;
    while (!m_stop) {
        pollfd p[2] = {{fd, static_cast<short>(clientOpen ? POLLIN : 0), 0}, {back.Fd, POLLIN, 0}};
        if (poll(p, 2, 20) <= 0) continue;
        if (clientOpen && (p[0].revents & (POLLIN | POLLHUP))) {
            const long n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0) {
                clientOpen = false;
                shutdown(back.Fd, SHUT_WR);
            } else if (send(back.Fd, buf, static_cast<size_t>(n), MSG_NOSIGNAL) != n) {
                break;
            }
        }
        if (p[1].revents & (POLLIN | POLLHUP)) {
            const long n = recv(back.Fd, buf, sizeof buf, 0);
            if (n <= 0) break;
            if (send(fd, buf, static_cast<size_t>(n), MSG_NOSIGNAL) != n) break;
        }
    }
    shutdown(fd, SHUT_WR);
}

// ---------------------------------------------------------------- certificate

TestCertificate::TestCertificate(const std::string& dir) {
    CertFile = dir + "/test-cert.pem";
    KeyFile = dir + "/test-key.pem";
    const std::string cmd = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1"
                            " -addext subjectAltName=IP:127.0.0.1,DNS:localhost -keyout '" +
                            KeyFile + "' -out '" + CertFile + "' >/dev/null 2>&1";
    Ok = std::system(cmd.c_str()) == 0 && access(CertFile.c_str(), R_OK) == 0;
}

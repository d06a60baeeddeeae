// Real servers on 127.0.0.1 for the tests of anything that talks HTTP: a scripted HTTP
// (or HTTPS) server, a CONNECT proxy, and a throw-away certificate for the HTTPS server.
// Each server listens on a free port chosen by the system, serves every connection on
// its own thread, records the raw bytes of every request, and stops (releasing stalled
// connections) when destroyed.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One scripted answer.
struct HttpReply {
    int Status = 200;
    std::string Reason; // empty: the usual text of the status
    std::string Version = "HTTP/1.1";
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    bool SendContentLength = true; // "Content-Length:" of the bytes sent as body
    bool Gzip = false;             // body gzip-compressed, with "Content-Encoding: gzip"
    // When not empty: sent as is instead of head and body; the cut and the stall below
    // then count bytes of Raw.
    std::string Raw;
    size_t StallAfter = std::string::npos; // body bytes sent, then silence until the server stops
    size_t CloseAfter = std::string::npos; // body bytes sent, then the connection is closed
    size_t HeadSplit = 0; // > 0: the head is sent in two writes, this many bytes first
    // "Accept-Ranges: bytes", and a request with "Range: bytes=FIRST-[LAST]" gets the
    // 206 answer with that part of the body (416 past its end).
    bool AcceptRanges = false;
};

// Helpers to build common answers.
HttpReply HttpOk(const std::string& body, const std::string& contentType = "text/plain");
HttpReply HttpRedirect(const std::string& location, int status = 302);
// gzip (RFC 1952) of the bytes.
std::string GzipBytes(const std::string& bytes);

class LocalHttpServer {
  public:
    // Plain HTTP. With a certificate and its key (PEM files), HTTPS.
    LocalHttpServer();
    LocalHttpServer(const std::string& certFile, const std::string& keyFile);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int Port() const { return m_port; }
    // "http://127.0.0.1:port" + path (or "https://...").
    std::string Url(const std::string& path) const;
    // "127.0.0.1:port".
    std::string HostPort() const;

    // The answer for a path ("/a/b.xml", query included when the request has one; a
    // path with a query that has no own answer gets the answer of the path without it).
    // Unknown paths get a 404.
    void Serve(const std::string& path, const HttpReply& reply);
    // Raw bytes of every request received so far (head, and the body a Content-Length
    // announced), in order of arrival.
    std::vector<std::string> Requests() const;
    std::string LastRequest() const;
    // Paths requested so far, in order.
    std::vector<std::string> Paths() const;
    // Connections currently open (a stalled one stays open until the server stops).
    int OpenConnections() const { return m_open; }

    // Ends every connection and the listening thread (the destructor does it too).
    void Stop();

  private:
    void Start(bool tls);
    void AcceptLoop();
    void Handle(int fd);
    friend struct ServerConnection;

    int m_listen = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1};
    void* m_ssl = nullptr; // SSL_CTX*
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_open{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_stopped;
    std::map<std::string, HttpReply> m_replies;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_paths;
    std::thread m_acceptThread;
    std::vector<std::thread> m_workers;
};

// A proxy that answers "CONNECT" and then relays the bytes both ways to 127.0.0.1 at
// `backendPort`, whatever host the request named.
class LocalConnectProxy {
  public:
    explicit LocalConnectProxy(int backendPort);
    ~LocalConnectProxy();
    LocalConnectProxy(const LocalConnectProxy&) = delete;
    LocalConnectProxy& operator=(const LocalConnectProxy&) = delete;

    int Port() const { return m_port; }
    // Answer a refusal with this status line (e.g. "HTTP/1.0 403 Forbidden") instead of
    // opening the tunnel.
    void Refuse(const std::string& statusLine);
    // Require "Proxy-Authorization: Basic " + Base64(user:password), the credentials taken
    // as 8-bit (Windows-1252) text; 407 otherwise.
    void RequireCredentials(const std::string& user, const std::string& password);
    // Raw bytes of every CONNECT request head received so far.
    std::vector<std::string> Requests() const;
    void Stop();

  private:
    void AcceptLoop();
    void Handle(int fd);

    int m_backendPort = 0;
    int m_listen = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_refusal;
    std::string m_credentials; // the expected Base64, empty when none is required
    std::vector<std::string> m_requests;
    std::thread m_acceptThread;
    std::vector<std::thread> m_workers;
};

// A self-signed certificate for 127.0.0.1 and "localhost", made with the openssl
// program in `dir`. Ok is false when openssl is missing or failed.
struct TestCertificate {
    explicit TestCertificate(const std::string& dir);
    bool Ok = false;
    std::string CertFile;
    std::string KeyFile;
};

// The HTTP library layer behind the download methods that stand on a system service:
// one GET of a URL through libcurl, delivering the body in blocks to the caller.
// Every transfer follows redirects (at most CurlFetch_MaxRedirects), checks TLS
// certificates, accepts gzip and deflate, gives up on a connection that brings no
// data for CurlFetch_StallSeconds, and asks the caller's stop test several times a
// second, so that no transfer can hang its thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

constexpr int CurlFetch_MaxRedirects = 10;
constexpr int CurlFetch_StallSeconds = 30;

// Outcome of one fetch.
enum class CurlResult {
    Ok,         // the whole body arrived
    NotStarted, // the library could not be set up
    OpenFailed, // no connection, TLS refused, a reply of 400 or more, a final 3xx, too many
                // redirects
    ReadFailed, // the connection broke or stalled during the body
    Stopped,    // the stop test or the block receiver asked to stop
    TooLarge,   // the body (counted after decoding) or its announced length passed MaxBytes
};

struct CurlFetchOptions {
    std::string UserAgent;           // empty: the library sends none
    bool UseEnvironmentProxy = true; // false: never a proxy (http_proxy & co. ignored)
    bool NoCache = false;            // ask caches on the way for a fresh copy
    // Receives each block of the (decoded) body, at most `BlockSize` bytes at a time;
    // returns false to stop the transfer.
    std::function<bool(const char* data, size_t size)> OnBlock;
    // Asked between blocks and while waiting; true stops the transfer.
    std::function<bool()> StopTest;
    size_t BlockSize = 4096;
    // Bound on the body, counted after gzip or deflate decoding (a small compressed body
    // may unfold into gigabytes); 0 for none. Past it the transfer ends with TooLarge.
    int64_t MaxBytes = 0;
};

// Initialises the library once for the process; false when it cannot be used.
bool CurlFetch_GlobalInit();
// One GET of `url`. `httpCode` receives the final reply code (0 when none).
CurlResult CurlFetch_Get(const std::string& url, const CurlFetchOptions& options,
                         long* httpCode = nullptr);
// Adds a certificate file trusted besides the system's (tests use a certificate they
// made). Empty: only the system's.
void CurlFetch_SetExtraCaFile(const std::string& path);

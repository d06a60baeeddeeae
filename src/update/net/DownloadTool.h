// Downloads: the ordered list of download methods tried one after the other, the
// methods standing on the HTTP library ("WinINet", "API", "Pure"; "PureHttp" lives in
// PureHttp.h), the stop mask with which a worker thread is asked to give up, and the
// progress text of the running download.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

// The default bound on a document kept in memory or parsed: 64 MB.
inline constexpr int64_t DOWNLOAD_MAX_DOCUMENT_DEFAULT = int64_t(64) << 20;
// The status every method gives a download that passed its bound ("WinINet" status,
// "PureHttp" Status, the result of DownloadTool_API / DownloadTool_Receive).
inline constexpr int32_t DOWNLOAD_TOO_LARGE = 10;

// The settings a download reads, as they stand when it starts. Callers fill them from
// the preferences; the defaults are those of a fresh preferences file.
struct DownloadSettings {
    std::string DownloadPriority = "WinINet;API;PureHttp;";
    std::string NetAgent = "Orvalis";
    std::string ProxyHost;
    int32_t ProxyPort = 0;
    std::string ProxyID;
    std::string ProxyPassWord; // the password itself (not its stored Base64 form)
    bool UseProxy = false;
    // Bound on a document read into memory or parsed (a feed, a page, a bank, an OPML
    // file), counted after decoding; preference "MaxDownloadSize" in megabytes.
    int64_t MaxDocumentBytes = DOWNLOAD_MAX_DOCUMENT_DEFAULT;
};
// The settings used by the calls that take none; safe from any thread.
void Download_SetSettings(const DownloadSettings& settings);
DownloadSettings Download_GetSettings();

// Initialises the network layer (start-up); true when it can be used. Idempotent.
bool Network_Init();
// Whether the network layer was initialised successfully; downloads need it.
bool Network_IsAvailable();
// Forces the flag (tests of the "no network" path).
void Network_SetAvailable(bool available);

// Bits: 1 feed update thread, 2 podcast download thread, 8 article page thread.
extern std::mutex ThreadStopMaskLock;
extern uint32_t ThreadStopMask;
void ThreadStopMask_Set(uint32_t mask);
// ThreadStopMask AND bit, read under the mask's lock.
uint32_t IsThreadKilled(uint32_t bit);

// The progress text: a whole percentage + "%", or megabytes with 2 decimals + " Mo".
// Guarded by DownloadProgressLock (which also guards what its readers keep beside it).
extern std::mutex DownloadProgressLock;
extern std::string DownloadProgress;
std::string DownloadProgress_Get();
void DownloadProgress_Set(const std::string& text);

// Parameters and results of the "WinINet" method.
struct DownloadRequest {
    std::string UserAgent;
    int64_t TotalBytes = 0;
    std::string* Memory = nullptr; // destination when no file is given; may be grown
    int32_t Status = 0;
    uint32_t StopBit = 0;
    int64_t ExpectedSize = 0;
    // Called after every block (and while waiting for one); non-zero stops.
    std::function<int(DownloadRequest*)> Callback;
    int32_t CheckXml = 0;
    int64_t MaxBytes = 0; // bound on the (decoded) body; 0: none
};

// The "WinINet" method: GET into `file` (replaced; deleted again unless the status is
// 0) or, when `file` is empty, into request.Memory, in blocks of 4096 bytes. Statuses:
// 0 success (also: first block not XML under CheckXml), 1 stopped by the callback,
// 2 no destination or library failure, 3 URL not opened (no server, TLS refused,
// reply >= 400), 4 no read buffer, 5 memory not grown, 6 read failed or stalled,
// 7 file not created, 8 file not written, 10 (DOWNLOAD_TOO_LARGE) body over MaxBytes.
int32_t DownloadTool_WinINet(const std::string& url, const std::string& file,
                             DownloadRequest& request);
// The "API" method: downloads `url` into `file` (through the environment's proxy, with
// the "NetAgent" of Download_GetSettings); 0 when a non-empty file arrived, 1 otherwise
// (the old file is then left as it was), DOWNLOAD_TOO_LARGE past `maxBytes` (0: no
// bound). `flag` has no effect; `stopBit` abandons it.
int DownloadTool_API(const std::string& url, const std::string& file, int flag,
                     uint32_t stopBit = 0, int64_t maxBytes = 0);
// The "Pure" method: plain GET of `url` into `file`, never through a proxy; 0 success
// (an empty body included), 1 failure (the old file is then left as it was),
// DOWNLOAD_TOO_LARGE past `maxBytes` (0: no bound). `flag` has no effect; `stopBit`
// abandons it.
int DownloadTool_Receive(const std::string& url, const std::string& file, int flag,
                         uint32_t stopBit = 0, int64_t maxBytes = 0);
// Fills a "PureHttp" record for `url`: host, path, destination file, stop bit, and the
// proxy settings only when the proxy is switched on.
struct HttpRequest;
void Download_PrepareHttp(HttpRequest& request, const std::string& url, const std::string& file,
                          uint32_t stopBit, const DownloadSettings& settings);
// Writes the progress text for the request; returns its stop state (non-zero = stop).
int Download_Progress(DownloadRequest* request);

// Downloads `url` into `file` with the first method of "DownloadPriority" that
// succeeds; 1 when the file was downloaded, 0 otherwise (at once, silently, without a
// URL, a file or Network_Init). Logs "! Error, not downloaded by " per failed method (a
// failing "PureHttp" writes none) and " Downloaded by " on success. `stopBit` is the
// calling thread's bit (0: never stopped). Without settings: Download_GetSettings().
// `maxBytes` bounds a file that is to be read whole (a page for an extractor); 0 leaves
// it unbounded (a podcast enclosure streams to disk). A download over it is not tried
// again by the next method: "! Error, download over the size bound" is logged, 0 returned.
int DownloadFile(const std::string& url, const std::string& file, uint32_t stopBit,
                 int64_t expectedSize);
int DownloadFile(const std::string& url, const std::string& file, uint32_t stopBit,
                 int64_t expectedSize, const DownloadSettings& settings, int64_t maxBytes = 0);
// The log line of a download over its bound.
void Download_LogTooLarge(const std::string& method, int64_t maxBytes, const std::string& url);

// The download of an article page: the same list of methods, into memory, with only
// "WinINet" (proxy off) and "PureHttp"; a method counts when it brought more than 0
// bytes. Bounded by the settings' MaxDocumentBytes (over it: no page, no other method). Returns 1
// with `memory` holding `bytes` bytes (the block may be larger).
struct PageDownload {
    std::string Memory;
    int64_t Bytes = 0;
    int32_t Milliseconds = 0;
    std::string Method;
};
int DownloadPage_Fetch(const std::string& url, PageDownload& out, uint32_t stopBit = 8);
int DownloadPage_Fetch(const std::string& url, PageDownload& out, uint32_t stopBit,
                       const DownloadSettings& settings);

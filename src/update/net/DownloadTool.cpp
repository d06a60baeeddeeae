#include "update/net/DownloadTool.h"

#include <atomic>
#include <cstdio>

#include "platform/core/CurlFetch.h"
#include "platform/core/FileUtil.h"
#include "platform/core/NetSocket.h"
#include "platform/core/Text.h"
#include "update/net/DownloadMethods.h"
#include "shell/base/Log.h"
#include "update/net/PureHttp.h"

std::mutex DownloadProgressLock;
std::string DownloadProgress;

namespace {
std::mutex g_settingsLock;
DownloadSettings g_settings;
std::atomic<bool> g_network{false};
} // namespace

void Download_SetSettings(const DownloadSettings& settings) {
    std::lock_guard<std::mutex> lock(g_settingsLock);
    g_settings = settings;
}

DownloadSettings Download_GetSettings() {
    std::lock_guard<std::mutex> lock(g_settingsLock);
    return g_settings;
}

bool Network_Init() {
    if (DownloadMethods_Init()) g_network = true;
    return g_network;
}

bool Network_IsAvailable() {
    return g_network;
}

void Network_SetAvailable(bool available) {
    g_network = available;
}

std::string DownloadProgress_Get() {
    std::lock_guard<std::mutex> lock(DownloadProgressLock);
    return DownloadProgress;
}

void DownloadProgress_Set(const std::string& text) {
    std::lock_guard<std::mutex> lock(DownloadProgressLock);
    DownloadProgress = text;
}

int Download_Progress(DownloadRequest* request) {
    const int stop = IsThreadKilled(request->StopBit) ? 1 : 0;
    if (request->ExpectedSize > 0 && request->ExpectedSize > request->TotalBytes) {
        const int64_t percent = request->TotalBytes * 100 / request->ExpectedSize;
        DownloadProgress_Set(std::to_string(percent) + "%");
    } else if (request->TotalBytes > 0) {
        // Hundredths of a megabyte, rounded, written without the locale's decimal sign.
        const int64_t hundredths = (request->TotalBytes * 100 + 524288) / 1048576;
        const int64_t cents = hundredths % 100;
        DownloadProgress_Set(std::to_string(hundredths / 100) + (cents < 10 ? ".0" : ".") +
                             std::to_string(cents) + " Mo");
    }
    return stop;
}

// Whether the first block looks like XML: "<?xml" in its first n/2 characters read as
// ANSI text, as UTF-8 or as UTF-16.
bool Download_LooksLikeXml(const char* data, size_t n) {
    const std::string_view block(data, n);
    const size_t half = n / 2;
    if (FindNoCase(block.substr(0, half), "<?xml") != std::string::npos) return true;
    if (FindNoCase(Utf8Left(block, half), "<?xml") != std::string::npos) return true;
    const std::string utf16 = Utf16LEBytesToUtf8(block.substr(0, n & ~size_t(1)));
    return FindNoCase(Utf8Left(utf16, half), "<?xml") != std::string::npos;
}

const char* Download_FallbackAgent() {
    return "QuenbelS (compatible; ST)";
}

int Download_FetchToFile(const std::string& url, const std::string& file, bool environmentProxy,
                         bool refuseEmpty, uint32_t stopBit, int64_t maxBytes) {
    if (url.empty() || file.empty()) return 1;
    const std::string part = file + ".part";
    FILE* out = File_Open(part, "wb");
    if (!out) return 1;
    bool writeFailed = false;
    int64_t bytes = 0;
    CurlFetchOptions options;
    const std::string agent = Download_GetSettings().NetAgent;
    options.UserAgent = agent.empty() ? Download_FallbackAgent() : agent;
    options.UseEnvironmentProxy = environmentProxy;
    options.MaxBytes = maxBytes;
    options.OnBlock = [&](const char* data, size_t n) {
        if (std::fwrite(data, 1, n, out) != n) {
            writeFailed = true;
            return false;
        }
        bytes += static_cast<int64_t>(n);
        return true;
    };
    options.StopTest = [stopBit]() { return stopBit != 0 && IsThreadKilled(stopBit) != 0; };
    const CurlResult result = CurlFetch_Get(url, options);
    if (std::fclose(out) != 0) writeFailed = true;
    const bool ok = result == CurlResult::Ok && !writeFailed && !(refuseEmpty && bytes == 0);
    if (!ok || !File_Rename(part, file)) {
        File_Delete(part);
        return result == CurlResult::TooLarge ? DOWNLOAD_TOO_LARGE : 1;
    }
    return 0;
}

int DownloadTool_Receive(const std::string& url, const std::string& file, int flag,
                         uint32_t stopBit, int64_t maxBytes) {
    return Download_FetchToFile(url, file, false, false, stopBit, maxBytes);
}

void Download_LogTooLarge(const std::string& method, int64_t maxBytes, const std::string& url) {
    Log("! Error, download over the size bound of " + std::to_string(maxBytes) + " bytes by " +
        method + ", " + url);
}

void Download_PrepareHttp(HttpRequest& request, const std::string& url, const std::string& file,
                          uint32_t stopBit, const DownloadSettings& settings) {
    if (settings.UseProxy) {
        request.ProxyHost = settings.ProxyHost;
        request.ProxyPort = settings.ProxyPort;
        request.ProxyUser = settings.ProxyID;
        request.ProxyPassword = settings.ProxyPassWord;
    }
    request.Host = PureHttp_UrlPart(url, 0);
    request.Path = PureHttp_UrlPart(url, 1);
    request.File = file;
    request.StopBit = stopBit;
}

static void LogDownloaded(const std::string& method, int64_t bytes, uint32_t time,
                          const std::string& url) {
    if (time == 0) time = 1;
    const int64_t kbps = (bytes * 1000 / 1024) / static_cast<int64_t>(time);
    Log(" Downloaded by " + method + ", TotalBytes=" + std::to_string(bytes) +
        ", TotalTime=" + std::to_string(time) + "ms, KBPS=" + std::to_string(kbps) + ", " + url);
}

int DownloadFile(const std::string& url, const std::string& file, uint32_t stopBit,
                 int64_t expectedSize) {
    return DownloadFile(url, file, stopBit, expectedSize, Download_GetSettings());
}

int DownloadFile(const std::string& urlIn, const std::string& file, uint32_t stopBit,
                 int64_t expectedSize, const DownloadSettings& settings, int64_t maxBytes) {
    if (urlIn.empty() || file.empty() || !Network_IsAvailable()) return 0;
    const std::string url = ReplaceAllNoCase(urlIn, "itpc:", "http:");
    DownloadRequest request;
    request.UserAgent = settings.NetAgent;
    request.StopBit = stopBit;
    request.ExpectedSize = expectedSize;
    request.Callback = &Download_Progress;
    request.MaxBytes = maxBytes;

    const auto methods = Split(settings.DownloadPriority, ';');
    std::string method;
    int result = -1;
    int64_t bytes = 0;
    uint32_t time = 0;
    for (size_t index = 0;; ++index) {
        method = index < methods.size() ? methods[index] : std::string();
        result = -1;
        if (IsThreadKilled(stopBit)) method.clear();
        if (method == "WinINet") {
            if (!settings.UseProxy) {
                const uint32_t start = Net_Ticks();
                result = DownloadTool_WinINet(url, file, request);
                bytes = request.TotalBytes;
                time = Net_Ticks() - start;
            }
        } else if (method == "PureHttp") {
            HttpRequest http;
            Download_PrepareHttp(http, url, file, stopBit, settings);
            http.MaxBytes = maxBytes;
            PureHttp_Get(http, 10000);
            // A redirect without a new address or a body cut short is no download.
            if (PureHttp_Succeeded(http)) {
                result = 0;
                bytes = http.TotalBytes;
                time = http.TotalTime;
            } else if (http.Status == DOWNLOAD_TOO_LARGE) {
                result = DOWNLOAD_TOO_LARGE;
            }
        } else if (method == "Pure") {
            if (!settings.UseProxy) {
                const uint32_t start = Net_Ticks();
                result = DownloadTool_Receive(url, file, 1, stopBit, maxBytes);
                bytes = 0;
                time = Net_Ticks() - start;
            }
        } else if (method == "API") {
            if (!settings.UseProxy) {
                const uint32_t start = Net_Ticks();
                result = DownloadTool_API(url, file, 1, stopBit, maxBytes);
                bytes = 0;
                time = Net_Ticks() - start;
            }
        }
        if (result == DOWNLOAD_TOO_LARGE) {
            // Another method would only fetch the same oversized body again.
            Download_LogTooLarge(method, maxBytes, url);
            return 0;
        }
        if (!method.empty() && result >= 1)
            Log("! Error, not downloaded by " + method + ", " + url);
        if (result == 0 || method.empty()) break;
    }
    if (result != 0) return 0;
    LogDownloaded(method, bytes, time, url);
    return 1;
}

int DownloadPage_Fetch(const std::string& url, PageDownload& out, uint32_t stopBit) {
    return DownloadPage_Fetch(url, out, stopBit, Download_GetSettings());
}

int DownloadPage_Fetch(const std::string& urlIn, PageDownload& out, uint32_t stopBit,
                       const DownloadSettings& settings) {
    out = PageDownload{};
    if (urlIn.empty() || !Network_IsAvailable()) return 0;
    const std::string url = ReplaceAllNoCase(urlIn, "itpc:", "http:");
    out.Memory.assign(4096, '\0');
    DownloadRequest request;
    request.UserAgent = settings.NetAgent;
    request.StopBit = stopBit;
    request.Callback = &Download_Progress;
    request.MaxBytes = settings.MaxDocumentBytes;
    const auto methods = Split(settings.DownloadPriority, ';');
    std::string method;
    int result = -1;
    int64_t bytes = 0;
    uint32_t time = 0;
    for (size_t index = 0;; ++index) {
        method = index < methods.size() ? methods[index] : std::string();
        result = -1;
        if (IsThreadKilled(stopBit)) method.clear();
        if (method == "WinINet") {
            if (!settings.UseProxy) {
                request.Memory = &out.Memory;
                const uint32_t start = Net_Ticks();
                const int32_t status = DownloadTool_WinINet(url, std::string(), request);
                time = Net_Ticks() - start;
                bytes = request.TotalBytes;
                result = status == 0 && bytes > 0 ? 0 : (status == 0 ? 1 : status);
            }
        } else if (method == "PureHttp") {
            HttpRequest http;
            Download_PrepareHttp(http, url, std::string(), stopBit, settings);
            http.Memory = &out.Memory;
            http.MaxBytes = settings.MaxDocumentBytes;
            PureHttp_Get(http, 10000);
            if (PureHttp_Succeeded(http) && http.TotalBytes > 0) {
                result = 0;
                bytes = http.TotalBytes;
                time = http.TotalTime;
            } else if (http.Status == DOWNLOAD_TOO_LARGE) {
                result = DOWNLOAD_TOO_LARGE;
            }
        }
        if (result == DOWNLOAD_TOO_LARGE) {
            Download_LogTooLarge(method, settings.MaxDocumentBytes, url);
            out.Memory.clear();
            out.Memory.shrink_to_fit();
            return 0;
        }
        if (!method.empty() && result >= 1)
            Log("! Error, not downloaded by " + method + ", " + url);
        if (result == 0 || method.empty()) break;
    }
    if (result != 0) {
        out.Memory.clear();
        return 0;
    }
    LogDownloaded(method, bytes, time, url);
    out.Bytes = bytes;
    out.Milliseconds = static_cast<int32_t>(time);
    out.Method = method;
    return 1;
}

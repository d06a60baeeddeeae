// The "WinINet" method on the system's internet library, and the set-up of the network
// layer on Windows. Every library call runs under a BlockPump, so a stop or a silent
// server never holds the calling thread.
#include <windows.h>

#include <wininet.h>

#include <mutex>

#include "platform/core/BlockPump.h"
#include "platform/core/CurlFetch.h"
#include "platform/core/FileUtil.h"
#include "platform/core/NetSocket.h"
#include "platform/core/Text.h"
#include "platform/core/WinText.h"
#include "update/net/DownloadMethods.h"
#include "update/net/DownloadTool.h"

// A transfer without data for this long is given up, as on the other side.
static constexpr int kStallMs = CurlFetch_StallSeconds * 1000;

static std::wstring Wide(const std::string& utf8) {
    return Win_Wide(utf8);
}

bool DownloadMethods_Init() {
    return Net_Startup();
}

namespace {
class WinInetSource : public BlockSource {
  public:
    WinInetSource(const std::string& agent, const std::string& url, int64_t maxBytes)
        : m_agent(Wide(agent)), m_url(Wide(url)), m_maxBytes(maxBytes) {}
    ~WinInetSource() override { Cancel(); }

    int Open() override {
        HINTERNET session =
            InternetOpenW(m_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (!Keep(session, m_session)) return 2;
        DWORD ms = kStallMs;
        InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
        InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
        InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
        BOOL decode = TRUE;
        InternetSetOptionW(session, INTERNET_OPTION_HTTP_DECODING, &decode, sizeof decode);
        // Always from the network, never from or into the cache; no dialog ever.
        const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                            INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                            INTERNET_FLAG_NO_COOKIES;
        HINTERNET request = InternetOpenUrlW(session, m_url.c_str(), nullptr, 0, flags, 0);
        if (!Keep(request, m_request)) return 3;
        // A reply of 400 or more, or a redirect the library did not follow, is no body.
        DWORD code = 0, size = sizeof code, index = 0;
        if (HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                           &index) &&
            code >= 300)
            return 3;
        if (m_maxBytes > 0 && AnnouncedLength(request) > m_maxBytes) return DOWNLOAD_TOO_LARGE;
        return 0;
    }

    long Read(char* buffer, size_t size) override {
        HINTERNET request;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            request = m_request;
        }
        DWORD got = 0;
        if (!request || !InternetReadFile(request, buffer, static_cast<DWORD>(size), &got))
            return -1;
        return static_cast<long>(got);
    }

    void Cancel() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
        // Closing the handles ends a call blocked on them in the helper thread.
        if (m_request) InternetCloseHandle(m_request);
        if (m_session) InternetCloseHandle(m_session);
        m_request = m_session = nullptr;
    }

  private:
    // Stores a handle just opened, unless the transfer was cancelled meanwhile.
    bool Keep(HINTERNET handle, HINTERNET& slot) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (handle && m_cancelled) InternetCloseHandle(handle);
        if (!handle || m_cancelled) return false;
        slot = handle;
        return true;
    }
    static int64_t AnnouncedLength(HINTERNET request) {
        wchar_t text[32] = {};
        DWORD size = sizeof text, index = 0;
        if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, &index)) return -1;
        return _wtoi64(text);
    }

    std::wstring m_agent, m_url;
    int64_t m_maxBytes;
    std::mutex m_mutex;
    bool m_cancelled = false;
    HINTERNET m_session = nullptr, m_request = nullptr;
};
} // namespace

int32_t DownloadTool_WinINet(const std::string& url, const std::string& file, DownloadRequest& r) {
    if (file.empty() && !r.Memory) return 2;
    if (r.UserAgent.empty()) r.UserAgent = Download_FallbackAgent();
    r.TotalBytes = 0;
    r.Status = 1;
    const auto stop = [&r]() { return r.Callback && r.Callback(&r) != 0; };
    BlockPump pump(std::make_shared<WinInetSource>(r.UserAgent, url, r.MaxBytes));
    int open = 0;
    switch (pump.Open(open, stop, kStallMs)) {
    case PumpWait::Stopped:
        r.Status = 1;
        return r.Status;
    case PumpWait::Stalled:
        r.Status = 3;
        return r.Status;
    case PumpWait::Ready:
        if (open != 0) {
            r.Status = open < 0 ? 2 : open;
            return r.Status;
        }
    }
    // The file is created once the server answered, so that an address that cannot be
    // opened leaves an existing file alone.
    FILE* out = nullptr;
    if (!file.empty() && !(out = File_Open(file, "wb"))) {
        r.Status = 7;
        return r.Status;
    }
    bool first = true;
    for (;;) {
        const char* data = nullptr;
        long n = 0;
        const PumpWait w = pump.Next(data, n, stop, kStallMs);
        if (w == PumpWait::Stopped) {
            r.Status = 1;
            break;
        }
        if (w == PumpWait::Stalled || n < 0) {
            r.Status = 6;
            break;
        }
        if (n == 0) {
            r.Status = 0;
            break;
        }
        if (first && r.CheckXml && !Download_LooksLikeXml(data, static_cast<size_t>(n))) {
            r.TotalBytes += n;
            r.Status = 0;
            break;
        }
        first = false;
        if (r.MaxBytes > 0 && r.TotalBytes + n > r.MaxBytes) {
            r.Status = DOWNLOAD_TOO_LARGE;
            break;
        }
        if (out) {
            if (std::fwrite(data, 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
                r.Status = 8;
                break;
            }
        } else {
            const size_t need = static_cast<size_t>(r.TotalBytes) + static_cast<size_t>(n);
            if (r.Memory->size() < need) {
                try {
                    r.Memory->resize(r.Memory->size() + static_cast<size_t>(n));
                } catch (...) {
                    r.Status = 5;
                    break;
                }
            }
            std::copy(data, data + n, r.Memory->begin() + r.TotalBytes);
        }
        r.TotalBytes += n;
        if (r.Callback && r.Callback(&r) != 0) {
            r.Status = 1;
            break;
        }
    }
    pump.Cancel();
    if (r.Status == DOWNLOAD_TOO_LARGE && r.Memory) {
        // Nothing of an oversized body is kept.
        r.Memory->clear();
        r.Memory->shrink_to_fit();
        r.TotalBytes = 0;
    }
    if (out) {
        if (std::fclose(out) != 0 && r.Status == 0) r.Status = 8;
        if (r.Status != 0) File_Delete(file);
    }
    return r.Status;
}

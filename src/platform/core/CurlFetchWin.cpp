// The HTTP library layer on Windows: the same contract as over libcurl, on WinHTTP. The
// library's calls run on a helper thread under a BlockPump, so the stop test is asked
// every 10 ms whatever the server does; a compressed body the library leaves as it came
// is decoded here with zlib, so the bound counts decoded bytes on both sides.
#include "platform/core/CurlFetch.h"

#include <windows.h>

#include <winhttp.h>
#include <zlib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/BlockPump.h"
#include "platform/core/NetSocket.h"
#include "platform/core/WinText.h"

namespace {
// Statuses of the source's Open.
constexpr int kNotStarted = 1;
constexpr int kOpenFailed = 2;
constexpr int kTooLarge = 3;

std::mutex g_caLock;
std::string g_caFile;

class WinHttpSource : public BlockSource {
  public:
    WinHttpSource(const std::string& url, const CurlFetchOptions& options)
        : m_agent(Win_Wide(options.UserAgent)), m_url(Win_Wide(url)), m_maxBytes(options.MaxBytes),
          m_proxy(options.UseEnvironmentProxy), m_noCache(options.NoCache) {}

    // The reply code of the last answer (0: none).
    long Code() const { return m_code; }
    ~WinHttpSource() override {
        Cancel();
        if (m_inflating) inflateEnd(&m_zip);
    }

    int Open() override {
        URL_COMPONENTSW parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
        parts.dwSchemeLength = DWORD(-1);
        if (!WinHttpCrackUrl(m_url.c_str(), 0, 0, &parts)) return kOpenFailed;
        if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
            return kOpenFailed;
        const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        if (path.empty()) path = L"/";

        // The agent is sent only when there is one, as on the other side.
        HINTERNET session =
            WinHttpOpen(m_agent.empty() ? L"" : m_agent.c_str(),
                        m_proxy ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!Keep(session, m_session)) return kNotStarted;
        const int ms = CurlFetch_StallSeconds * 1000;
        WinHttpSetTimeouts(session, ms, ms, ms, ms);
        HINTERNET connection = WinHttpConnect(session, host.c_str(), parts.nPort, 0);
        if (!Keep(connection, m_connection)) return kOpenFailed;
        const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        HINTERNET request =
            WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                               WINHTTP_DEFAULT_ACCEPT_TYPES, secure);
        if (!Keep(request, m_request)) return kOpenFailed;
        DWORD redirects = CurlFetch_MaxRedirects;
        WinHttpSetOption(request, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                         sizeof redirects);
        // gzip and deflate bodies are decoded by the library where it can, here otherwise.
        DWORD decompress = WINHTTP_DECOMPRESSION_FLAG_ALL;
        const bool libraryDecodes =
            WinHttpSetOption(request, WINHTTP_OPTION_DECOMPRESSION, &decompress, sizeof decompress);
        const wchar_t* noCache = L"Cache-Control: no-cache\r\nPragma: no-cache";
        if (!WinHttpSendRequest(request, m_noCache ? noCache : WINHTTP_NO_ADDITIONAL_HEADERS,
                                m_noCache ? DWORD(-1) : 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
            !WinHttpReceiveResponse(request, nullptr))
            return kOpenFailed;
        DWORD code = 0, size = sizeof code;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                                 WINHTTP_NO_HEADER_INDEX))
            return kOpenFailed;
        m_code = static_cast<long>(code);
        // A reply of 400 or more, or a redirect that was not followed, is no document.
        if (code >= 300) return kOpenFailed;
        if (!libraryDecodes) {
            wchar_t coding[64] = {};
            DWORD codingSize = sizeof coding;
            if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_ENCODING,
                                    WINHTTP_HEADER_NAME_BY_INDEX, coding, &codingSize,
                                    WINHTTP_NO_HEADER_INDEX)) {
                const std::wstring c = coding;
                // windowBits 15 + 32: a gzip or a zlib stream, told by its header.
                if ((c == L"gzip" || c == L"x-gzip" || c == L"deflate") &&
                    inflateInit2(&m_zip, 15 + 32) == Z_OK)
                    m_inflating = true;
            }
        }
        if (m_maxBytes > 0) {
            wchar_t text[32] = {};
            DWORD textSize = sizeof text;
            if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH,
                                    WINHTTP_HEADER_NAME_BY_INDEX, text, &textSize,
                                    WINHTTP_NO_HEADER_INDEX) &&
                _wtoi64(text) > m_maxBytes)
                return kTooLarge;
        }
        return 0;
    }

    long Read(char* buffer, size_t size) override {
        if (!m_inflating) return ReadRaw(buffer, size);
        // Decodes until some output is there, the stream ends or the body does.
        m_zip.next_out = reinterpret_cast<Bytef*>(buffer);
        m_zip.avail_out = static_cast<uInt>(size);
        while (m_zip.avail_out == size && !m_zipEnded) {
            if (m_zip.avail_in == 0) {
                m_raw.resize(4096);
                const long n = ReadRaw(m_raw.data(), m_raw.size());
                if (n < 0) return -1;
                if (n == 0) return -1; // the body ended inside the compressed stream
                m_zip.next_in = reinterpret_cast<Bytef*>(m_raw.data());
                m_zip.avail_in = static_cast<uInt>(n);
            }
            const int rc = inflate(&m_zip, Z_NO_FLUSH);
            if (rc == Z_STREAM_END)
                m_zipEnded = true;
            else if (rc != Z_OK && rc != Z_BUF_ERROR)
                return -1;
        }
        return static_cast<long>(size - m_zip.avail_out);
    }

    long ReadRaw(char* buffer, size_t size) {
        HINTERNET request;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            request = m_request;
        }
        DWORD got = 0;
        if (!request || !WinHttpReadData(request, buffer, static_cast<DWORD>(size), &got))
            return -1;
        return static_cast<long>(got);
    }

    void Cancel() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
        // Closing the request ends a call blocked on it in the helper thread.
        if (m_request) WinHttpCloseHandle(m_request);
        if (m_connection) WinHttpCloseHandle(m_connection);
        if (m_session) WinHttpCloseHandle(m_session);
        m_request = m_connection = m_session = nullptr;
    }

  private:
    bool Keep(HINTERNET handle, HINTERNET& slot) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (handle && m_cancelled) WinHttpCloseHandle(handle);
        if (!handle || m_cancelled) return false;
        slot = handle;
        return true;
    }

    std::wstring m_agent, m_url;
    int64_t m_maxBytes;
    bool m_proxy, m_noCache;
    std::atomic<long> m_code{0};
    std::mutex m_mutex;
    bool m_cancelled = false;
    HINTERNET m_session = nullptr, m_connection = nullptr, m_request = nullptr;
    // Decoding of a compressed body the library left as it came.
    z_stream m_zip{};
    bool m_inflating = false, m_zipEnded = false;
    std::vector<char> m_raw;
};
} // namespace

bool CurlFetch_GlobalInit() {
    return Net_Startup();
}

void CurlFetch_SetExtraCaFile(const std::string& path) {
    // Windows trusts the certificates of its own store; the file is kept for the record.
    std::lock_guard<std::mutex> lock(g_caLock);
    g_caFile = path;
}

CurlResult CurlFetch_Get(const std::string& url, const CurlFetchOptions& options, long* httpCode) {
    if (httpCode) *httpCode = 0;
    if (!CurlFetch_GlobalInit()) return CurlResult::NotStarted;
    auto source = std::make_shared<WinHttpSource>(url, options);
    const int stallMs = CurlFetch_StallSeconds * 1000;
    const std::function<bool()> stop = [&options]() {
        return options.StopTest && options.StopTest();
    };
    BlockPump pump(source);
    int open = 0;
    const PumpWait opened = pump.Open(open, stop, stallMs);
    if (httpCode) *httpCode = source->Code();
    if (opened == PumpWait::Stopped) return CurlResult::Stopped;
    if (opened == PumpWait::Stalled) return CurlResult::OpenFailed;
    switch (open) {
    case 0:
        break;
    case kTooLarge:
        return CurlResult::TooLarge;
    case kOpenFailed:
        return CurlResult::OpenFailed;
    default:
        return CurlResult::NotStarted;
    }
    const size_t blockSize = options.BlockSize ? options.BlockSize : 4096;
    int64_t total = 0;
    for (;;) {
        const char* data = nullptr;
        long n = 0;
        const PumpWait w = pump.Next(data, n, stop, stallMs);
        if (w == PumpWait::Stopped) return CurlResult::Stopped;
        if (w == PumpWait::Stalled || n < 0) return CurlResult::ReadFailed;
        if (n == 0) return CurlResult::Ok;
        total += n;
        if (options.MaxBytes > 0 && total > options.MaxBytes) return CurlResult::TooLarge;
        if (!options.OnBlock) continue;
        for (long at = 0; at < n;) {
            const size_t part = std::min<size_t>(blockSize, static_cast<size_t>(n - at));
            if (!options.OnBlock(data + at, part)) return CurlResult::Stopped;
            at += static_cast<long>(part);
        }
    }
}

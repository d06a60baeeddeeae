// The "Pure" method on WinHTTP: a plain GET straight to the server, never through a
// proxy, into a part file renamed over the destination once the whole body arrived.
#include <windows.h>

#include <winhttp.h>

#include <zlib.h>

#include <mutex>
#include <vector>

#include "platform/core/CurlFetch.h"
#include "platform/core/Text.h"
#include "update/net/DownloadMethods.h"
#include "update/net/DownloadTool.h"
#include "update/net/DownloadWin.h"

namespace {
std::wstring Wide(const std::string& utf8) {
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

class WinHttpSource : public DownloadSource {
  public:
    WinHttpSource(const std::string& agent, const std::string& url, int64_t maxBytes)
        : m_agent(Wide(agent)), m_url(Wide(url)), m_maxBytes(maxBytes) {}
    ~WinHttpSource() override {
        Cancel();
        if (m_inflating) inflateEnd(&m_zip);
    }

    int Open() override {
        URL_COMPONENTSW parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
        parts.dwSchemeLength = DWORD(-1);
        if (!WinHttpCrackUrl(m_url.c_str(), 0, 0, &parts)) return 1;
        if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
            return 1;
        const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
        path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        if (path.empty()) path = L"/";

        HINTERNET session = WinHttpOpen(m_agent.c_str(), WINHTTP_ACCESS_TYPE_NO_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!Keep(session, m_session)) return 1;
        const int ms = CurlFetch_StallSeconds * 1000;
        WinHttpSetTimeouts(session, ms, ms, ms, ms);
        HINTERNET connection = WinHttpConnect(session, host.c_str(), parts.nPort, 0);
        if (!Keep(connection, m_connection)) return 1;
        const DWORD secure = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
        HINTERNET request =
            WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                               WINHTTP_DEFAULT_ACCEPT_TYPES, secure);
        if (!Keep(request, m_request)) return 1;
        // gzip and deflate bodies are decoded by the library where it can, here otherwise.
        DWORD decompress = WINHTTP_DECOMPRESSION_FLAG_ALL;
        const bool libraryDecodes =
            WinHttpSetOption(request, WINHTTP_OPTION_DECOMPRESSION, &decompress, sizeof decompress);
        if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                                0, 0, 0) ||
            !WinHttpReceiveResponse(request, nullptr))
            return 1;
        DWORD code = 0, size = sizeof code;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &code, &size,
                                 WINHTTP_NO_HEADER_INDEX) ||
            code >= 300)
            return 1;
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
                return DOWNLOAD_TOO_LARGE;
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
    std::mutex m_mutex;
    bool m_cancelled = false;
    HINTERNET m_session = nullptr, m_connection = nullptr, m_request = nullptr;
    // Decoding of a compressed body the library left as it came.
    z_stream m_zip{};
    bool m_inflating = false, m_zipEnded = false;
    std::vector<char> m_raw;
};
} // namespace

int DownloadTool_Receive(const std::string& url, const std::string& file, int flag,
                         uint32_t stopBit, int64_t maxBytes) {
    if (url.empty() || file.empty()) return 1;
    const std::string agent = Download_GetSettings().NetAgent;
    auto source = std::make_shared<WinHttpSource>(agent.empty() ? Download_FallbackAgent() : agent,
                                                  url, maxBytes);
    return DownloadWin_FetchToFile(source, file, false, stopBit, maxBytes);
}

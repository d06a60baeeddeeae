#include "platform/core/CurlFetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

namespace {
std::mutex g_caMutex;
std::string g_caFile;

struct Transfer {
    CURL* Handle = nullptr;
    const CurlFetchOptions* Options = nullptr;
    bool ReceiverStopped = false;
    bool TooLarge = false;
    int64_t Received = 0; // decoded body bytes handed on so far
};
} // namespace

bool CurlFetch_GlobalInit() {
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

void CurlFetch_SetExtraCaFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_caMutex);
    g_caFile = path;
}

static size_t OnWrite(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t total = size * count;
    // The body of a final redirect (one without a new address) is no document.
    long code = 0;
    curl_easy_getinfo(t->Handle, CURLINFO_RESPONSE_CODE, &code);
    if (code >= 300 && code < 400) return total;
    if (!t->Options->OnBlock) return total;
    // Counted before anything is handed on, so a decoded bomb never reaches the receiver.
    t->Received += static_cast<int64_t>(total);
    if (t->Options->MaxBytes > 0 && t->Received > t->Options->MaxBytes) {
        t->TooLarge = true;
        return CURL_WRITEFUNC_ERROR;
    }
    const size_t block = t->Options->BlockSize ? t->Options->BlockSize : 4096;
    // The library may hand over more than one block at once (decoded gzip): cut it.
    for (size_t done = 0; done < total;) {
        const size_t n = std::min(block, total - done);
        if (!t->Options->OnBlock(data + done, n)) {
            t->ReceiverStopped = true;
            return CURL_WRITEFUNC_ERROR;
        }
        done += n;
    }
    return total;
}

static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* t = static_cast<Transfer*>(user);
    if (t->Options->StopTest && t->Options->StopTest()) return 1;
    return 0;
}

CurlResult CurlFetch_Get(const std::string& url, const CurlFetchOptions& options, long* httpCode) {
    if (httpCode) *httpCode = 0;
    if (!CurlFetch_GlobalInit()) return CurlResult::NotStarted;
    CURL* curl = curl_easy_init();
    if (!curl) return CurlResult::NotStarted;
    Transfer t;
    t.Options = &options;
    t.Handle = curl;
    std::string caFile;
    {
        std::lock_guard<std::mutex> lock(g_caMutex);
        caFile = g_caFile;
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(CurlFetch_MaxRedirects));
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    // The announced (and received, undecoded) length; the decoded length is counted in
    // OnWrite.
    if (options.MaxBytes > 0)
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                         static_cast<curl_off_t>(options.MaxBytes));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(CurlFetch_StallSeconds));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(CurlFetch_StallSeconds));
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE,
                     static_cast<long>(options.BlockSize < 1024 ? 1024 : options.BlockSize));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!caFile.empty()) {
        // The extra file, and the system's folder of certificates beside it.
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
        curl_easy_setopt(curl, CURLOPT_CAPATH, "/etc/ssl/certs");
    }
    if (!options.UserAgent.empty())
        curl_easy_setopt(curl, CURLOPT_USERAGENT, options.UserAgent.c_str());
    if (!options.UseEnvironmentProxy) curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_slist* headers = nullptr;
    if (options.NoCache) {
        headers = curl_slist_append(headers, "Cache-Control: no-cache");
        headers = curl_slist_append(headers, "Pragma: no-cache");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnWrite);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode rc = curl_easy_perform(curl);
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    curl_off_t received = 0;
    curl_easy_getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    if (httpCode) *httpCode = code;

    if (t.TooLarge || rc == CURLE_FILESIZE_EXCEEDED) return CurlResult::TooLarge;
    switch (rc) {
    case CURLE_OK:
        // A redirect that names no new address ends on the 3xx itself: no document.
        return code >= 300 && code < 400 ? CurlResult::OpenFailed : CurlResult::Ok;
    case CURLE_ABORTED_BY_CALLBACK:
        return CurlResult::Stopped;
    case CURLE_WRITE_ERROR:
        return t.ReceiverStopped ? CurlResult::Stopped : CurlResult::ReadFailed;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_GOT_NOTHING:
        // A stall or a break before any byte of the body counts as not opened.
        return received > 0 || code != 0 ? CurlResult::ReadFailed : CurlResult::OpenFailed;
    default:
        return CurlResult::OpenFailed;
    }
}

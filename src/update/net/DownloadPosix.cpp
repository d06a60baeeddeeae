// The "WinINet" and "API" methods over the HTTP library, libcurl ("Pure" is common to
// both sides: DownloadTool.cpp over CurlFetch).
#include <cstdio>

#include "platform/core/CurlFetch.h"
#include "platform/core/FileUtil.h"
#include "update/net/DownloadMethods.h"
#include "update/net/DownloadTool.h"

bool DownloadMethods_Init() {
    return CurlFetch_GlobalInit();
}

int32_t DownloadTool_WinINet(const std::string& url, const std::string& file, DownloadRequest& r) {
    if (file.empty() && !r.Memory) return 2;
    if (r.UserAgent.empty()) r.UserAgent = Download_FallbackAgent();
    r.TotalBytes = 0;
    r.Status = 1;
    if (!CurlFetch_GlobalInit()) {
        r.Status = 2;
        return r.Status;
    }
    FILE* out = nullptr;
    bool first = true;
    int32_t endStatus = -1; // set when the block receiver ends the transfer
    // The file is created when the server answered, so that an address that cannot be
    // opened leaves an existing file alone.
    auto createFile = [&]() {
        out = File_Open(file, "wb");
        return out != nullptr;
    };
    CurlFetchOptions options;
    options.UserAgent = r.UserAgent;
    options.NoCache = true;
    options.BlockSize = 4096;
    options.MaxBytes = r.MaxBytes;
    options.OnBlock = [&](const char* data, size_t n) -> bool {
        if (!file.empty() && !out && !createFile()) {
            endStatus = 7;
            return false;
        }
        if (first && r.CheckXml && !Download_LooksLikeXml(data, n)) {
            r.TotalBytes += static_cast<int64_t>(n);
            endStatus = 0;
            return false;
        }
        first = false;
        if (out) {
            if (std::fwrite(data, 1, n, out) != n) {
                endStatus = 8;
                return false;
            }
        } else {
            const size_t need = static_cast<size_t>(r.TotalBytes) + n;
            if (r.Memory->size() < need) {
                try {
                    r.Memory->resize(r.Memory->size() + n);
                } catch (...) {
                    endStatus = 5;
                    return false;
                }
            }
            std::copy(data, data + n, r.Memory->begin() + r.TotalBytes);
        }
        r.TotalBytes += static_cast<int64_t>(n);
        if (r.Callback && r.Callback(&r) != 0) {
            endStatus = 1;
            return false;
        }
        return true;
    };
    options.StopTest = [&]() { return r.Callback && r.Callback(&r) != 0; };

    const CurlResult result = CurlFetch_Get(url, options);
    switch (result) {
    case CurlResult::Ok:
        r.Status = 0;
        if (!file.empty() && !out && !createFile()) r.Status = 7;
        break;
    case CurlResult::Stopped:
        r.Status = endStatus >= 0 ? endStatus : 1;
        break;
    case CurlResult::NotStarted:
        r.Status = 2;
        break;
    case CurlResult::OpenFailed:
        r.Status = 3;
        break;
    case CurlResult::ReadFailed:
        r.Status = 6;
        break;
    case CurlResult::TooLarge:
        r.Status = DOWNLOAD_TOO_LARGE;
        break;
    }
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

int DownloadTool_API(const std::string& url, const std::string& file, int flag, uint32_t stopBit,
                     int64_t maxBytes) {
    const int result = Download_FetchToFile(url, file, true, true, stopBit, maxBytes);
    if (result != 0) return result == DOWNLOAD_TOO_LARGE ? result : 1;
    return File_Exists(file) ? 0 : 1;
}

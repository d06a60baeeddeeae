// What the download list shares with the two sides of the methods that stand on a
// system service (DownloadPosix.cpp over libcurl, the Windows files over WinINet and
// urlmon; "Pure" goes through CurlFetch on both: libcurl, or WinHTTP on Windows).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Sets up the libraries behind the methods once for the process (the socket layer
// included); false when downloads cannot work. Called by Network_Init.
bool DownloadMethods_Init();
// Whether the first block looks like XML: "<?xml" in its first n/2 characters read as
// ANSI text, as UTF-8 or as UTF-16 (the XML check of "WinINet").
bool Download_LooksLikeXml(const char* data, size_t n);
// The agent sent when "NetAgent" is empty.
const char* Download_FallbackAgent();
// GET of `url` through CurlFetch into `file` + ".part", renamed over `file` only when the
// whole body arrived (and, with `refuseEmpty`, held at least one byte). 0 success, 1
// failure (the old file left as it was), DOWNLOAD_TOO_LARGE past `maxBytes` (0: none).
int Download_FetchToFile(const std::string& url, const std::string& file, bool environmentProxy,
                         bool refuseEmpty, uint32_t stopBit, int64_t maxBytes);

// What the download list shares with the two sides of the methods that stand on a
// system service (DownloadPosix.cpp over libcurl, the Windows files over WinINet,
// urlmon and WinHTTP).
#pragma once
#include <cstddef>

// Sets up the libraries behind the methods once for the process (the socket layer
// included); false when downloads cannot work. Called by Network_Init.
bool DownloadMethods_Init();
// Whether the first block looks like XML: "<?xml" in its first n/2 characters read as
// ANSI text, as UTF-8 or as UTF-16 (the XML check of "WinINet").
bool Download_LooksLikeXml(const char* data, size_t n);
// The agent sent when "NetAgent" is empty.
const char* Download_FallbackAgent();

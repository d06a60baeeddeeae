// What the Windows download methods share (WinINet, WinHTTP and urlmon files).
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "update/net/DownloadPump.h"

// A source's Open returns DOWNLOAD_TOO_LARGE when the announced length passes its bound.
// Opens a file by its UTF-8 name through the wide-character API.
FILE* DownloadWin_OpenFile(const std::string& path, const wchar_t* mode);
// Fetches the source's body into `file` + ".part", renamed over `file` only when the
// whole body arrived (an empty one included unless `refuseEmpty`). 0 success, 1 failure
// (the old file left as it was), DOWNLOAD_TOO_LARGE past `maxBytes` (0: no bound).
// `stopBit` abandons it at once.
int DownloadWin_FetchToFile(const std::shared_ptr<DownloadSource>& source, const std::string& file,
                            bool refuseEmpty, uint32_t stopBit, int64_t maxBytes);

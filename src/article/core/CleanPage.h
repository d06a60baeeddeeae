// The extraction of an article's web page: the page thread downloads the page into
// memory (stop bit 8), the page is decoded to text, converted with the feed's extraction
// switches and cleaned (ArticleText.h). The window side only shows the wait box and puts
// the result into the text view.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "update/net/DownloadTool.h"

// The record the page thread fills; created zeroed for one extraction.
struct ArticlePage {
    std::string Url;   // the article's address (the item's Link)
    int32_t Done = 0;  // 1 once the page was received
    std::string Html;  // the page as text, after the character-set conversion
    int64_t Bytes = 0; // bytes received
    int32_t Milliseconds = 0;
    uint32_t ExtractFlags = 102400; // the feed's FormatExtractText; low 8 bits: charset
};

// The text of a downloaded page, as the XML acquisition reads pages: a NUL among the first
// 10 bytes means UTF-16 little-endian; "utf8" or "utf-8" (any case) in the first 8000
// bytes means UTF-8 (bad bytes read as U+FFFD); otherwise Windows-1252. `format`: 0
// detect, 2 UTF-8, 9 UTF-16, any other value Windows-1252.
std::string CleanPage_DecodePage(std::string_view bytes, int format);

// The methods a page is downloaded with.
extern const char* const CleanPage_Methods; // "WinINet;PureHttp;"

// The page thread's work, on the calling thread: downloads page.Url into memory over
// CleanPage_Methods (the other settings from `settings`), giving up when `stopBit` is
// raised; decodes the bytes with CleanPage_DecodePage (format = low 8 bits of ExtractFlags) into
// Html and sets Done, Bytes and Milliseconds. Nothing changes when no method brought
// more than 0 bytes.
void DownloadPage(ArticlePage& page, uint32_t stopBit, const DownloadSettings& settings);

// Runs DownloadPage on the article page thread and waits for it, pausing 10 ms at a time
// and asking `cancelled` between pauses. On a cancel the
// thread is asked to stop (CloseThread with bit 8) and the wait ends. Returns 1 when the
// page arrived, 0 when it did not, -1 when cancelled. Only one page thread runs at a
// time: while an earlier one is still ending, 0 is returned at once.
int CleanPage_Download(ArticlePage& page, const std::function<bool()>& cancelled,
                       const DownloadSettings& settings);
// Whether the page thread runs.
bool CleanPage_ThreadRunning();

// The whole extraction without a window: download (with `cancelled`), then the clean
// text (CleanPage_Build) with `title` and the text view's `clue`. "" when the page did
// not arrive, converts to nothing or the extraction was cancelled (`status` receives
// the download's result).
// `channel`, when given, names the video channel's feed address for a page ("" for none);
// a non-empty answer starts the text with "Chaine YouTube : " + that address.
using ChannelFinder = std::function<std::string(const std::string& url, const std::string& html)>;
std::string CleanPage_ExtractText(const std::string& url, uint32_t extractFlags,
                                  const std::string& title, const std::string& clue,
                                  const std::function<bool()>& cancelled,
                                  const std::function<void(int)>& progress,
                                  const DownloadSettings& settings, int* status = nullptr,
                                  const ChannelFinder& channel = {});

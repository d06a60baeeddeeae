#include "article/core/CleanPage.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "article/core/ArticleText.h"
#include "platform/core/Text.h"
#include "shell/base/CloseThread.h"
#include "shell/base/Log.h"

const char* const CleanPage_Methods = "WinINet;PureHttp;";

namespace {
std::atomic<bool> g_running{false};
std::once_flag g_registerOnce;

void RegisterThread() {
    std::call_once(g_registerOnce, [] {
        // The stop mask is the download layer's: CloseThread writes it there.
        CloseThread_SetMaskWriter([](uint32_t mask) { ThreadStopMask_Set(mask); });
        CloseThread_Register(WORKER_ARTICLE_PAGE, "DownloadPage", [] { return g_running.load(); });
    });
}
} // namespace

std::string CleanPage_DecodePage(std::string_view bytes, int format) {
    if (bytes.empty()) return {};
    auto asUtf8 = [](std::string_view b) {
        return IsValidUtf8(b) ? std::string(b) : Utf32ToUtf8(Utf8ToUtf32(b));
    };
    if (format == 0) {
        if (bytes.substr(0, 10).find('\0') != std::string_view::npos) {
            format = 9;
        } else {
            const std::string head = AsciiLower(asUtf8(bytes.substr(0, 8000)));
            if (head.find("utf8") != std::string::npos || head.find("utf-8") != std::string::npos)
                format = 2;
        }
    }
    if (format == 2) return asUtf8(bytes);
    if (format == 9) {
        // A little-endian byte-order mark is no part of the text.
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE)
            bytes.remove_prefix(2);
        return Utf16LEBytesToUtf8(bytes);
    }
    return Cp1252ToUtf8(bytes);
}

void DownloadPage(ArticlePage& page, uint32_t stopBit, const DownloadSettings& settings) {
    DownloadSettings s = settings;
    s.DownloadPriority = CleanPage_Methods;
    PageDownload got;
    if (!DownloadPage_Fetch(page.Url, got, stopBit, s)) return;
    const size_t size =
        static_cast<size_t>(std::min<int64_t>(got.Bytes, static_cast<int64_t>(got.Memory.size())));
    page.Html = CleanPage_DecodePage(std::string_view(got.Memory.data(), size),
                                     static_cast<int>(page.ExtractFlags & 0xFF));
    page.Bytes = got.Bytes;
    page.Milliseconds = got.Milliseconds;
    page.Done = 1;
}

bool CleanPage_ThreadRunning() {
    return g_running.load();
}

int CleanPage_Download(ArticlePage& page, const std::function<bool()>& cancelled,
                       const DownloadSettings& settings) {
    RegisterThread();
    bool expected = false;
    if (!g_running.compare_exchange_strong(expected, true)) {
        Log("! CleanPage_Extract, the page thread of an earlier extraction still runs");
        return 0;
    }
    // The thread owns its own copy of the record: a thread that ends late (after a
    // cancel) writes into nothing the caller still reads.
    struct Shared {
        ArticlePage Page;
        std::mutex Lock;
        std::condition_variable Ended;
        bool Finished = false;
    };
    auto shared = std::make_shared<Shared>();
    shared->Page = page;
    try {
        std::thread([shared, settings] {
            try {
                DownloadPage(shared->Page, WORKER_ARTICLE_PAGE, settings);
            } catch (const std::exception& e) {
                Log(std::string("! DownloadPage, ") + e.what());
            } catch (...) {
                Log("! DownloadPage, unknown failure");
            }
            // The slot is free before the waiter hears of the end, so that an extraction
            // started right after this one finds it free.
            g_running.store(false);
            {
                std::lock_guard<std::mutex> lock(shared->Lock);
                shared->Finished = true;
            }
            shared->Ended.notify_all();
        }).detach();
    } catch (const std::exception& e) {
        g_running.store(false);
        Log(std::string("! CleanPage_Extract, no page thread: ") + e.what());
        return 0;
    }
    // Pauses of at most 10 ms, ended early when the thread is done.
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(shared->Lock);
            if (shared->Ended.wait_for(lock, std::chrono::milliseconds(10),
                                       [&] { return shared->Finished; }))
                break;
        }
        if (cancelled && cancelled()) {
            Log("- CleanPage_Extract cancelled, " + page.Url);
            CloseThread(WORKER_ARTICLE_PAGE);
            return -1;
        }
    }
    page = shared->Page;
    return page.Done == 1 ? 1 : 0;
}

std::string CleanPage_ExtractText(const std::string& url, uint32_t extractFlags,
                                  const std::string& title, const std::string& clue,
                                  const std::function<bool()>& cancelled,
                                  const std::function<void(int)>& progress,
                                  const DownloadSettings& settings, int* status,
                                  const ChannelFinder& channel) {
    ArticlePage page;
    page.Url = url;
    page.ExtractFlags = extractFlags;
    const int got = url.empty() ? 0 : CleanPage_Download(page, cancelled, settings);
    if (status) *status = got;
    if (got != 1) return {};
    CleanPageInput in;
    if (channel) in.Channel = channel(url, page.Html);
    in.Html = std::move(page.Html);
    in.ExtractFlags = extractFlags;
    in.Title = title;
    in.Url = url;
    in.Clue = clue;
    in.Bytes = page.Bytes;
    in.Milliseconds = page.Milliseconds;
    return CleanPage_Build(in, progress);
}

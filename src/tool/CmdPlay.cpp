// orvalis-tool play SOURCE [--from MS] [--for SECONDS] [--tempo N] [--radio]: plays a file
// or an address through the program's audio engine. Prints "position_ms<TAB>length_ms"
// once a second (length -1 when the stream has none), "title<TAB>TEXT" each time a radio's
// stream title changes, and at the end "stored<TAB>MS", the position the program would
// keep for the article. Exit 1 with the log lines on standard error when the source
// cannot be played. ORVALIS_AUDIO_OUTPUT=null selects the silent output.
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/FileUtil.h"
#include "audio/core/Audio.h"
#include "audio/core/RadioInfo.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "tool/ToolCommand.h"

static void PrintLogSince(size_t from) {
    const std::string text = Log_Text();
    if (from > text.size()) from = 0;
    size_t pos = from;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!TrimBlanks(line).empty()) std::fprintf(stderr, "orvalis-tool: %s\n", line.c_str());
        pos = end + 1;
    }
}

static bool IsAddress(const std::string& s) {
    return StartsWithNoCase(s, "http://") || StartsWithNoCase(s, "https://");
}

static int CmdPlay(const std::vector<std::string>& args) {
    std::string source;
    int64_t fromMs = 0;
    double forSeconds = -1;
    int tempo = 0;
    bool radio = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--from" && i + 1 < args.size())
            fromMs = ValInt(args[++i]);
        else if (a == "--for" && i + 1 < args.size())
            forSeconds = std::atof(args[++i].c_str());
        else if (a == "--tempo" && i + 1 < args.size())
            tempo = ValInt32(args[++i]);
        else if (a == "--radio")
            radio = true;
        else if (source.empty() && a.rfind("--", 0) != 0)
            source = a;
        else
            return Tool_Fail("usage: orvalis-tool play SOURCE [--from MS] [--for SECONDS] "
                             "[--tempo N] [--radio]",
                             2);
    }
    if (source.empty())
        return Tool_Fail("usage: orvalis-tool play SOURCE [--from MS] [--for SECONDS] "
                         "[--tempo N] [--radio]",
                         2);
    if (!IsAddress(source) && source[0] != '/') {
        source = Dir_Current() + "/" + source;
    }
    Pref_Defaults();
    if (const char* player = std::getenv("ORVALIS_AUDIO_PLAYER")) Pref.AudioPlayer = player;
    Pref.AudioTempo = tempo;
    size_t logFrom = Log_Text().size();
    if (Audio_Init() == AUDIO_ENGINE_NONE) {
        PrintLogSince(logFrom);
        return 1;
    }

    // One feed holding one article, so the position is stored as the program stores it.
    Rss feed;
    feed.Name = "orvalis-tool";
    feed.Url = IsAddress(source) ? source : "file://" + source;
    feed.ContentRss = radio ? CONTENT_NETRADIO : CONTENT_PODCAST;
    feed.ExtractAs = radio ? "NetRadio" : "";
    RssList_Add(feed);
    Rss* rss = RssList.Current();
    if (!rss) return Tool_Fail("cannot create the feed");
    int32_t feedId = 0;
    if (!radio) {
        Item item;
        item.Title = source;
        Item_AddTo(*rss, item, 1);
        for (Item& it : rss->Items)
            feedId = it.FeedID;
    }

    logFrom = Log_Text().size();
    int ok;
    if (radio)
        ok = Radio_Play(rss);
    else if (IsAddress(source))
        ok = Audio_Play({}, source, feedId, source, static_cast<int32_t>(fromMs));
    else
        ok = Audio_Play(source, {}, feedId, source, static_cast<int32_t>(fromMs));
    if (!ok) {
        PrintLogSince(logFrom);
        Audio_Shutdown();
        return 1;
    }

    const auto start = std::chrono::steady_clock::now();
    auto nextLine = start + std::chrono::seconds(1);
    std::string title;
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto now = std::chrono::steady_clock::now();
        const std::string t = Radio_GetInfo(RADIOINFO_TITLE);
        if (!t.empty() && t != title) {
            title = t;
            std::printf("title\t%s\n", t.c_str());
            std::fflush(stdout);
        }
        if (now >= nextLine) {
            nextLine += std::chrono::seconds(1);
            Audio_Monitor();
            if (!(Audio.State & AUDIO_STATE_LOADED)) break; // ended by itself
            std::printf("%lld\t%lld\n", static_cast<long long>(Audio_Position()),
                        static_cast<long long>(Audio_Length()));
            std::fflush(stdout);
        }
        if (forSeconds >= 0 && std::chrono::duration<double>(now - start).count() >= forSeconds)
            break;
    }
    if (Audio.State & AUDIO_STATE_LOADED) Audio_Close(0);
    int32_t stored = 0;
    if (Item* item = Item_FindByFeedID(feedId)) stored = item->AudioPos;
    std::printf("stored\t%d\n", stored);
    std::fflush(stdout);
    Audio_Shutdown();
    return 0;
}

static ToolCommand reg("play", "play SOURCE [--from MS] [--for SECONDS] [--tempo N] [--radio]",
                       &CmdPlay);

// Time from the play command to the first decoded audio (position > 0) for a local file,
// a local link (HTTP with range requests) and a local ICY radio, time from a seek to the
// new position, and how far a resume lands from the stored position; each the median of
// 20 runs. The reference, run side by side, is libmpv driven directly with the same
// options (loadfile, then polling "time-pos"): the ratio is the cost of our interface.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <mpv/client.h>

#include "audio/core/Audio.h"
#include "audio/core/AudioEngine.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "shell/base/Prefs.h"
#include "support/AudioFixtures.h"
#include "support/LocalHttpServer.h"
#include "support/TestSupport.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr int RUNS = 20;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

// Polls `pos` until it exceeds `above`; the milliseconds it took, -1 after 10 s.
double Until(Clock::time_point start, const std::function<int64_t()>& pos, int64_t above) {
    while (Ms(start, Clock::now()) < 10000) {
        if (pos() > above) return Ms(start, Clock::now());
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return -1;
}

// The reference: libmpv alone.
double RawFirstAudio(mpv_handle* mpv, const std::string& target) {
    const auto start = Clock::now();
    const char* cmd[] = {"loadfile", target.c_str(), "replace", nullptr};
    mpv_command(mpv, cmd);
    const double t = Until(
        start,
        [mpv, &target] {
            // Only the position of this file counts, not what is left of the last one.
            char* path = mpv_get_property_string(mpv, "path");
            const bool same = path && target == path;
            mpv_free(path);
            double v = 0;
            return same && mpv_get_property(mpv, "time-pos", MPV_FORMAT_DOUBLE, &v) >= 0
                       ? int64_t(v * 1000)
                       : -1;
        },
        0);
    const char* stop[] = {"stop", nullptr};
    mpv_command(mpv, stop);
    // The next run starts from an idle player, as ours does.
    for (int i = 0; i < 2000; ++i) {
        int idle = 0;
        if (mpv_get_property(mpv, "idle-active", MPV_FORMAT_FLAG, &idle) >= 0 && idle) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return t;
}

mpv_handle* RawPlayer() {
    mpv_handle* mpv = mpv_create();
    for (auto [k, v] : std::vector<std::pair<const char*, const char*>>{{"config", "no"},
                                                                        {"vid", "no"},
                                                                        {"ao", "null"},
                                                                        {"idle", "yes"},
                                                                        {"ytdl", "no"},
                                                                        {"load-scripts", "no"},
                                                                        {"hr-seek", "yes"}})
        mpv_set_option_string(mpv, k, v);
    mpv_initialize(mpv);
    return mpv;
}
} // namespace

int main() {
    setenv("ORVALIS_AUDIO_OUTPUT", "null", 1);
    TempDir dir;
    const std::string mp3 = Audio_MakeTone(dir.Path(), "mp3");
    if (mp3.empty()) {
        std::fprintf(stderr, "sox failed\n");
        return 2;
    }
    LocalHttpServer server;
    HttpReply reply = HttpOk(ReadFileOrEmpty(mp3), "audio/mpeg");
    reply.AcceptRanges = true;
    server.Serve("/ep.mp3", reply);
    IcyRadio radio(dir.Path(), mp3, {"Titre"}, 60);
    if (!radio.Ok()) {
        std::fprintf(stderr, "radio failed\n");
        return 2;
    }

    Pref_Defaults();
    Pref.AudioPlayer = "Bass";
    if (Audio_Init() != AUDIO_ENGINE_BASS) return 2;
    Rss feed;
    feed.Name = "bench";
    feed.Url = "http://127.0.0.1/bench";
    RssList_Add(feed);
    Rss* rss = RssList.Current();
    Rss rad;
    rad.Name = "radio";
    rad.Url = radio.Url();
    rad.ContentRss = CONTENT_NETRADIO;
    RssList_Add(rad);
    Rss* radioFeed = RssList.Current();
    Item it;
    it.Title = "bench";
    Item_AddTo(*rss, it, 1);
    const int32_t id = rss->Items.begin()->FeedID;

    std::vector<double> file, link, net, seek, land, rawFile, rawLink;
    mpv_handle* raw = RawPlayer();
    for (int i = 0; i < RUNS; ++i) {
        auto start = Clock::now();
        Audio_Play(mp3, {}, id, "bench", 0);
        file.push_back(Until(start, Audio_Position, 0));
        // Seek: from the command to the new position being played.
        start = Clock::now();
        Engine_Seek(BassState.Channel, 40000);
        seek.push_back(Until(start, Audio_Position, 40000));
        Audio_Close(1);

        start = Clock::now();
        Audio_Play({}, server.Url("/ep.mp3"), id, "bench", 0);
        link.push_back(Until(start, Audio_Position, 0));
        Audio_Close(1);

        start = Clock::now();
        Radio_Play(radioFeed);
        net.push_back(Until(start, Audio_Position, 0));
        Audio_Close(1);

        // Resume: the first position after a play from 25000 ms.
        Audio_Play(mp3, {}, id, "bench", 25000);
        land.push_back(std::fabs(double(Audio_Position()) - 25000.0));
        Audio_Close(1);

        rawFile.push_back(RawFirstAudio(raw, mp3));
        rawLink.push_back(RawFirstAudio(raw, server.Url("/ep.mp3")));
    }
    mpv_terminate_destroy(raw);
    Audio_Shutdown();
    std::printf("median of %d runs, milliseconds\n", RUNS);
    std::printf("first audio, local file : %7.1f   (libmpv alone %7.1f, ratio %.2f)\n",
                Median(file), Median(rawFile), Median(file) / Median(rawFile));
    std::printf("first audio, local link : %7.1f   (libmpv alone %7.1f, ratio %.2f)\n",
                Median(link), Median(rawLink), Median(link) / Median(rawLink));
    std::printf("first audio, local radio: %7.1f\n", Median(net));
    std::printf("seek to 40 s            : %7.1f\n", Median(seek));
    std::printf("resume distance from 25 s: %6.1f (worst %.1f)\n", Median(land),
                *std::max_element(land.begin(), land.end()));
    return 0;
}

#include "audio/core/AudioEngine.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/core/BassApi.h"
#include "audio/core/BassErrors.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "platform/core/SignalStack.h"

namespace {
struct EndInfo {
    int Reason = 0;
    int Error = 0;
    int64_t InsertId = 0;
};

// Longest tag text kept: a stream's metadata is someone else's bytes.
constexpr size_t TAG_MAX = 1024;
constexpr int TAG_COUNT_MAX = 32;

std::mutex s_mutex;
std::condition_variable s_cv;
mpv_handle* s_mpv = nullptr;
std::thread s_thread;
std::atomic<bool> s_quit{false};
int64_t s_current = 0; // the open stream's entry id
bool s_currentRadio = false;
int64_t s_started = 0; // last entry started by the player
int64_t s_loaded = 0;  // last entry whose file is decodable
std::map<int64_t, EndInfo> s_ends;
std::string s_lastLogError;
std::map<std::string, std::string> s_meta; // the radio's tags, decoded
std::function<void(uint32_t)> s_tagHandler;
bool s_pitchMissingLogged = false;

thread_local int t_error = BASS_OK;
thread_local std::string t_mpvText;

void SetError(int code, std::string text = {}) {
    t_error = code;
    t_mpvText = std::move(text);
}

std::string MpvErrorString(int err) {
    return BassApi.ErrorString ? BassApi.ErrorString(err) : std::to_string(err);
}

int Check(int r) {
    if (r < 0) {
        SetError(Bass_ErrorFromMpv(r, true), MpvErrorString(r));
        return 0;
    }
    SetError(BASS_OK);
    return 1;
}

void SetOpt(const char* name, const std::string& value) {
    BassApi.SetOptionString(s_mpv, name, value.c_str());
}

std::string Bounded(const char* s) {
    std::string v = s ? s : "";
    if (v.size() > TAG_MAX) v.resize(TAG_MAX);
    return Engine_DecodeTag(v);
}

// The metadata map of the player, decoded.
std::map<std::string, std::string> MetaOf(const mpv_node* node) {
    std::map<std::string, std::string> out;
    if (!node || node->format != MPV_FORMAT_NODE_MAP || !node->u.list) return out;
    const mpv_node_list* l = node->u.list;
    for (int i = 0; i < l->num && i < TAG_COUNT_MAX; ++i) {
        if (l->values[i].format != MPV_FORMAT_STRING) continue;
        out[AsciiLower(Bounded(l->keys[i]))] = Bounded(l->values[i].u.string);
    }
    return out;
}

void EventLoop() {
    SignalStack signalStack; // a crash here is still reported
    try {
        while (!s_quit) {
            mpv_event* e = BassApi.WaitEvent(s_mpv, 1.0);
            if (!e || e->event_id == MPV_EVENT_NONE) continue;
            if (e->event_id == MPV_EVENT_SHUTDOWN) break;
            std::function<void(uint32_t)> notify;
            uint32_t channel = 0;
            {
                std::lock_guard<std::mutex> lock(s_mutex);
                switch (e->event_id) {
                case MPV_EVENT_START_FILE:
                    s_started = static_cast<mpv_event_start_file*>(e->data)->playlist_entry_id;
                    break;
                case MPV_EVENT_FILE_LOADED:
                    s_loaded = s_started;
                    break;
                case MPV_EVENT_END_FILE: {
                    auto* ef = static_cast<mpv_event_end_file*>(e->data);
                    EndInfo info;
                    info.Reason = ef->reason;
                    info.Error = ef->error;
                    info.InsertId = ef->playlist_insert_id;
                    s_ends[ef->playlist_entry_id] = info;
                    // A playlist behind a link: the stream is its first entry.
                    if (ef->reason == MPV_END_FILE_REASON_REDIRECT && ef->playlist_insert_id &&
                        ef->playlist_entry_id == s_current)
                        s_current = ef->playlist_insert_id;
                    if (s_ends.size() > 64) s_ends.erase(s_ends.begin());
                    break;
                }
                case MPV_EVENT_LOG_MESSAGE: {
                    auto* m = static_cast<mpv_event_log_message*>(e->data);
                    s_lastLogError = TrimBlanks(std::string(m->prefix) + ": " + m->text);
                    break;
                }
                case MPV_EVENT_PROPERTY_CHANGE: {
                    auto* p = static_cast<mpv_event_property*>(e->data);
                    if (std::string(p->name) == "metadata" && s_currentRadio) {
                        std::map<std::string, std::string> meta;
                        if (p->format == MPV_FORMAT_NODE)
                            meta = MetaOf(static_cast<mpv_node*>(p->data));
                        if (meta != s_meta) {
                            s_meta = std::move(meta);
                            notify = s_tagHandler;
                            channel = static_cast<uint32_t>(s_current);
                        }
                    }
                    break;
                }
                default:
                    break;
                }
            }
            s_cv.notify_all();
            if (notify) notify(channel);
        }
    } catch (const std::exception& ex) {
        Log(std::string("! Engine event thread : ") + ex.what());
    } catch (...) {
        Log("! Engine event thread : unknown failure");
    }
}

bool Owns(uint32_t channel) {
    return channel != 0 && s_mpv && static_cast<int64_t>(channel) == s_current;
}

uint32_t Open(const std::string& target, int32_t startMs, bool radio, bool isFile, int timeoutMs) {
    SetError(BASS_OK);
    if (!s_mpv) {
        SetError(BASS_ERROR_INIT);
        return 0;
    }
    int yes = 1;
    BassApi.SetProperty(s_mpv, "pause", MPV_FORMAT_FLAG, &yes);
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        s_lastLogError.clear();
        s_meta.clear();
        s_current = 0;
        s_currentRadio = radio;
    }
    char start[32];
    std::snprintf(start, sizeof start, "start=%.3f", startMs > 0 ? startMs / 1000.0 : 0.0);
    // Named arguments: the order of loadfile's arguments differs between libmpv versions.
    const char* keys[] = {"name", "url", "flags", "options"};
    mpv_node values[4];
    const char* texts[] = {"loadfile", target.c_str(), "replace", start};
    for (int i = 0; i < 4; ++i) {
        values[i].format = MPV_FORMAT_STRING;
        values[i].u.string = const_cast<char*>(texts[i]);
    }
    mpv_node_list list{4, values, const_cast<char**>(keys)};
    mpv_node cmd;
    cmd.format = MPV_FORMAT_NODE_MAP;
    cmd.u.list = &list;
    mpv_node result{};
    const int r = BassApi.CommandNode(s_mpv, &cmd, &result);
    if (r < 0) {
        SetError(Bass_ErrorFromMpv(r, isFile), MpvErrorString(r));
        return 0;
    }
    int64_t id = 0;
    if (result.format == MPV_FORMAT_NODE_MAP && result.u.list)
        for (int i = 0; i < result.u.list->num; ++i)
            if (std::string(result.u.list->keys[i]) == "playlist_entry_id" &&
                result.u.list->values[i].format == MPV_FORMAT_INT64)
                id = result.u.list->values[i].u.int64;
    BassApi.FreeNodeContents(&result);

    std::unique_lock<std::mutex> lock(s_mutex);
    s_current = id;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (s_quit) break;
        if (s_loaded == s_current && s_current) return static_cast<uint32_t>(s_current);
        auto end = s_ends.find(s_current);
        if (end != s_ends.end() && end->second.Reason != MPV_END_FILE_REASON_REDIRECT) {
            const int err = end->second.Error < 0 ? end->second.Error : MPV_ERROR_NOTHING_TO_PLAY;
            SetError(Bass_ErrorFromMpv(err, isFile),
                     s_lastLogError.empty() ? MpvErrorString(err) : s_lastLogError);
            s_current = 0;
            return 0;
        }
        if (s_cv.wait_until(lock, deadline) == std::cv_status::timeout) break;
    }
    s_current = 0;
    lock.unlock();
    const char* stop[] = {"stop", nullptr};
    BassApi.Command(s_mpv, stop);
    SetError(s_quit ? BASS_ERROR_INIT : BASS_ERROR_TIMEOUT, "timeout");
    return 0;
}

double GetDouble(const char* name, bool* ok) {
    double v = 0;
    *ok = s_mpv && BassApi.GetProperty(s_mpv, name, MPV_FORMAT_DOUBLE, &v) >= 0;
    return v;
}

int GetFlag(const char* name) {
    int v = 0;
    if (!s_mpv || BassApi.GetProperty(s_mpv, name, MPV_FORMAT_FLAG, &v) < 0) return -1;
    return v;
}
} // namespace

std::string Engine_DecodeTag(const std::string& raw) {
    return IsValidUtf8(raw) ? raw : Cp1252ToUtf8(raw);
}

int Engine_Init(const EngineSettings& settings, std::string* errorText) {
    Engine_Free();
    SetError(BASS_OK);
    if (!Bass_Load(settings.LibraryPath)) {
        SetError(BASS_ERROR_INIT, "libmpv not found");
        if (errorText) *errorText = t_mpvText;
        return 0;
    }
    s_mpv = BassApi.Create();
    if (!s_mpv) {
        SetError(BASS_ERROR_MEM, "mpv_create");
        if (errorText) *errorText = t_mpvText;
        return 0;
    }
    // A player for sound only, that reads no user configuration and runs no script.
    SetOpt("config", "no");
    SetOpt("terminal", "no");
    SetOpt("vid", "no");
    SetOpt("vo", "null");
    SetOpt("audio-display", "no");
    SetOpt("idle", "yes");
    SetOpt("keep-open", "no");
    SetOpt("ytdl", "no");
    SetOpt("load-scripts", "no");
    SetOpt("osc", "no");
    SetOpt("input-default-bindings", "no");
    SetOpt("resume-playback", "no");
    SetOpt("audio-pitch-correction", "yes");
    SetOpt("hr-seek", "yes");
    SetOpt("network-timeout", "15");
    SetOpt("demuxer-max-bytes", "16MiB");
    SetOpt("demuxer-max-back-bytes", "4MiB");
    SetOpt("audio-client-name", "Orvalis");
    SetOpt("user-agent", settings.Agent.empty() ? "Orvalis" : settings.Agent);
    if (!settings.Output.empty()) SetOpt("ao", settings.Output);
    const int r = BassApi.Initialize(s_mpv);
    if (r < 0) {
        SetError(BASS_ERROR_INIT, MpvErrorString(r));
        if (errorText) *errorText = t_mpvText;
        BassApi.TerminateDestroy(s_mpv);
        s_mpv = nullptr;
        return 0;
    }
    if (settings.Device >= 1) {
        mpv_node list{};
        std::string name;
        if (BassApi.GetProperty(s_mpv, "audio-device-list", MPV_FORMAT_NODE, &list) >= 0) {
            if (list.format == MPV_FORMAT_NODE_ARRAY && list.u.list &&
                settings.Device <= list.u.list->num) {
                const mpv_node& entry = list.u.list->values[settings.Device - 1];
                if (entry.format == MPV_FORMAT_NODE_MAP)
                    for (int i = 0; i < entry.u.list->num; ++i)
                        if (std::string(entry.u.list->keys[i]) == "name" &&
                            entry.u.list->values[i].format == MPV_FORMAT_STRING)
                            name = entry.u.list->values[i].u.string;
            }
            BassApi.FreeNodeContents(&list);
        }
        if (name.empty() || BassApi.SetPropertyString(s_mpv, "audio-device", name.c_str()) < 0) {
            SetError(BASS_ERROR_DEVICE,
                     "audio-device-list has no entry " + std::to_string(settings.Device));
            if (errorText) *errorText = t_mpvText;
            BassApi.TerminateDestroy(s_mpv);
            s_mpv = nullptr;
            return 0;
        }
    }
    if (BassApi.RequestLogMessages) BassApi.RequestLogMessages(s_mpv, "error");
    if (BassApi.ObserveProperty) BassApi.ObserveProperty(s_mpv, 1, "metadata", MPV_FORMAT_NODE);
    s_quit = false;
    s_thread = std::thread(EventLoop);
    return 1;
}

void Engine_Free() {
    if (!s_mpv) return;
    s_quit = true;
    BassApi.Wakeup(s_mpv);
    s_cv.notify_all();
    if (s_thread.joinable()) s_thread.join();
    BassApi.TerminateDestroy(s_mpv);
    s_mpv = nullptr;
    std::lock_guard<std::mutex> lock(s_mutex);
    s_current = s_started = s_loaded = 0;
    s_ends.clear();
    s_meta.clear();
}

bool Engine_IsReady() {
    return s_mpv != nullptr;
}

int Engine_SetProxy(const std::string& proxy) {
    if (!s_mpv) return 0;
    const std::string value = proxy.empty() ? "" : "http://" + proxy;
    return Check(BassApi.SetPropertyString(s_mpv, "http-proxy", value.c_str()));
}

int Engine_SetAgent(const std::string& agent) {
    if (!s_mpv) return 0;
    return Check(BassApi.SetPropertyString(s_mpv, "user-agent", agent.c_str()));
}

uint32_t Engine_OpenFile(const std::string& path, int32_t startMs, int timeoutMs) {
    // A name the player would read as an option or a protocol stays a file name.
    std::string target = path;
    if (!target.empty() && target[0] != '/') target = "./" + target;
    return Open(target, startMs, false, true, timeoutMs);
}

uint32_t Engine_OpenUrl(const std::string& url, int32_t startMs, bool radio, int timeoutMs) {
    const std::string lower = AsciiLower(url.substr(0, 8));
    if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) {
        // Links from feeds are someone else's text: only the web protocols are opened.
        SetError(BASS_ERROR_FILEOPEN, "not an http(s) address");
        return 0;
    }
    return Open(url, startMs, radio, false, timeoutMs);
}

int Engine_Play(uint32_t channel) {
    if (!Owns(channel)) {
        SetError(BASS_ERROR_HANDLE);
        return 0;
    }
    int no = 0;
    return Check(BassApi.SetProperty(s_mpv, "pause", MPV_FORMAT_FLAG, &no));
}

int Engine_Pause(uint32_t channel) {
    if (!Owns(channel)) {
        SetError(BASS_ERROR_HANDLE);
        return 0;
    }
    int yes = 1;
    return Check(BassApi.SetProperty(s_mpv, "pause", MPV_FORMAT_FLAG, &yes));
}

int Engine_IsActive(uint32_t channel) {
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!Owns(channel) || s_loaded != s_current || s_ends.count(s_current))
            return ENGINE_STOPPED;
    }
    if (GetFlag("pause") == 1) return ENGINE_PAUSED;
    if (GetFlag("paused-for-cache") == 1) return ENGINE_STALLED;
    return ENGINE_PLAYING;
}

bool Engine_Ended(uint32_t channel) {
    std::lock_guard<std::mutex> lock(s_mutex);
    return Owns(channel) && s_ends.count(s_current);
}

int64_t Engine_Position(uint32_t channel) {
    if (!Owns(channel)) return -1;
    bool ok = false;
    const double v = GetDouble("time-pos", &ok);
    return ok ? static_cast<int64_t>(std::llround(v * 1000.0)) : -1;
}

int64_t Engine_Length(uint32_t channel) {
    if (!Owns(channel)) return -1;
    {
        // A radio has no length: what the player would give is the part received so far.
        std::lock_guard<std::mutex> lock(s_mutex);
        if (s_currentRadio) return -1;
    }
    bool ok = false;
    const double v = GetDouble("duration", &ok);
    return ok && v > 0 ? static_cast<int64_t>(std::llround(v * 1000.0)) : -1;
}

int Engine_Seek(uint32_t channel, int64_t ms) {
    if (!Owns(channel)) {
        SetError(BASS_ERROR_HANDLE);
        return 0;
    }
    const std::string seconds = std::to_string(static_cast<double>(ms) / 1000.0);
    const char* cmd[] = {"seek", seconds.c_str(), "absolute+exact", nullptr};
    const int r = BassApi.Command(s_mpv, cmd);
    if (r < 0) {
        SetError(BASS_ERROR_POSITION, MpvErrorString(r));
        return 0;
    }
    SetError(BASS_OK);
    return 1;
}

int Engine_SetVolume(uint32_t channel, float volume) {
    if (!s_mpv) {
        SetError(BASS_ERROR_INIT);
        return 0;
    }
    double v = std::clamp(static_cast<double>(volume), 0.0, 1.0) * 100.0;
    return Check(BassApi.SetProperty(s_mpv, "volume", MPV_FORMAT_DOUBLE, &v));
}

int Engine_SetTempo(uint32_t channel, float tempoPercent, float pitchSemitones) {
    if (!Owns(channel)) {
        SetError(BASS_ERROR_HANDLE);
        return 0;
    }
    double speed = 1.0 + tempoPercent / 100.0;
    if (!Check(BassApi.SetProperty(s_mpv, "speed", MPV_FORMAT_DOUBLE, &speed))) return 0;
    std::string af;
    if (pitchSemitones != 0.0f) {
        // The light settings: the change is a fraction of a semitone, and the filter must
        // keep up in real time on a busy machine.
        char b[96];
        std::snprintf(b, sizeof b, "rubberband=pitch-scale=%.6f:pitch=speed:window=short",
                      std::pow(2.0, pitchSemitones / 12.0));
        af = b;
    }
    const int r = BassApi.SetPropertyString(s_mpv, "af", af.c_str());
    if (r < 0 && !s_pitchMissingLogged) {
        s_pitchMissingLogged = true;
        Log("! Engine_SetTempo, no pitch filter (" + MpvErrorString(r) +
            "), the speed changes without it");
    }
    SetError(BASS_OK);
    return 1;
}

double Engine_Speed(uint32_t channel) {
    if (!Owns(channel)) return 0;
    bool ok = false;
    const double v = GetDouble("speed", &ok);
    return ok ? v : 0;
}

int Engine_StreamFree(uint32_t channel) {
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!Owns(channel)) {
            SetError(BASS_ERROR_HANDLE);
            return 0;
        }
        s_current = 0;
        s_currentRadio = false;
        s_meta.clear();
    }
    const char* stop[] = {"stop", nullptr};
    BassApi.Command(s_mpv, stop);
    double normal = 1.0;
    BassApi.SetProperty(s_mpv, "speed", MPV_FORMAT_DOUBLE, &normal);
    BassApi.SetPropertyString(s_mpv, "af", "");
    SetError(BASS_OK);
    return 1;
}

EngineTags Engine_Tags(uint32_t channel) {
    EngineTags t;
    std::lock_guard<std::mutex> lock(s_mutex);
    if (!Owns(channel) || s_meta.empty()) return t;
    auto get = [](const char* key) {
        auto it = s_meta.find(key);
        return it == s_meta.end() ? std::string() : it->second;
    };
    if (s_meta.count("icy-title")) {
        // Shoutcast metadata, as the stream sent it.
        t.Kind = "BASS_TAG_META";
        t.Title = get("icy-title");
        t.Raw = "StreamTitle='" + t.Title + "';";
        if (s_meta.count("icy-url")) t.Raw += "StreamUrl='" + get("icy-url") + "';";
        t.Details = get("icy-url");
        return t;
    }
    if (s_meta.count("title") || s_meta.count("artist")) {
        t.Kind = "BASS_TAG_OGG";
        t.Title = get("title");
        t.Details = get("artist");
        for (const auto& [k, v] : s_meta)
            t.Raw += (t.Raw.empty() ? "" : "\n") + k + "=" + v;
    }
    return t;
}

void Engine_SetTagHandler(std::function<void(uint32_t channel)> handler) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_tagHandler = std::move(handler);
}

int Engine_ErrorGetCode() {
    return t_error;
}

std::string Engine_ErrorMpvText() {
    return t_mpvText;
}

#include "update/worker/AlarmSound.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "shell/base/AppState.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "update/worker/Notifications.h"

#ifdef ORVALIS_HAVE_MPV
#include <mpv/client.h>

namespace {
std::mutex g_lock;
mpv_handle* g_mpv = nullptr;
// Reads the player's events, so that what was really played is logged: the file that
// reached its end ("* AlarmSound played : ") or could not be played.
// Never destroyed: a process that ends without AlarmSound_Close leaves it running.
std::thread& g_events = *new std::thread;
std::atomic<bool> g_stopEvents{false};
std::string g_file; // the file last asked for

void ReadEvents(mpv_handle* h) {
    std::string file;
    for (;;) {
        mpv_event* e = mpv_wait_event(h, -1);
        if (g_stopEvents || e->event_id == MPV_EVENT_SHUTDOWN) return;
        if (e->event_id == MPV_EVENT_START_FILE) {
            std::lock_guard<std::mutex> lock(g_lock);
            file = g_file;
        } else if (e->event_id == MPV_EVENT_END_FILE && e->data) {
            const auto* end = static_cast<mpv_event_end_file*>(e->data);
            if (end->reason == MPV_END_FILE_REASON_EOF)
                Log("* AlarmSound played : " + file);
            else if (end->reason == MPV_END_FILE_REASON_ERROR)
                Log("! Error, Can't play AlarmFile : " + file);
        }
    }
}

bool Available() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_mpv != nullptr && !AppState_Test(APPSTATE_MUTED);
}

bool Play(const std::string& file) {
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_mpv) return false;
    int64_t volume = Pref.AlarmVolume > 0 ? Pref.AlarmVolume : 100;
    mpv_set_property(g_mpv, "volume", MPV_FORMAT_INT64, &volume);
    g_file = file;
    const char* cmd[] = {"loadfile", file.c_str(), "replace", nullptr};
    return mpv_command(g_mpv, cmd) >= 0;
}

bool Playing() {
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_mpv) return false;
    int idle = 1;
    if (mpv_get_property(g_mpv, "idle-active", MPV_FORMAT_FLAG, &idle) < 0) return false;
    return idle == 0;
}

void Stop() {
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_mpv) return;
    const char* cmd[] = {"stop", nullptr};
    mpv_command(g_mpv, cmd);
}
} // namespace

bool AlarmSound_Install() {
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!g_mpv) {
            mpv_handle* h = mpv_create();
            if (!h) return false;
            mpv_set_option_string(h, "video", "no");
            mpv_set_option_string(h, "vo", "null");
            mpv_set_option_string(h, "idle", "yes");
            mpv_set_option_string(h, "terminal", "no");
            // A chosen output ("null" plays without a sound card, as the tests do).
            if (const char* ao = std::getenv("ORVALIS_AUDIO_OUTPUT"); ao && *ao)
                mpv_set_option_string(h, "ao", ao);
            if (mpv_initialize(h) < 0) {
                mpv_terminate_destroy(h);
                return false;
            }
            g_mpv = h;
            g_stopEvents = false;
            g_events = std::thread(&ReadEvents, h);
        }
    }
    AlarmHooks& hooks = Alarm_Hooks();
    hooks.SoundAvailable = &Available;
    hooks.PlaySound = &Play;
    hooks.SoundPlaying = &Playing;
    hooks.StopSound = &Stop;
    return true;
}

void AlarmSound_Close() {
    mpv_handle* h = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        h = g_mpv;
        g_mpv = nullptr;
    }
    if (!h) return;
    // The event reader is woken and ends before the player is freed.
    g_stopEvents = true;
    mpv_wakeup(h);
    if (g_events.joinable()) g_events.join();
    mpv_terminate_destroy(h);
}

#else

bool AlarmSound_Install() {
    return false;
}
void AlarmSound_Close() {}

#endif

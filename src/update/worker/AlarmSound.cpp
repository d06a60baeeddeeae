#include "update/worker/AlarmSound.h"

#include <mutex>
#include <string>

#include "shell/base/AppState.h"
#include "shell/base/Prefs.h"
#include "update/worker/Notifications.h"

#ifdef ORVALIS_HAVE_MPV
#include <mpv/client.h>

namespace {
std::mutex g_lock;
mpv_handle* g_mpv = nullptr;

bool Available() {
    std::lock_guard<std::mutex> lock(g_lock);
    return g_mpv != nullptr && !AppState_Test(APPSTATE_MUTED);
}

bool Play(const std::string& file) {
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_mpv) return false;
    int64_t volume = Pref.AlarmVolume > 0 ? Pref.AlarmVolume : 100;
    mpv_set_property(g_mpv, "volume", MPV_FORMAT_INT64, &volume);
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
            if (mpv_initialize(h) < 0) {
                mpv_terminate_destroy(h);
                return false;
            }
            g_mpv = h;
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
    std::lock_guard<std::mutex> lock(g_lock);
    if (g_mpv) mpv_terminate_destroy(g_mpv);
    g_mpv = nullptr;
}

#else

bool AlarmSound_Install() {
    return false;
}
void AlarmSound_Close() {}

#endif

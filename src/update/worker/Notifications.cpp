#include "update/worker/Notifications.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "access/core/ScreenReaderSay.h"
#include "platform/core/FileUtil.h"
#include "platform/core/SignalStack.h"
#include "shell/base/AppPaths.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"

namespace {
std::mutex g_listLock;
std::vector<Notification> g_list;

// The gap after an alarm: a short thread that waits, then stops the sound. It can be
// ended early (shutdown), so it is always joined rather than detached.
std::mutex g_gapLock;
std::condition_variable g_gapWake;
bool g_gapCancel = false;
std::atomic<bool> g_gapRunning{false};
std::thread& g_gapThread = *new std::thread; // never destroyed (exit without shutdown)
int g_gapMs = 5000;

std::atomic<bool> g_popUpShown{false};

void StopSoundIfPlaying() {
    const AlarmHooks& h = Alarm_Hooks();
    if (h.SoundPlaying && h.StopSound && h.SoundPlaying()) h.StopSound();
}

void JoinGap() {
    if (g_gapThread.joinable()) g_gapThread.join();
}

void StartGap() {
    JoinGap();
    {
        std::lock_guard<std::mutex> lock(g_gapLock);
        g_gapCancel = false;
    }
    g_gapRunning = true;
    const int ms = g_gapMs;
    g_gapThread = std::thread([ms] {
        SignalStack signalStack;
        {
            std::unique_lock<std::mutex> lock(g_gapLock);
            g_gapWake.wait_for(lock, std::chrono::milliseconds(ms), [] { return g_gapCancel; });
        }
        StopSoundIfPlaying();
        g_gapRunning = false;
    });
}
} // namespace

AlarmHooks& Alarm_Hooks() {
    static AlarmHooks hooks;
    return hooks;
}

void Notify(const std::string& text, int32_t type) {
    std::lock_guard<std::mutex> lock(g_listLock);
    g_list.push_back(Notification{text, type});
}

std::vector<Notification> Notifications_Pending() {
    std::lock_guard<std::mutex> lock(g_listLock);
    return g_list;
}

bool AlarmGap_Running() {
    return g_gapRunning.load();
}

void AlarmGap_SetLength(int milliseconds) {
    g_gapMs = milliseconds;
}

void PlayAlarmSound(int32_t type) {
    const AlarmHooks& h = Alarm_Hooks();
    if (!h.SoundAvailable || !h.PlaySound || !h.SoundAvailable()) return;
    std::string name;
    switch (type) {
    case ALARM_NEW_ARTICLES:
        name = Pref.AlarmNewFeedFile;
        break;
    case ALARM_PODCASTS_DOWNLOADED:
        name = Pref.AlarmAllDownloadedFile;
        break;
    case ALARM_FIRST_UPDATE_DONE:
        name = Pref.AlarmFinishFirstActualizeFile;
        break;
    default:
        return;
    }
    const std::string file = AppPath + name;
    if (!File_Exists(file) || Dir_Exists(file) || File_Size(file) <= 0) {
        Log("! AlarmFile not found : " + file);
        return;
    }
    if (!h.PlaySound(file)) Log("! Error, Can't load AlarmFile : " + file);
}

void ProcessNotifications() {
    if (g_gapRunning.load()) return;
    Notification alarm;
    {
        std::lock_guard<std::mutex> lock(g_listLock);
        if (g_list.empty()) return;
        alarm = g_list.front();
        g_list.erase(g_list.begin());
    }
    JoinGap();
    const AlarmHooks& h = Alarm_Hooks();
    const std::string title = "Notification " + AppName;
    Log("* Alarm : " + alarm.Text);
    if ((PrefFlags & PREF_ALARMBYPOPUP) && h.PopUp && !g_popUpShown.exchange(true))
        h.PopUp(title, alarm.Text, [] { g_popUpShown = false; });
    if (PrefFlags & PREF_ALARMBYSPEECH) {
        const std::string text = title + ", " + alarm.Text + ".";
        if (h.Say)
            h.Say(text, 1);
        else
            ScreenReader_Say(text, 1);
    }
    if (PrefFlags & PREF_ALARMBYSOUND) PlayAlarmSound(alarm.Type);
    StartGap();
}

void Notifications_Shutdown() {
    {
        std::lock_guard<std::mutex> lock(g_gapLock);
        g_gapCancel = true;
    }
    g_gapWake.notify_all();
    JoinGap();
    g_gapRunning = false;
    std::lock_guard<std::mutex> lock(g_listLock);
    g_list.clear();
}

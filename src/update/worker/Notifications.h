// The user's alarms: new articles of a feed with "Alarm", podcasts downloaded, the end of
// the initial update. Alarms wait in `Notifications`; the 1 s tick presents at most one,
// then a gap of 5 s passes (the sound is stopped at its end) before the next.
//
// The pop-up and the sound belong to the interface and the audio layer: they plug in
// through AlarmHooks. Without them those two ways of alarming do nothing.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum : int32_t {
    ALARM_NEW_ARTICLES = 2,
    ALARM_PODCASTS_DOWNLOADED = 3,
    ALARM_FIRST_UPDATE_DONE = 4,
};

struct Notification {
    std::string Text;
    int32_t Type = 0;
};

struct AlarmHooks {
    // Shows the always-on-top pop-up for about 2 s without blocking the caller, and calls
    // `closed` (on any thread) once it has gone, so that the next alarm may show one.
    std::function<void(const std::string& title, const std::string& text,
                       std::function<void()> closed)>
        PopUp;
    // Sound output: whether it is available, loading and playing a file (false when the
    // file cannot be loaded), whether it still plays, stopping it. May be called from the
    // alarm gap's thread.
    std::function<bool()> SoundAvailable;
    std::function<bool(const std::string& file)> PlaySound;
    std::function<bool()> SoundPlaying;
    std::function<void()> StopSound;
    // Speech; empty means ScreenReader_Say.
    std::function<void(const std::string& text, int interrupt)> Say;
};
AlarmHooks& Alarm_Hooks();

// Appends an alarm.
void Notify(const std::string& text, int32_t type);
// A copy of the pending alarms (status bar, tests).
std::vector<Notification> Notifications_Pending();
// The 1 s tick: nothing while the list is empty or the gap runs; else presents the first
// alarm by pop-up, speech and sound as the preferences ask, starts the gap, removes it.
void ProcessNotifications();
// Plays the alarm sound of that type (the preference's file in the program folder).
void PlayAlarmSound(int32_t type);
// True while the 5 s gap after an alarm runs.
bool AlarmGap_Running();
// The gap's length (default 5000 ms; tests shorten it).
void AlarmGap_SetLength(int milliseconds);
// Ends the gap at once (the sound stopped) and joins its thread; clears the pending
// alarms. Exit sequence and tests.
void Notifications_Shutdown();

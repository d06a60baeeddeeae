// Where the modules that run behind the main window plug in: the work of each timer tick,
// the commands they carry out, and the few states the window asks them about. The window
// calls what is installed; a command nobody installed announces that it is not available.
// Everything here is called on the interface thread.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct MainHooks {
    // Timer 1 (100 ms): take the update worker's results and merge them.
    std::vector<std::function<void()>> UpdateTick;
    // Timer 2 (200 ms): podcast download queue and the read marks queued for it.
    std::vector<std::function<void()>> PodcastTick;
    // Timer 3 (1 s): alerts, countdowns, audio position, podcast bookkeeping.
    std::vector<std::function<void()>> SecondTick;
    // Timer 5 (5 s, one shot): playback back to the stored tempo.
    std::vector<std::function<void()>> BackNormal;
    // Timer 6 (1 min): read-state synchronisation check.
    std::vector<std::function<void()>> SyncTick;
    // The preferences dialog was closed with its changes applied.
    std::vector<std::function<void()>> PrefsChanged;
    // Podcast files are being downloaded (asked before quitting).
    std::function<bool()> PodcastsDownloading;
    // Feeds waiting in the update queue, and the name of the one being updated.
    std::function<int()> UpdateQueueCount;
    std::function<std::string()> UpdatingFeedName;
    // "Lecture" / "En pause" while the audio engine holds something; "" otherwise.
    std::function<std::string()> AudioState;
    // Shows the selected article (or empties the view); without it the window shows the
    // article's plain text itself.
    std::function<void()> ShowArticle;
};
MainHooks& Main_Hooks();

// Installs the handler of command `id` (replacing an earlier one). The handler returns
// true when it handled the command.
void Command_Register(int id, std::function<bool(int id)> handler);
// Installs one handler for the range [first, first + count).
void Command_RegisterRange(int first, int count, std::function<bool(int id)> handler);
// The handler of `id`, or an empty function.
std::function<bool(int id)> Command_Find(int id);
// Forgets every handler and hook (tests).
void MainHooks_Reset();

// The program's playback: podcast files, podcast links and radios, one at a time, through
// the libmpv engine ("Bass" in the preferences) or, for local files only, the platform's
// media player ("Pure", provided by the window side). Positions are remembered per article
// so a podcast resumes where it was left. Everything here runs on the interface thread
// except the radio tag handler (engine thread), which only writes RadioInfo.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

struct Item;
struct Rss;

// Engines (`Audio.Engine`, `Audio.Player`).
enum : int32_t {
    AUDIO_ENGINE_NONE = 0,
    AUDIO_ENGINE_PURE = 1,
    AUDIO_ENGINE_BASS = 2,
    AUDIO_ENGINE_DEVICE1 = 3,
    AUDIO_ENGINE_DEVICE2 = 4,
    AUDIO_ENGINE_DEVICE3 = 5,
};
// `Audio.State` bits.
enum : int32_t {
    AUDIO_STATE_PAUSED = 1,
    AUDIO_STATE_LOADED = 2,
};

struct AudioRecord {
    int32_t State = 0;
    int32_t FeedID = 0;  // the article playing, 0 when none
    int32_t RadioID = 0; // the radio playing, 0 when none
    int32_t MovieReady = 0;
    int32_t Engine = AUDIO_ENGINE_NONE;
    std::string Caption; // working text of the status display
    int32_t Player = 0;  // the engine the preferences ask for
};
extern AudioRecord Audio;

// The engine's handles: the library, the initialised player, the channel being played.
struct BassStateRecord {
    void* Lib = nullptr;
    int32_t Init = 0;
    uint32_t Channel = 0;
    uint32_t Source = 0;
};
extern BassStateRecord BassState;

// True for the engines that go through libmpv (2 to 5).
bool Audio_IsBass(int32_t engine);
// "AudioPlayer" as a number: "Auto" 0, "Pure" 1, "Bass" 2, "Bass Device 1..3" 3..5,
// compared trimmed and without regard to case; anything else 0.
int32_t Audio_PlayerValue(const std::string& name);
// Name of an engine or player value ("Auto"/"None", "Pure", "Bass", "Bass Device 1"...).
std::string Audio_EngineName(int32_t engine, bool player = false);

// The platform media player behind "Pure": local files only. The window side registers
// it; without one "Pure" cannot start.
class PurePlayer {
  public:
    virtual ~PurePlayer() = default;
    virtual bool Init() = 0;
    virtual bool Load(const std::string& file) = 0;
    virtual bool Play() = 0;
    virtual bool Pause() = 0;
    virtual void Stop() = 0; // stops and frees what is loaded
    virtual void SetVolume(int percent) = 0;
    virtual int64_t Position() = 0; // milliseconds, -1 unknown
    virtual int64_t Length() = 0;
};
void Audio_SetPurePlayer(PurePlayer* player);

// What the window does for the audio module; each may stay empty.
struct AudioUiHooks {
    std::function<void(const std::string&)> Say; // speech (quiet confirmations)
    std::function<void()> VolumeChanged;         // menu entries and volume text
    std::function<void()> TempoChanged;          // the speed marks of the menu
    std::function<void()> StateChanged;          // status line, play/pause label
    std::function<void()> StartBackNormal;       // one-shot timer 5 (5 s)
    std::function<void()> NotAvailable;          // says the command cannot be done yet
    // Queues an enclosure to be downloaded and played when ready (bit 1 of the podcast
    // queue); plays at once when the file is there. False when no queue is linked.
    std::function<bool(Rss& feed, Item& item)> QueueAndPlay;
};
AudioUiHooks& Audio_Ui();

// (Re)starts the engine "AudioPlayer" asks for; logs how it went. Returns Audio.Engine.
int32_t Audio_Init();
// Ends the engine (program exit).
void Audio_Shutdown();
// Plays a local file or, when `file` is empty, streams `link`, from `positionMs`.
// 1 when something plays.
int Audio_Play(const std::string& file, const std::string& link, int32_t feedId,
               const std::string& title, int32_t positionMs);
// Streams a radio (needs a feed address). 1 when it plays.
int Radio_Play(Rss* radio);
// Stops and forgets what plays. The article's position is stored: the position when the
// stream was paused or (without `reset`) playing, 0 when under "MoveAudio" seconds; its
// read time is stamped now, its two state bits kept.
void Audio_Close(int reset);
// The playback tick of the one-second timer.
void Audio_Monitor();
void Audio_Pause();
// "MoveAudio" seconds forward (direction > 0) or back; forward only when it stays inside
// the stream.
void Audio_Move(int direction);
// 5 seconds back at normal speed; the stored speed returns when timer 5 fires.
void Audio_BackNormal();
// Applies a speed preset (-1..3); -100 takes "AudioTempo". Spoken unless `quiet`.
void Audio_SetTempo(int quiet, int preset);
// Applies a volume; with `store` it is kept between 2 and 100, saved as "AudioVolume",
// and mute is cleared. While muted "MuteVolume" is used.
void Audio_SetVolume(int volume, int store);
void Audio_Mute();
// The play command on an article: pause/resume when it is the one playing; else, with
// "PlayLinkByDefault" and a playable link, stream the link from AudioPos; else, when its
// file is playable: with a link, hand it to the podcast queue (QueueAndPlay), or without a
// queue play the file when present, else stream the link, else say it is not available;
// without a link, play the local file from AudioPos.
void Item_Play(Rss& feed, Item& item);

// Speed presets: tempo percent, pitch semitones and label entry.
struct TempoPreset {
    int Value;
    float Tempo;
    float Pitch;
};
// The preset of a value; false outside -1..3.
bool Tempo_Preset(int value, TempoPreset* out);
// The label of a preset ("&normal"...), through Lng.
std::string Tempo_Label(int value);

// Playable test: the lower-cased extension of `fileOrLink` occurs in the current engine's
// list for files or links. Nothing is playable without an engine or without extension.
bool Audio_IsPlayable(const std::string& fileOrLink, bool link);
// The local file an article plays: CustomAudioFile when set, else AudioFile, made
// absolute against the podcast folder; "" when it has none.
std::string Item_LocalFile(const Item& item);

// Position and length as "AudioTimeFormat" writes them ("%et" hours, "%em" minutes, "%es"
// seconds, "%ep" percent of the length).
std::string AudioTime_Format(int64_t positionMs, int64_t lengthMs, const std::string& mask);
// "Lecture, ..." / "En pause, ..." with what plays and its position; "" when nothing.
std::string Audio_StatusText();
// What is loaded, for the quick menu: the feed (or radio) and the article with its
// position; and its link (file or address). "" when nothing.
std::string Audio_LoadedFeedText();
std::string Audio_LoadedItemText();
std::string Audio_LoadedLink();
// Current position / length of what plays (ms, -1 unknown).
int64_t Audio_Position();
int64_t Audio_Length();
// The volume as the menus show it ("Volume à 90 %"), and the current volume value.
std::string Audio_VolumeText();

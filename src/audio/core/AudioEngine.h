// The one small interface through which the program plays sound: a libmpv player behind
// calls shaped like the ones the audio code has always made (open a file, a link or a
// radio, play, pause, position and length in milliseconds, seek, volume, tempo and pitch,
// stream tags, stop and free, an "is active" state). One stream exists at a time; its
// handle (`channel`) is the player's playlist entry id, 0 meaning none. Every call runs on
// the calling thread and is safe from any thread; libmpv's events are read by one thread
// of the engine, which calls the tag handler there.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Channel states, as BASS_ChannelIsActive gave them.
enum : int {
    ENGINE_STOPPED = 0,
    ENGINE_PLAYING = 1,
    ENGINE_STALLED = 2,
    ENGINE_PAUSED = 3,
};

struct EngineSettings {
    int Device = -1;         // -1 the default output, 1.. the entries of the device list
    std::string Output;      // audio output driver; "" = libmpv's choice ("null" in tests)
    std::string Agent;       // user agent of network streams
    std::string LibraryPath; // folder the library is looked for first
};

// Starts the player (Bass_Load, then a libmpv instance with its event thread). 1 on
// success; 0 with Engine_ErrorGetCode set and `errorText` receiving mpv's own words.
int Engine_Init(const EngineSettings& settings, std::string* errorText = nullptr);
// Ends the player and its event thread; any open stream goes. Safe when not started.
void Engine_Free();
bool Engine_IsReady();

// The proxy of network streams ("user:password@host:port"; "" for none). 1 on success.
int Engine_SetProxy(const std::string& proxy);
// The user agent of network streams. 1 on success.
int Engine_SetAgent(const std::string& agent);

// Opens a stream, paused, from `startMs` (0: the start). A radio has no tempo and its
// tags go to the tag handler. Blocks until the stream is decodable or has failed (at most
// `timeoutMs`); returns the channel or 0 (Engine_ErrorGetCode / Engine_ErrorMpvText).
uint32_t Engine_OpenFile(const std::string& path, int32_t startMs, int timeoutMs = 10000);
uint32_t Engine_OpenUrl(const std::string& url, int32_t startMs, bool radio, int timeoutMs = 20000);

int Engine_Play(uint32_t channel);  // 1 on success
int Engine_Pause(uint32_t channel); // 1 on success
int Engine_IsActive(uint32_t channel);
// Position and length in milliseconds; -1 when unknown (a stream without length).
int64_t Engine_Position(uint32_t channel);
int64_t Engine_Length(uint32_t channel);
// Seeks to `ms` exactly. 1 on success.
int Engine_Seek(uint32_t channel, int64_t ms);
// Volume 0..1 as BASS's volume attribute.
int Engine_SetVolume(uint32_t channel, float volume);
// Tempo change in percent (speed with pitch correction) and pitch change in semitones
// (a pitch scale through the rubberband filter; without it the speed still works and the
// missing filter is logged once). 1 when the tempo was applied.
int Engine_SetTempo(uint32_t channel, float tempoPercent, float pitchSemitones);
// The speed the player runs at (1.0 = normal); 0 without a stream.
double Engine_Speed(uint32_t channel);
// Stops and frees the stream. 1 when it was the open one.
int Engine_StreamFree(uint32_t channel);
// True when the current stream reached its end by itself.
bool Engine_Ended(uint32_t channel);

// Tags of a stream, as the radio code reads them.
struct EngineTags {
    std::string Kind;    // "BASS_TAG_META", "BASS_TAG_OGG" ("" when none)
    std::string Raw;     // the tags as text, one per line
    std::string Title;   // the stream title
    std::string Details; // the other entries (artist, stream address)
};
EngineTags Engine_Tags(uint32_t channel);
// Called on the engine's thread each time a radio's tags change.
void Engine_SetTagHandler(std::function<void(uint32_t channel)> handler);

// The last error of the calling thread's last call (BASS_* code), and mpv's own text.
int Engine_ErrorGetCode();
std::string Engine_ErrorMpvText();

// A tag text as received: kept when it is UTF-8, else read as Windows-1252.
std::string Engine_DecodeTag(const std::string& raw);

#include "audio/core/Audio.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "audio/core/AudioEngine.h"
#include "audio/core/BassApi.h"
#include "audio/core/BassErrors.h"
#include "audio/core/RadioInfo.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "catalogue/core/RssList.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/base/AppPaths.h"

AudioRecord Audio;
BassStateRecord BassState;

namespace {
PurePlayer* s_pure = nullptr;
AudioUiHooks s_ui;
std::string s_title;    // the article or radio being played
std::string s_link;     // its file or address
std::string s_feedName; // its feed or radio name

const TempoPreset kPresets[] = {
    {-1, -15.0f, 0.15f}, {0, 0.0f, 0.0f}, {1, 25.0f, -0.25f}, {2, 50.0f, -0.5f}, {3, 75.0f, -0.75f},
};

void StateChanged() {
    if (s_ui.StateChanged) s_ui.StateChanged();
}

void VolumeChanged() {
    if (s_ui.VolumeChanged) s_ui.VolumeChanged();
}

// " Bass_StreamCreateURL, BASS_ERROR_NONET (32) mpv: ..." : the role's name, mpv's text.
std::string ErrorTail() {
    std::string t = Bass_ErrorText(BASS_ERROR_ASK, true);
    const std::string mpv = Engine_ErrorMpvText();
    if (!mpv.empty()) t += " " + mpv;
    return t + "\n";
}

// The tags of the radio into RadioInfo (engine thread).
void Bass_SyncProc(uint32_t channel) {
    const EngineTags tags = Engine_Tags(channel);
    if (tags.Kind.empty()) return;
    Radio_SetInfo(RADIOINFO_KIND, tags.Kind + "\n" + tags.Raw);
    Radio_SetInfo(RADIOINFO_TITLE, tags.Title);
    Radio_SetInfo(RADIOINFO_RAW, tags.Raw);
    Radio_SetInfo(RADIOINFO_ON, "On");
}

std::string ProxyText() {
    if (Pref.UseProxy == 0) return {};
    return Pref.ProxyID + ":" + Pref.ProxyPassWord + "@" + Pref.ProxyHost + ":" +
           std::to_string(Pref.ProxyPort);
}

// Extension of a file name or link, lower-cased: after the last "." of the name part.
std::string ExtensionOf(const std::string& fileOrLink, bool link) {
    std::string name = link ? AudioFileNameFromUrl(fileOrLink) : fileOrLink;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 >= name.size()) return {};
    return Utf8Lower(name.substr(dot + 1));
}

std::string ResolveFile(const std::string& file) {
    // A name without a drive or root is relative to the podcast folder.
    if (file.find(':') != std::string::npos || (!file.empty() && file[0] == '/')) return file;
    return Pref.PodcastPath + file;
}

int CurrentVolume() {
    return AppState_Test(APPSTATE_MUTED) ? std::min(Pref.MuteVolume, 50) : Pref.AudioVolume;
}

int32_t Bass_Play(const std::string& file, const std::string& url, int32_t feedId,
                  int32_t positionMs, std::string& log, std::string& errors) {
    uint32_t ch = 0;
    if (!file.empty()) {
        ch = Engine_OpenFile(file, positionMs);
        if (!ch) errors += " Bass_StreamCreateFile, " + ErrorTail();
    } else {
        if (Pref.UseProxy && !Engine_SetProxy(ProxyText()))
            errors += " Bass_SetConfigPtr( #Bass_Config_Net_Proxy ), " + ErrorTail();
        if (!Pref.UseProxy) Engine_SetProxy("");
        ch = Engine_OpenUrl(url, positionMs, false);
        if (!ch) errors += " Bass_StreamCreateURL, " + ErrorTail();
    }
    if (!ch) return 0;
    BassState.Channel = ch;
    BassState.Source = 0;
    Audio.FeedID = feedId;
    Audio.State = AUDIO_STATE_LOADED;
    Audio_SetVolume(Pref.AudioVolume, 0);
    if (!Engine_Play(ch)) errors += " Bass_ChannelPlay, " + ErrorTail();
    Audio_SetTempo(1, -100);
    return 1;
}
} // namespace

AudioUiHooks& Audio_Ui() {
    return s_ui;
}

void Audio_SetPurePlayer(PurePlayer* player) {
    s_pure = player;
}

bool Audio_IsBass(int32_t engine) {
    return engine >= AUDIO_ENGINE_BASS && engine <= AUDIO_ENGINE_DEVICE3;
}

int32_t Audio_PlayerValue(const std::string& name) {
    const std::string n = Utf8Lower(Trim(name));
    if (n == "pure") return AUDIO_ENGINE_PURE;
    if (n == "bass") return AUDIO_ENGINE_BASS;
    if (n == "bass device 1") return AUDIO_ENGINE_DEVICE1;
    if (n == "bass device 2") return AUDIO_ENGINE_DEVICE2;
    if (n == "bass device 3") return AUDIO_ENGINE_DEVICE3;
    return 0;
}

std::string Audio_EngineName(int32_t engine, bool player) {
    switch (engine) {
    case AUDIO_ENGINE_PURE:
        return "Pure";
    case AUDIO_ENGINE_BASS:
        return "Bass";
    case AUDIO_ENGINE_DEVICE1:
        return "Bass Device 1";
    case AUDIO_ENGINE_DEVICE2:
        return "Bass Device 2";
    case AUDIO_ENGINE_DEVICE3:
        return "Bass Device 3";
    default:
        return player ? "Auto" : "None";
    }
}

int32_t Audio_Init() {
    if (Audio.State & AUDIO_STATE_LOADED) Audio_Close(0);
    Audio.Engine = AUDIO_ENGINE_NONE;
    Audio.Player = Audio_PlayerValue(Pref.AudioPlayer);
    std::string errors;
    if (Audio.Player != AUDIO_ENGINE_PURE) {
        EngineSettings s;
        s.Device = Audio.Player >= AUDIO_ENGINE_DEVICE1 ? Audio.Player - 2 : -1;
        if (const char* out = std::getenv("ORVALIS_AUDIO_OUTPUT")) s.Output = out;
        s.Agent = Pref.NetAgent;
        s.LibraryPath = AppPath;
        if (BassState.Init) {
            Engine_Free();
            BassState.Init = 0;
        }
        BassState.Lib = Bass_Load(s.LibraryPath);
        if (!BassState.Lib) {
            errors += "! Error, can't Open Bass.Dll\n";
        } else {
            std::string text;
            BassState.Init = Engine_Init(s, &text);
            if (!BassState.Init) {
                errors += Bass_ErrorText(BASS_ERROR_ASK, true) + " " + text + "\n";
            } else {
                Engine_SetTagHandler(&Bass_SyncProc);
                Audio.Engine = Audio.Player >= AUDIO_ENGINE_BASS ? Audio.Player : AUDIO_ENGINE_BASS;
            }
        }
    }
    if (Audio.Engine == AUDIO_ENGINE_NONE) {
        if (!Audio.MovieReady && s_pure && s_pure->Init()) Audio.MovieReady = 1;
        if (Audio.MovieReady)
            Audio.Engine = AUDIO_ENGINE_PURE;
        else
            errors += "! Error, can't initialize Movie Ressource !\n";
    }
    Log("Audio_Init(" + Audio_EngineName(Audio.Player, true) + ") Initialized with " +
        Audio_EngineName(Audio.Engine));
    if (!errors.empty()) Log("! Error " + errors);
    return Audio.Engine;
}

void Audio_Shutdown() {
    if (Audio.State & AUDIO_STATE_LOADED) Audio_Close(0);
    Engine_Free();
    BassState = BassStateRecord{};
    Audio.Engine = AUDIO_ENGINE_NONE;
}

int Audio_Play(const std::string& file, const std::string& link, int32_t feedId,
               const std::string& title, int32_t positionMs) {
    Audio_Close(0);
    std::string log =
        "Audio_Play(" + Audio_EngineName(Audio.Engine) + ") FeedID=" + std::to_string(feedId);
    std::string errors;
    int ok = 0;
    std::string path;
    if (!file.empty()) {
        path = ResolveFile(file);
        log += " File=" + path;
        if (!File_Exists(path) || File_Size(path) <= 0) {
            log += " File Not exist !";
        } else if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure) {
            if (s_pure->Load(path)) {
                Audio.FeedID = feedId;
                Audio.State = AUDIO_STATE_LOADED;
                Audio_SetVolume(Pref.AudioVolume, 0);
                s_pure->Play();
                ok = 1;
            } else {
                errors += " Can't load file\n";
            }
        } else if (Audio_IsBass(Audio.Engine)) {
            ok = Bass_Play(path, {}, feedId, positionMs, log, errors);
        }
    } else if (!link.empty() && Audio_IsBass(Audio.Engine)) {
        log += " Link=" + link;
        ok = Bass_Play({}, link, feedId, positionMs, log, errors);
    }
    Log(log);
    if (!errors.empty()) Log("! Error " + errors);
    if (ok) {
        s_title = title;
        s_link = path.empty() ? link : path;
        s_feedName.clear();
        Rss* feed = nullptr;
        if (feedId && Item_FindByFeedID(feedId, &feed) && feed) {
            s_feedName = feed->Name;
            PlayedList_Add(PlayedItems, feedId);
            feed->ItemsChanged = 1;
            AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        }
    }
    StateChanged();
    return ok;
}

int Radio_Play(Rss* radio) {
    if (!radio || radio->Url.empty()) return 0;
    Audio_Close(0);
    Log("Radio_Play(" + Audio_EngineName(Audio.Engine) + ") RssID=" + std::to_string(radio->RssID) +
        " Url=" + radio->Url);
    if (!Audio_IsBass(Audio.Engine)) return 0;
    std::string errors;
    const std::string proxy = ProxyText();
    if (!Engine_SetProxy(proxy) && !proxy.empty())
        errors += " Bass_SetConfigPtr( #Bass_Config_Net_Proxy = " + proxy + "), " + ErrorTail();
    const uint32_t ch = Engine_OpenUrl(radio->Url, 0, true);
    if (!ch) {
        errors += " Bass_StreamCreateURL, " + ErrorTail();
        Log("! Error " + errors);
        StateChanged();
        return 0;
    }
    BassState.Channel = ch;
    BassState.Source = 0;
    Audio.RadioID = radio->RssID;
    Audio.State = AUDIO_STATE_LOADED;
    Audio_SetVolume(Pref.AudioVolume, 0);
    Radio_SetInfo(RADIOINFO_NAME, radio->Name);
    Bass_SyncProc(ch);
    if (!Engine_Play(ch)) errors += " Bass_ChannelPlay, " + ErrorTail();
    if (!errors.empty()) Log("! Error " + errors);
    s_title.clear();
    s_link = radio->Url;
    s_feedName = radio->Name;
    PlayedList_Add(PlayedFeeds, radio->RssID);
    radio->ItemsChanged = 1;
    StateChanged();
    return 1;
}

void Audio_Close(int reset) {
    const bool wasLoaded = Audio.State & AUDIO_STATE_LOADED;
    if (!wasLoaded && !BassState.Channel) return;
    std::string log = "Audio_Close(" + Audio_EngineName(Audio.Engine) +
                      ") FeedID=" + std::to_string(Audio.FeedID) +
                      " RadioID=" + std::to_string(Audio.RadioID);
    int64_t position = 0;
    if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure) {
        s_pure->Stop();
    } else if (BassState.Channel) {
        const int active = Engine_IsActive(BassState.Channel);
        if (active == ENGINE_PAUSED || (active == ENGINE_PLAYING && !reset))
            position = std::max<int64_t>(0, Engine_Position(BassState.Channel));
        if (!Engine_StreamFree(BassState.Channel)) log += " Bass_StreamFree : " + ErrorTail();
        BassState.Channel = 0;
        BassState.Source = 0;
    }
    Log(log);
    const int32_t feedId = Audio.FeedID;
    Audio.State = 0;
    Audio.FeedID = 0;
    Audio.RadioID = 0;
    Radio_SetInfo(RADIOINFO_SPARE, "");
    Radio_SetInfo(RADIOINFO_TITLE, "");
    Radio_SetInfo(RADIOINFO_NAME, "");
    Audio.Caption.clear();
    s_title.clear();
    s_link.clear();
    s_feedName.clear();
    VolumeChanged();
    if (feedId) {
        // Too near the start to be worth resuming: the next play starts over.
        if (position < static_cast<int64_t>(Pref.MoveAudio) * 1000) position = 0;
        Rss* feed = nullptr;
        if (Item* item = Item_FindByFeedID(feedId, &feed)) {
            item->AudioPos = static_cast<int32_t>(std::min<int64_t>(position, INT32_MAX));
            item->Readed = (Items_Now() & ~15) | (item->Readed & 3);
            if (feed) {
                feed->ItemsChanged = 1;
                if (Items_RowChangedHook) Items_RowChangedHook(*feed, *item);
            }
            AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        }
    }
    StateChanged();
}

void Audio_Monitor() {
    if (!(Audio.State & AUDIO_STATE_LOADED) || !BassState.Channel) return;
    const int active = Engine_IsActive(BassState.Channel);
    if (active == ENGINE_STOPPED) {
        // Ended by itself: the next play starts from the beginning.
        Audio_Close(1);
        return;
    }
    Audio.Caption = AudioTime_Format(Engine_Position(BassState.Channel),
                                     Engine_Length(BassState.Channel), Pref.AudioTimeFormat);
}

void Audio_Pause() {
    if (!(Audio.State & AUDIO_STATE_LOADED)) return;
    if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure) {
        if (Audio.State & AUDIO_STATE_PAUSED) {
            s_pure->Play();
            Audio.State &= ~AUDIO_STATE_PAUSED;
        } else {
            s_pure->Pause();
            Audio.State |= AUDIO_STATE_PAUSED;
        }
    } else if (BassState.Channel) {
        if (Engine_IsActive(BassState.Channel) == ENGINE_PLAYING) {
            if (Engine_Pause(BassState.Channel))
                Audio.State |= AUDIO_STATE_PAUSED;
            else
                Log(" Bass_ChannelPause : " + ErrorTail());
        } else {
            if (Engine_Play(BassState.Channel))
                Audio.State &= ~AUDIO_STATE_PAUSED;
            else
                Log(" Bass_ChannelPlay : " + ErrorTail());
        }
    }
    StateChanged();
}

void Audio_Move(int direction) {
    if (!(Audio.State & AUDIO_STATE_LOADED) || !BassState.Channel) return;
    const int64_t pos = Engine_Position(BassState.Channel);
    const int64_t len = Engine_Length(BassState.Channel);
    if (pos < 0) return;
    const int64_t step = static_cast<int64_t>(Pref.MoveAudio) * 1000;
    int64_t target;
    if (direction < 0) {
        target = std::max<int64_t>(0, pos - step);
    } else {
        if (len < 0 || pos + step >= len) return;
        target = pos + step;
    }
    if (Engine_Seek(BassState.Channel, target)) {
        Engine_Play(BassState.Channel);
        Audio.State &= ~AUDIO_STATE_PAUSED;
    }
    StateChanged();
}

void Audio_BackNormal() {
    if (!(Audio.State & AUDIO_STATE_LOADED) || !BassState.Channel) return;
    const int64_t pos = Engine_Position(BassState.Channel);
    if (pos < 0) return;
    Audio.State &= ~AUDIO_STATE_PAUSED;
    Engine_Seek(BassState.Channel, std::max<int64_t>(0, pos - 5000));
    Engine_Play(BassState.Channel);
    if (s_ui.StartBackNormal) s_ui.StartBackNormal();
    Audio_SetTempo(1, 0);
    StateChanged();
}

bool Tempo_Preset(int value, TempoPreset* out) {
    for (const TempoPreset& p : kPresets)
        if (p.Value == value) {
            if (out) *out = p;
            return true;
        }
    return false;
}

std::string Tempo_Label(int value) {
    switch (value) {
    case -1:
        return Lng(L_Menu_TempoSLow1);
    case 1:
        return Lng(L_Menu_TempoQuick1);
    case 2:
        return Lng(L_Menu_TempoQuick2);
    case 3:
        return Lng(L_Menu_TempoQuick3);
    default:
        return Lng(L_Menu_TempoNormal);
    }
}

void Audio_SetTempo(int quiet, int preset) {
    const bool fromPref = preset == -100;
    if (fromPref) preset = Pref.AudioTempo;
    TempoPreset p{0, 0.0f, 0.0f};
    if (!Tempo_Preset(preset, &p)) {
        preset = 0;
        Tempo_Preset(0, &p);
        if (fromPref) {
            Pref.AudioTempo = 0;
            PrefChanged = true;
        }
    }
    // Radios have no tempo.
    if (BassState.Channel && !Audio.RadioID) Engine_SetTempo(BassState.Channel, p.Tempo, p.Pitch);
    if (fromPref && s_ui.TempoChanged) s_ui.TempoChanged();
    if (!quiet && s_ui.Say) s_ui.Say(ReplaceAll(Tempo_Label(preset), "&", ""));
}

void Audio_SetVolume(int volume, int store) {
    if (store) {
        volume = std::clamp(volume, 2, 100);
        Pref.AudioVolume = volume;
        PrefChanged = true;
        AppState_Clear(APPSTATE_MUTED);
        VolumeChanged();
    }
    if (AppState_Test(APPSTATE_MUTED)) volume = std::min(Pref.MuteVolume, 50);
    Log("Audio_SetVolume(" + Audio_EngineName(Audio.Engine) + ") Vol=" + std::to_string(volume));
    if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure) {
        s_pure->SetVolume(volume);
    } else if (Audio_IsBass(Audio.Engine) && BassState.Init) {
        if (!Engine_SetVolume(BassState.Channel, volume / 100.0f))
            Log(" Bass_SetVolume, " + ErrorTail());
    }
}

void Audio_Mute() {
    if (AppState_Test(APPSTATE_MUTED))
        AppState_Clear(APPSTATE_MUTED);
    else
        AppState_Set(APPSTATE_MUTED);
    Audio_SetVolume(Pref.AudioVolume, 0);
    if (AppState_Test(APPSTATE_MUTED) && s_ui.Say) s_ui.Say(Lng(L_Menu_Mute));
    VolumeChanged();
    StateChanged();
}

bool Audio_IsPlayable(const std::string& fileOrLink, bool link) {
    if (fileOrLink.empty()) return false;
    const std::string ext = ExtensionOf(fileOrLink, link);
    if (ext.empty()) return false;
    std::string list;
    if (Audio_IsBass(Audio.Engine))
        list = link ? Pref.AudioExtLinkBass : Pref.AudioExtFileBass;
    else if (Audio.Engine == AUDIO_ENGINE_PURE)
        list = link ? Pref.AudioExtLinkPure : Pref.AudioExtFilePure;
    else
        return false;
    return Utf8Lower(list).find(ext) != std::string::npos;
}

std::string Item_LocalFile(const Item& item) {
    const std::string& f = !item.CustomAudioFile.empty() ? item.CustomAudioFile : item.AudioFile;
    return f.empty() ? std::string() : ResolveFile(f);
}

void Item_Play(Rss& feed, Item& item) {
    if (item.FeedID && item.FeedID == Audio.FeedID && (Audio.State & AUDIO_STATE_LOADED)) {
        Audio_Pause();
        return;
    }
    if ((PrefFlags & PREF_PLAYLINKBYDEFAULT) && Audio_IsPlayable(item.AudioLink, true)) {
        Audio_Play({}, item.AudioLink, item.FeedID, item.Title, item.AudioPos);
        return;
    }
    const std::string file = Item_LocalFile(item);
    if (!file.empty() && Audio_IsPlayable(file, false)) {
        if (!item.AudioLink.empty()) {
            // The podcast queue downloads it and plays it when ready.
            if (s_ui.QueueAndPlay && s_ui.QueueAndPlay(feed, item)) return;
            if (File_Exists(file) && File_Size(file) > 0) {
                Audio_Play(file, {}, item.FeedID, item.Title, item.AudioPos);
                return;
            }
            // No queue to fetch it: the enclosure streams when its link is playable.
            if (Audio_IsPlayable(item.AudioLink, true)) {
                Audio_Play({}, item.AudioLink, item.FeedID, item.Title, item.AudioPos);
                return;
            }
            Log("! Item_Play FeedID=" + std::to_string(item.FeedID) +
                ", no local file and no download queue : " + item.AudioLink);
            if (s_ui.NotAvailable) s_ui.NotAvailable();
            return;
        }
        Audio_Play(file, {}, item.FeedID, item.Title, item.AudioPos);
    }
}

static std::string TimeParts(int64_t ms, int64_t lengthMs, const std::string& mask) {
    const int64_t s = std::max<int64_t>(0, ms) / 1000;
    const int64_t h = s / 3600, m = (s / 60) % 60, sec = s % 60;
    std::string r = mask.empty() ? std::string("%et%em minute %es seconde, %ep%") : mask;
    r = ReplaceAll(r, "%et", h > 0 ? std::to_string(h) + " heure " : std::string());
    r = ReplaceAll(r, "%em", std::to_string(m));
    r = ReplaceAll(r, "%es", std::to_string(sec));
    const std::string pct =
        lengthMs > 0 ? std::to_string(std::clamp<int64_t>(ms * 100 / lengthMs, 0, 100)) : "";
    if (pct.empty()) {
        r = ReplaceAll(r, ", %ep%", "");
        r = ReplaceAll(r, "%ep%", "");
    }
    r = ReplaceAll(r, "%ep", pct);
    return r;
}

std::string AudioTime_Format(int64_t positionMs, int64_t lengthMs, const std::string& mask) {
    std::string r = TimeParts(positionMs, lengthMs, mask);
    if (lengthMs > 0) {
        // The length too, in the same words, so both are heard.
        std::string len = mask.empty() ? std::string("%et%em minute %es seconde") : mask;
        len = ReplaceAll(ReplaceAll(len, ", %ep%", ""), "%ep%", "");
        r += " / " + TimeParts(lengthMs, 0, len);
    }
    return r;
}

int64_t Audio_Position() {
    if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure && (Audio.State & AUDIO_STATE_LOADED))
        return s_pure->Position();
    return BassState.Channel ? Engine_Position(BassState.Channel) : -1;
}

int64_t Audio_Length() {
    if (Audio.Engine == AUDIO_ENGINE_PURE && s_pure && (Audio.State & AUDIO_STATE_LOADED))
        return s_pure->Length();
    return BassState.Channel ? Engine_Length(BassState.Channel) : -1;
}

std::string Audio_StatusText() {
    if (!(Audio.State & AUDIO_STATE_LOADED)) return {};
    std::string s = Lng((Audio.State & AUDIO_STATE_PAUSED) ? L_Audio_InPause : L_Audio_Playing);
    if (Audio.RadioID) {
        s += ", " + Lng(L_Audio_Radio) + " " + Radio_GetInfo(RADIOINFO_NAME);
        const std::string title = Radio_GetInfo(RADIOINFO_TITLE);
        if (!title.empty()) s += ", " + title;
        return s;
    }
    if (!s_title.empty()) s += ", " + s_title;
    std::string caption = Audio.Caption;
    if (caption.empty())
        caption = AudioTime_Format(Audio_Position(), Audio_Length(), Pref.AudioTimeFormat);
    return s + ", " + caption;
}

std::string Audio_LoadedFeedText() {
    if (!(Audio.State & AUDIO_STATE_LOADED)) return {};
    const std::string name = !s_feedName.empty() ? s_feedName
                             : Audio.RadioID     ? Radio_GetInfo(RADIOINFO_NAME)
                                                 : Lng(L_Audio_File);
    return Lng(L_Title_Rss) + " : " + name;
}

std::string Audio_LoadedItemText() {
    if (!(Audio.State & AUDIO_STATE_LOADED)) return {};
    std::string s;
    if (Audio.State & AUDIO_STATE_PAUSED) s = Lng(L_Audio_InPause) + " : ";
    if (Audio.RadioID) {
        std::string title = Radio_GetInfo(RADIOINFO_TITLE);
        if (title.empty()) title = Radio_GetInfo(RADIOINFO_NAME);
        return s + (title.empty() ? Lng(L_Audio_Radio) : title);
    }
    s += s_title.empty() ? Lng(L_Audio_Podcast) : s_title;
    return s + ", " + AudioTime_Format(Audio_Position(), Audio_Length(), Pref.AudioTimeFormat);
}

std::string Audio_LoadedLink() {
    return (Audio.State & AUDIO_STATE_LOADED) ? s_link : std::string();
}

std::string Audio_VolumeText() {
    return Lng(L_Say_AudioVolume, std::to_string(CurrentVolume()));
}

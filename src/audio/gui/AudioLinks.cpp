#include "audio/gui/AudioLinks.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>

#include "access/gui/ReqInput.h"
#include "audio/core/Audio.h"
#include "audio/core/AudioEngine.h"
#include "audio/core/QuickMenuModel.h"
#include "audio/gui/AudioMenu.h"
#include "audio/gui/PodcastLinks.h"
#include "audio/gui/PurePlayerWx.h"
#include "audio/gui/QuickMenu.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/base/Prefs.h"

namespace {
AudioWindowLinks s_links;
// What the engine was started with: a change in the preferences restarts it.
int32_t s_player = -1;
std::string s_agent;

// One step of the volume commands, in percent.
constexpr int VOLUME_STEP = 5;

void Say(const std::string& text) {
    if (s_links.Say) s_links.Say(text);
}

void Refresh() {
    AudioMenu_Update(s_links.Bar);
    if (s_links.Status) s_links.Status();
}

bool IsRadioFeed(const Rss& f) {
    return f.ContentRss == CONTENT_NETRADIO || EqualsNoCase(f.ExtractAs, "NetRadio");
}

Item* Selected(Rss** feed) {
    return s_links.SelectedArticle ? s_links.SelectedArticle(feed) : nullptr;
}

bool PlaySelectedRadio() {
    Rss* feed = s_links.SelectedFeed ? s_links.SelectedFeed() : nullptr;
    if (!feed || !IsRadioFeed(*feed)) return false;
    Radio_Play(feed);
    return true;
}

bool PlaySelectedArticle() {
    Rss* feed = nullptr;
    Item* item = Selected(&feed);
    if (!item || !feed || (item->AudioLink.empty() && Item_LocalFile(*item).empty())) return false;
    Item_Play(*feed, *item);
    return true;
}

void SetTempoPreset(int preset) {
    Pref.AudioTempo = std::clamp(preset, -1, 3);
    PrefChanged = true;
    Audio_SetTempo(0, -100);
}

void CopyToClipboard(const std::string& text) {
    if (text.empty() || !wxTheClipboard->Open()) return;
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
    wxTheClipboard->Close();
}

void Reg(int id, std::function<void()> fn) {
    Command_Register(id, [fn = std::move(fn)](int) {
        fn();
        return true;
    });
}
} // namespace

void Audio_AskVolume() {
    const std::string answer =
        ReqInput(Lng(L_Request_Select), Lng(L_Msg_SetAudioVolume), std::to_string(Pref.AudioVolume),
                 REQINPUT_DIGITS | 3, s_links.Window);
    if (Trim(answer).empty()) return;
    Audio_SetVolume(ValInt32(answer), 1);
}

void Audio_Link(const AudioWindowLinks& links) {
    s_links = links;
    AudioUiHooks& ui = Audio_Ui();
    ui.Say = [](const std::string& t) { Say(t); };
    ui.VolumeChanged = [] { AudioMenu_Update(s_links.Bar); };
    ui.TempoChanged = [] { AudioMenu_Update(s_links.Bar); };
    ui.StateChanged = &Refresh;
    ui.NotAvailable = [] { Say(NotYetAvailable_Text()); };
    ui.StartBackNormal = [] {
        if (s_links.StartBackNormal) s_links.StartBackNormal();
    };

    Reg(CMD_AUDIO_STOP, [] { Audio_Close(0); });
    Reg(CMD_AUDIO_MUTE, [] { Audio_Mute(); });
    Reg(CMD_AUDIO_PAUSE, [] { Audio_Pause(); });
    Reg(CMD_AUDIO_PLAY, [] {
        if (Audio.State & AUDIO_STATE_LOADED)
            Audio_Pause();
        else if (!PlaySelectedArticle() && !PlaySelectedRadio())
            Say(Lng(L_Status_NoFeedSelected));
    });
    Reg(CMD_AUDIO_BACKNORMAL, [] { Audio_BackNormal(); });
    Reg(CMD_AUDIO_BACKWARD, [] { Audio_Move(-1); });
    Reg(CMD_AUDIO_FORWARD, [] { Audio_Move(+1); });
    Reg(CMD_AUDIO_VOLUMEUP, [] {
        Audio_SetVolume(Pref.AudioVolume + VOLUME_STEP, 1);
        Say(Audio_VolumeText());
    });
    Reg(CMD_AUDIO_VOLUMEDOWN, [] {
        Audio_SetVolume(Pref.AudioVolume - VOLUME_STEP, 1);
        Say(Audio_VolumeText());
    });
    Reg(CMD_AUDIO_ASK_VOLUME, [] { Audio_AskVolume(); });
    Reg(CMD_TEMPO_UP, [] { SetTempoPreset(Pref.AudioTempo + 1); });
    Reg(CMD_TEMPO_DOWN, [] { SetTempoPreset(Pref.AudioTempo - 1); });
    Reg(CMD_TEMPO_SLOW, [] { SetTempoPreset(-1); });
    Reg(CMD_TEMPO_NORMAL, [] { SetTempoPreset(0); });
    Reg(CMD_TEMPO_QUICK1, [] { SetTempoPreset(1); });
    Reg(CMD_TEMPO_QUICK2, [] { SetTempoPreset(2); });
    Reg(CMD_TEMPO_QUICK3, [] { SetTempoPreset(3); });
    Reg(CMD_QUICK_MENU, [] { QuickMenu_Show(s_links.Window); });
    Reg(CMD_QUICK_COPY_LINK, [] { CopyToClipboard(Audio_LoadedLink()); });
    Reg(CMD_QUICK_FEED, [] { Say(Audio_LoadedFeedText()); });
    Reg(CMD_QUICK_PAUSED, [] { Say(Audio_LoadedItemText()); });
    Reg(CMD_RADIO_PLAY, [] {
        if (!PlaySelectedRadio()) Say(Lng(L_Status_NoRssSelected));
    });
    // Space: a radio of the tree listens; a podcast of the list plays, pauses or resumes.
    // Anything else is the article reading, which is not ours.
    Command_Register(CMD_ARTICLE_READ_OR_PLAY, [](int) {
        if (s_links.TreeFocused && s_links.TreeFocused()) return PlaySelectedRadio();
        return PlaySelectedArticle();
    });
    Reg(CMD_PODCAST_PLAY_FILE, [] {
        Rss* feed = nullptr;
        Item* item = Selected(&feed);
        if (!item) {
            Say(Lng(L_Status_NoFeedSelected));
            return;
        }
        Audio_Play(Item_LocalFile(*item), {}, item->FeedID, item->Title, item->AudioPos);
    });
    Reg(CMD_PODCAST_PLAY_LINK, [] {
        Rss* feed = nullptr;
        Item* item = Selected(&feed);
        if (!item) {
            Say(Lng(L_Status_NoFeedSelected));
            return;
        }
        Audio_Play({}, item->AudioLink, item->FeedID, item->Title, item->AudioPos);
    });
    auto numbered = [](int id) {
        int32_t rss = 0, feedId = 0;
        if (!QuickMenu_Run(id, &rss, &feedId)) return true;
        if (s_links.Select && rss) s_links.Select(rss, feedId);
        return true;
    };
    Command_RegisterRange(CMD_QUICK_UNREAD_FIRST, QUICK_UNREAD_MAX, numbered);
    Command_RegisterRange(CMD_QUICK_PLAYED_FIRST, QUICK_PLAYED_MAX, numbered);
    Command_RegisterRange(CMD_QUICK_RADIO_FIRST, QUICK_PLAYED_MAX, numbered);
    Command_RegisterRange(CMD_QUICK_PARTIAL_FIRST, QUICK_PARTIAL_MAX, numbered);

    MainHooks& h = Main_Hooks();
    h.SecondTick.push_back([] {
        if (Audio_PlayerValue(Pref.AudioPlayer) != s_player) {
            s_player = Audio_PlayerValue(Pref.AudioPlayer);
            s_agent = Pref.NetAgent;
            Audio_Init();
        } else if (Pref.NetAgent != s_agent) {
            s_agent = Pref.NetAgent;
            Engine_SetAgent(s_agent);
        }
        Audio_Monitor();
        AudioMenu_Update(s_links.Bar);
    });
    h.BackNormal.push_back([] { Audio_SetTempo(1, -100); });
    h.AudioState = [] { return Audio_StatusText(); };

    // The program ends: the window is hidden when it is scheduled for destruction, before
    // the exit sequence saves the articles, so the position of what plays is stored in
    // time (the window itself goes only after that save).
    if (s_links.Window)
        s_links.Window->Bind(wxEVT_SHOW, [](wxShowEvent& e) {
            e.Skip();
            if (!e.IsShown() && wxTheApp && wxTheApp->IsScheduledForDestruction(s_links.Window) &&
                (Audio.State & AUDIO_STATE_LOADED)) {
                Log("- Audio_Close at exit");
                Audio_Close(0);
            }
        });
    AudioMenu_Install(s_links.Bar);
    PurePlayer_Register(s_links.Window);
    s_player = Audio_PlayerValue(Pref.AudioPlayer);
    s_agent = Pref.NetAgent;
    Audio_Init();
    AudioMenu_Update(s_links.Bar);
}

void Audio_Unlink() {
    Podcast_Unlink(); // the queue is saved with the interrupted download kept
    Audio_Shutdown();
    PurePlayer_Register(nullptr);
    Audio_Ui() = AudioUiHooks{};
    s_links = AudioWindowLinks{};
}

#include "audio/gui/AudioMenu.h"

#include <wx/menu.h>

#include "access/gui/GlobalShortcut.h"
#include "access/core/Shortcuts.h"
#include "platform/core/Text.h"
#include "audio/core/Audio.h"
#include "shell/base/AppState.h"
#include "shell/base/Lng.h"
#include "shell/core/MainCommands.h"
#include "shell/base/Prefs.h"

namespace {
wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

struct PresetCommand {
    int Command;
    int Preset;
};
const PresetCommand kPresets[] = {{CMD_TEMPO_NORMAL, 0},
                                  {CMD_TEMPO_SLOW, -1},
                                  {CMD_TEMPO_QUICK1, 1},
                                  {CMD_TEMPO_QUICK2, 2},
                                  {CMD_TEMPO_QUICK3, 3}};

std::string PlayLabel() {
    if (!(Audio.State & AUDIO_STATE_LOADED)) return Lng(L_Audio_Playing);
    if (Audio.State & AUDIO_STATE_PAUSED) return Trim(Lng(L_PodcastPopUpMenu_Resume));
    return Lng(L_Menu_Pause);
}

std::string VolumeLabel() {
    return Lng(L_Menu_AudioVolume, std::to_string(Pref.AudioVolume));
}

// The label keeps the key text after its tab.
void SetLabel(wxMenuItem* item, const std::string& text) {
    const wxString old = item->GetItemLabel();
    const int tab = old.Find('\t');
    item->SetItemLabel(W(text) + (tab == wxNOT_FOUND ? wxString() : old.Mid(tab)));
}
} // namespace

wxMenu* AudioMenu_Create() {
    auto* audio = new wxMenu;
    audio->Append(CMD_AUDIO_STOP, W(Lng(L_Menu_Stop)));
    audio->AppendCheckItem(CMD_AUDIO_MUTE, W(Lng(L_Menu_Mute)));
    audio->Append(CMD_AUDIO_PLAY, W(PlayLabel()));
    audio->Append(CMD_AUDIO_VOLUMEUP, W(Lng(L_Menu_VolumeUp)));
    audio->Append(CMD_AUDIO_VOLUMEDOWN, W(Lng(L_Menu_VolumeDown)));
    audio->Append(CMD_AUDIO_ASK_VOLUME, W(VolumeLabel()));
    audio->Append(CMD_AUDIO_BACKWARD, W(Lng(L_Menu_Audio_BackWard)));
    audio->Append(CMD_AUDIO_FORWARD, W(Lng(L_Menu_Audio_ForWard)));
    audio->Append(CMD_AUDIO_BACKNORMAL, W(Lng(L_Menu_Audio_BackNormal)));
    auto* tempo = new wxMenu;
    for (const PresetCommand& p : kPresets)
        tempo->AppendCheckItem(p.Command, W(Tempo_Label(p.Preset)));
    tempo->Append(CMD_TEMPO_UP, W(Lng(L_Menu_TempoUp)));
    tempo->Append(CMD_TEMPO_DOWN, W(Lng(L_Menu_TempoDown)));
    audio->AppendSubMenu(tempo, W(Lng(L_Menu_Tempo)));
    audio->Append(CMD_QUICK_MENU, W(Lng(L_Menu_QuickMenu)));
    return audio;
}

bool AudioMenu_Install(wxMenuBar* bar) {
    if (!bar) return false;
    const int pos = bar->FindMenu(W(Lng(L_Menu_Audio)));
    if (pos == wxNOT_FOUND) return false;
    wxMenu* old = bar->Replace(static_cast<size_t>(pos), AudioMenu_Create(), W(Lng(L_Menu_Audio)));
    delete old;
    RefreshMenuShortcuts(SHORTCUT_MENU_MAIN);
    AudioMenu_Update(bar);
    return true;
}

void AudioMenu_Update(wxMenuBar* bar) {
    if (!bar) return;
    const int preset = Tempo_Preset(Pref.AudioTempo, nullptr) ? Pref.AudioTempo : 0;
    for (const PresetCommand& p : kPresets)
        if (wxMenuItem* item = bar->FindItem(p.Command)) item->Check(p.Preset == preset);
    if (wxMenuItem* item = bar->FindItem(CMD_AUDIO_MUTE))
        item->Check(AppState_Test(APPSTATE_MUTED) != 0);
    if (wxMenuItem* item = bar->FindItem(CMD_AUDIO_PLAY)) SetLabel(item, PlayLabel());
    if (wxMenuItem* item = bar->FindItem(CMD_AUDIO_ASK_VOLUME)) SetLabel(item, VolumeLabel());
}

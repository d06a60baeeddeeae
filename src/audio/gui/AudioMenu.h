// The "A&udio" menu of the main menu bar: Stop, Sourdine (marked while muted), the
// play/pause entry, the volume entries with the volume text, the jumps, the "Débit audio"
// submenu with one marked entry per speed preset, and the quick menu.
#pragma once

class wxMenu;
class wxMenuBar;

// Command of the volume entry "Volume audio (90 %)", which asks for a volume.
enum : int { CMD_AUDIO_ASK_VOLUME = 492 };

wxMenu* AudioMenu_Create();
// Replaces the bar's audio menu by AudioMenu_Create(); false when the bar has none.
bool AudioMenu_Install(wxMenuBar* bar);
// The marks and run-time labels: speed preset, mute, play/pause, volume text.
void AudioMenu_Update(wxMenuBar* bar);

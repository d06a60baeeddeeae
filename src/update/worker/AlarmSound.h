// Playback of the alarm sounds ("NewFeed.Wav" and its companions) through libmpv, without
// any window: fills the sound members of AlarmHooks. The audio engine may later install
// its own instead.
#pragma once

// Creates the player (once) and installs it into Alarm_Hooks(). False when libmpv is not
// available or cannot be started; the alarms then stay silent.
bool AlarmSound_Install();
// Stops and frees the player (exit sequence). The hooks stay installed but report no sound.
void AlarmSound_Close();

// Starting with the session: an XDG autostart entry "Orvalis.desktop" in the user's
// autostart folder ($XDG_CONFIG_HOME/autostart, default ~/.config/autostart).
#pragma once
#include <string>

// The entry's path.
std::string AutoStart_EntryPath();
// Writes the entry starting `program` (on = true) or removes it (on = false). False
// (and "! " logged) when the entry could not be written or removed.
bool AutoStart_Set(bool on, const std::string& program);
// True when the entry exists.
bool AutoStart_IsSet();

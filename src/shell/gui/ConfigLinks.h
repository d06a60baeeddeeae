// The links of the moving-between-computers modules to the main window: the configuration
// commands (52, 54, 56), the version check (186), and the read-state synchronisation
// (its scan on timer 6 and after the preferences change, applied to every new article).
#pragma once

// Installs those commands and hooks; called once when the main window exists.
void Config_Link();
// The start-up scan of the shared read-state folder, once the articles are loaded.
void Config_StartSync();
// The exit sequence's save of this installation's read-state file.
void Config_ExitSync();

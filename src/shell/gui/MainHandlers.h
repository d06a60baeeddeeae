// The commands the main window carries out itself: one handler per command number,
// installed in the command registry. Commands of other modules are installed by their own
// link functions; the dispatcher knows only the registry.
#pragma once

// Registers the main window's own commands (quit, preferences, search, display toggles,
// focus moves, tree and list commands, help, tray entries). Called by
// MainWindow_LinkModules.
void MainCommands_Register();

// Opens the help page for command 166, 168 or 170 (the focused zone's page for 170) in the
// browser, in the user's language when it has pages; announces when there is none.
void Help_Open(int command);

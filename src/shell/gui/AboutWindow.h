// The About window (window 8): program name and version, the freeware notice, the text of
// "License.Txt" from the program folder and the buttons "Site", "Dossier système" and
// "Quitter". The main window is disabled while it is open.
#pragma once

class wxWindow;

// Shows the window modally over `owner`.
void ShowAboutWindow(wxWindow* owner);

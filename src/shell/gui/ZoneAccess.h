// How the zones of the main window are named for a screen reader: the ATK object of the
// native widget that takes the focus gets the zone's name (and, for the status line, the
// role "status bar"), so Orca announces the zone when the focus enters it.
#pragma once
#include <string>
#include <vector>

class wxWindow;

// Names the control and the native widget inside it that takes the focus (a GtkTreeView
// or GtkTextView sits in a scrolled window).
void Zone_SetAccessibleName(wxWindow* control, const std::string& name);
// Gives the control the accessible role "status bar" and `text` as its name.
void Zone_SetStatusBar(wxWindow* control, const std::string& text);
// The native widget of `control` that takes the keyboard focus (GTK), else nullptr.
void* Zone_FocusWidget(wxWindow* control);
// Turns off the GtkTreeView's type-ahead search, so that letters and digits reach the
// window's shortcuts.
void Zone_DisableTypeAhead(wxWindow* control);
// Tells the native view that the row at `path` (row indices from the top level down)
// changed, so its accessible cells read the new text at once.
void Zone_RowChanged(wxWindow* control, const std::vector<int>& path);

// "Pure": the platform's media player (wxMediaCtrl) for local files, registered into the
// audio core. The control is created hidden on the main window when the engine starts.
#pragma once

class wxWindow;

// Registers the player for `parent` (nullptr unregisters it and frees the control).
void PurePlayer_Register(wxWindow* parent);

// The quick menu (482): built anew at each opening (audio/core/QuickMenuModel.h) and shown
// at the mouse position over the main window, from the window shortcut and from the
// global hot key while another application is in front; that application's window is
// made active again when the menu closes. The chosen entry arrives at the window as a
// menu command.
#pragma once

class wxFrame;

void QuickMenu_Show(wxFrame* window);
// One try at showing it; a menu that cannot take the keyboard yet is tried again.
// `before` is the window to make active again.
void QuickMenu_ShowAttempt(wxFrame* window, int attempt, unsigned long before);

// The wait box: shows the progress of a long operation over the disabled main window and
// lets the user cancel it with "Annuler". The operation polls WaitBox_Cancelled between
// its steps; no thread is involved.
#pragma once
#include <string>

class wxWindow;

// Creates the hidden box, titled "En cours...", centred on `main` (done by WaitBox_Open
// when not called beforehand). `main` is the window disabled while the box shows.
void WaitBox_Create(wxWindow* main);
// Shows the box: `title`; `text` unless empty (then the previous text stays); the progress
// range unless min and max are -1; with `noCancel` "Annuler" is disabled and the bar has
// the focus, else "Annuler" has it. Then handles the pending events once.
void WaitBox_Open(const std::string& title, const std::string& text, int min, int max,
                  bool noCancel);
// Moves the bar (within the range given to WaitBox_Open).
void WaitBox_SetProgress(int value);
// Hides the box and enables and shows the main window again.
void WaitBox_Close();
// Handles up to 10 pending events (pausing 1 ms when none is pending); 1 when "Annuler"
// was chosen since the last call, else 0.
int WaitBox_Cancelled();
// Destroys the box (exit sequence).
void WaitBox_Destroy();

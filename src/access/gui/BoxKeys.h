// Keyboard handling shared by the message, input and wait boxes.
#pragma once
#include <vector>

class wxKeyEvent;
class wxWindow;
class wxTopLevelWindow;

enum BoxKey { BOXKEY_NONE, BOXKEY_ACTIVATE, BOXKEY_CANCEL, BOXKEY_NEXT, BOXKEY_PREVIOUS };

// Enter → activate, Escape → cancel, Tab → next, Shift+Tab → previous; Down/Right → next
// and Up/Left → previous, except on a text (`onText`), where they move through its lines.
BoxKey BoxKeys_Classify(const wxKeyEvent& e, bool onText);
// Position of `w` in `cycle`, -1 when absent.
int BoxKeys_IndexOf(const std::vector<wxWindow*>& cycle, wxWindow* w);
// Gives the focus to the control `step` places from `from`, wrapping around.
void BoxKeys_Move(const std::vector<wxWindow*>& cycle, int from, int step);
// Gives `target` the focus when `box` is shown, and again 300 ms after it was shown or
// re-activated, so that the screen reader announces it.
void BoxKeys_RefocusLater(wxTopLevelWindow* box, wxWindow* target);

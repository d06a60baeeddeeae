// The program's own message box: the message sits in a read-only multi-line text that has
// the focus, so a screen reader reads it like any text; the buttons follow with Tab.
#pragma once
#include <string>

class wxWindow;

enum : int {
    REQUEST_OK = 0,          // one "Ok" button (any kind other than the two below)
    REQUEST_YESNOCANCEL = 3, // "Oui", "Non", "Cancel"
    REQUEST_YESNO = 4,       // "Oui", "Non"
};
enum : int {
    REQUEST_RESULT_CANCEL = 2, // "Cancel", Escape with a "Cancel" button, or the window closed
    REQUEST_RESULT_YES = 6,    // "Ok" or "Oui"
    REQUEST_RESULT_NO = 7,     // "Non"
};

// Shows the box over `owner` (disabled meanwhile; its focused control gets the focus back
// afterwards) or centred on the screen when owner is nullptr, and waits for the answer:
// 6, 7 or 2. Keys: Enter answers for the focused control; Escape cancels only when there
// is a "Cancel" button; Tab / Shift+Tab cycle text → buttons → text, and so do the arrow
// keys on the buttons (on the text they move through its lines). A stand-in system
// message box is used when the window cannot be created.
int RequestMessage(const std::string& title, const std::string& text, int kind, wxWindow* owner);

// When `label` holds "&", the letter after it (A-Z, upper-cased) becomes an accelerator of
// `window`, alone and with Alt, that raises the menu command `event`. Added to the
// accelerators already given through this function.
void AddButtonAccelerator(const std::string& label, wxWindow* window, int event);

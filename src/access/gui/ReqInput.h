// The program's own one-line input box: the prompt in a read-only multi-line text, the
// input field and an "Ok" button.
#pragma once
#include <string>

class wxWindow;

enum : int {
    REQINPUT_MAXLEN_MASK = 0xFF, // maximum length in characters, 0 = no limit
    REQINPUT_PASSWORD = 0x10000, // characters hidden
    REQINPUT_DIGITS = 0x20000,   // digits only
};

// Asks for a text and returns what the input field holds when the box closes (Enter,
// "Ok", Escape or closing the window all end it). The field starts with `def`, cut to
// the maximum length, which also limits typing. `owner` is disabled meanwhile and its
// focused control gets the focus back. A system text-entry dialog stands in when the
// window cannot be created.
std::string ReqInput(const std::string& title, const std::string& prompt, const std::string& def,
                     int flags, wxWindow* owner);

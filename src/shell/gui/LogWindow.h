// The log window: the log's header and pending lines in a read-only multi-line text,
// titled "Log de " + AppName; Escape closes it. Also the two ways the program ends on an
// error: a fatal log line and a failed window creation.
#pragma once
#include <string>

class wxWindow;
class wxTextCtrl;

// Creates the (hidden) log window; on failure reports ": LogWindow" as a window-creation
// error. Returns false then.
bool OpenLogWindow(wxWindow* parent);
// Shows the window with LogHeader followed by LogBuffer; clear = 1 empties the text first.
void ShowLog(int clear);
// The log window's text control (tests); nullptr before OpenLogWindow.
wxTextCtrl* LogWindow_Text();
// Hides the window (what Escape does).
void LogWindow_Close();
// Destroys the window (exit).
void LogWindow_Destroy();

// Shows FatalError_Text(code, name) in a message box titled "Erreur", then ends the
// process once the box is closed.
[[noreturn]] void ReportFatalError(int code, const std::string& name);
// The fatal path of Log(text, 1): shows the log window and waits until the user closes
// it, then flushes the log, releases the single-instance lock and ends with code 0.
void LogWindow_InstallFatalHandler();

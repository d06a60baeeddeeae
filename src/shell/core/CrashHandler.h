// The process-wide handler for crashes (POSIX signals): it writes a report to the log,
// flushes it, shows it through the installed reporter, releases the single-instance lock
// and ends the process with exit code 1.
#pragma once
#include <functional>
#include <string>

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT (start-up step 1).
void CrashHandler_Install();
// How the report is shown to the user (a message box titled "OnError example"); without
// one the report only goes to the log and standard error.
void CrashHandler_SetReporter(std::function<void(const std::string&)> reporter);
// The report lines for a signal, each ending with CR LF ("Error Code: " is the signal
// number; `code` is the signal's own detail code, kept for callers). `registers` holds the eight
// values shown as EAX, EBX, ECX, EDX, EBP, ESI, EDI, ESP (nullptr: no values).
std::string CrashHandler_Report(int signal, int code, unsigned long long faultAddress,
                                const unsigned long long* targetAddress,
                                const unsigned long long* registers);
// The text of a fatal error of window creation: the message of `code`, then `name`, then
// "\r\nLe programme doit être arrêté ...".
std::string FatalError_Text(int code, const std::string& name);

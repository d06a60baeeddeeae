// The process-wide handler for crashes (POSIX signals). Everything it needs is prepared
// before any crash: inside the signal it only formats into a fixed buffer and calls
// write(2). It arms a 5 s alarm first (so nothing it does can hang the process), writes
// the report after the pending log lines into the log file and to standard error,
// leaves the report in "Orvalis.Crash" for the next start, and ends the process with exit
// code 1. It opens no window: the next start tells the user (CrashHandler_TakeLastFault).
#pragma once
#include <cstddef>
#include <string>

// The fault marker the handler leaves in the current folder (the data folder).
inline constexpr const char* CRASH_MARKER_FILE = "Orvalis.Crash";
// What the next start tells the user once.
inline constexpr const char* CRASH_LAST_RUN_TEXT =
    "the last run ended with a fault; its report is in the log";

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT (start-up step 1)
// and gives the calling thread an alternate signal stack; every other thread the program
// starts holds its own (platform/core/SignalStack.h).
void CrashHandler_Install();
// The report lines for a signal, each ending with CR LF ("Error Code: " is the signal
// number; `code` is the signal's own detail code, kept for callers). `registers` holds the eight
// values shown as EAX, EBX, ECX, EDX, EBP, ESI, EDI, ESP (nullptr: no values).
std::string CrashHandler_Report(int signal, int code, unsigned long long faultAddress,
                                const unsigned long long* targetAddress,
                                const unsigned long long* registers);
// The same report written into `buffer` (at most `capacity` bytes, cut when longer) with
// no allocation, as the handler does; returns the bytes written.
size_t CrashHandler_FormatReport(char* buffer, size_t capacity, int signal,
                                 unsigned long long faultAddress,
                                 const unsigned long long* targetAddress,
                                 const unsigned long long* registers);
// At start-up, in the data folder: true once after a run that ended with a fault. The
// marker is removed and `report` receives the report it held (at most 64 KB).
bool CrashHandler_TakeLastFault(std::string& report);
// The text of a fatal error of window creation: the message of `code`, then `name`, then
// "\r\nLe programme doit être arrêté ...".
std::string FatalError_Text(int code, const std::string& name);

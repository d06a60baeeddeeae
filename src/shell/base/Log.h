// The diagnostic log. Lines are collected in memory and appended to "Orvalis.Log" in
// the current folder now and then; every thread may log. Prefixes by convention:
// "* " an operation starts, "- " a step or a success, "! " an error, " " a continuation.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Appends `text` + CR LF. header = 1 puts the line into the header written once at the
// top of the log file. fatal = 1 ends the program after the line (see Log_SetFatalHandler).
void Log(std::string_view text, int fatal = 0, int header = 0);
// Writes the pending lines to the file (creating it, header first, at the first flush).
void FlushLog();
// The header followed by the pending lines, as the log window shows them.
std::string Log_Text();
// The file the log is written to (default "Orvalis.Log", relative to the current folder).
void Log_SetFile(const std::string& path);
// Called for a fatal line after it has been appended; the GUI shows the log and ends the
// process there. Without a handler the log is flushed and the process ends with code 0.
void Log_SetFatalHandler(std::function<void()> handler);
// For the crash handler, inside a signal: writes the pending lines (the header first when
// the file was not started) and then `text` to the log file with write(2) only, without
// allocating. When the log's lock is held elsewhere only `text` is appended.
void Log_CrashWrite(const char* text, size_t size);
// Builds the log's state ahead of any crash (Log_CrashWrite never builds it).
void Log_CrashPrepare();
// Forgets everything (tests).
void Log_Reset();

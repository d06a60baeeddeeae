// Speech output through the screen reader the user is already running.
//
// Windows: JAWS ("JFWAPI.DLL" from ScreenReaderPath, else the "FreedomSci.JawsApi"
// automation object JAWS registers) or NVDA ("nvdaControllerClient.dll", else the name
// NVDA gives the client for the program's word size, "nvdaControllerClient64.dll" or
// "nvdaControllerClient32.dll", from ScreenReaderPath), loaded at run time. Linux: Orca, found in
// the process list; the text goes to speech-dispatcher (the server Orca itself speaks through) over
// one connection that is opened once and reused. Every call made on the interface thread is bounded
// in time.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Folder the client libraries are loaded from (Windows); set once at start-up to the
// program folder, with a trailing separator.
extern std::string ScreenReaderPath;

// Detection codes.
enum : int {
    SCREENREADER_NONE = 0,
    SCREENREADER_JAWS = 1,
    SCREENREADER_NVDA = 2,
    SCREENREADER_ORCA = 3, // Linux only
};

// Speaks `text` (control characters 1..31 removed, spaces trimmed). 1 when the text was
// handed to a screen reader, 0 otherwise. A failure re-detects and retries once, except
// during a few seconds after a detection that found nothing. Never logs, never shows.
int ScreenReader_Say(std::string_view text, int interrupt);

// Closes whatever is loaded, waits 200 ms, detects and loads the client for the running
// screen reader. Returns its handle, 0 when none is loaded.
intptr_t ScreenReader_Init();

// Frees the client libraries / closes the speech connection; handles become 0.
void ScreenReader_Close();

// The running screen reader: SCREENREADER_NONE, _JAWS, _NVDA or (Linux) _ORCA. The first
// matching process of the process list wins.
int ScreenReader_Detect();

// The cleaning applied by ScreenReader_Say.
std::string ScreenReader_CleanText(std::string_view text);

// How long a detection that found nothing is remembered (default 3000 ms); 0 turns the
// memory off. Also forgets the last failure.
void ScreenReader_SetRetryDelay(int milliseconds);

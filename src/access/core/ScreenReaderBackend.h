// The one call ScreenReader_Say needs from a platform's side (ScreenReaderPosix.cpp,
// ScreenReaderWin.cpp), besides the public Init, Close and Detect.
#pragma once
#include <string>

// Hands the cleaned text to the screen reader loaded now; false when none is loaded or
// it refused the text. Never logs, never re-detects.
bool ScreenReader_TrySay(const std::string& text, int interrupt);

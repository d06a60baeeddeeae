// Path helpers shared by every subsystem: folder checks, file-name cleaning, the path
// tokens stored in the preferences and the resolution of stored folder texts.
//
// Folder texts end with a separator. Stored values may use '\' or '/'; on this platform
// the functions return '/' paths, and they accept both on input.
#pragma once
#include <string>
#include <string_view>

// The name with the characters 1 to 31 and " * / : < > ? \ | removed.
std::string CleanFileName(std::string_view name);
// True when `name` is usable as one path component: not empty, not "." or "..", and
// unchanged by CleanFileName.
bool IsValidFileName(std::string_view name);

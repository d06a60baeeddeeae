// Small file helpers over the C library, usable from any thread. Paths are UTF-8; on
// Windows they reach the system through its wide-character API (FileUtilWin.cpp).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Reads a whole file; false when it cannot be opened or read.
bool File_ReadAll(const std::string& path, std::string& out);
// The same, for files that may come from others: false (and `out` empty) when the file
// holds more than `maxBytes` bytes, checked while reading (a file may grow meanwhile).
bool File_ReadAll(const std::string& path, std::string& out, int64_t maxBytes);
// Writes `data` to `path` through the twin `path + ".Tmp"`: the twin is written and
// flushed to disk, then renamed over `path` (atomic on POSIX). On failure the old file
// is left intact, the twin removed, and false returned.
bool File_WriteAtomic(const std::string& path, std::string_view data);
// Writes the bytes to `path` directly (replacing it).
bool File_WriteAll(const std::string& path, std::string_view data);
bool File_Exists(const std::string& path);
bool Dir_Exists(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool Dir_Create(const std::string& path);
long long File_Size(const std::string& path);
bool File_Delete(const std::string& path);
// Renames, replacing the destination.
bool File_Rename(const std::string& from, const std::string& to);
// Flushes a file's data to the disk (fsync); false when it cannot be opened.
bool File_Sync(const std::string& path);
// std::fopen with a UTF-8 path (on Windows _wfopen: a name with accents works).
FILE* File_Open(const std::string& path, const char* mode);
// Names of the entries of a folder ("." and ".." left out), in the system's order; empty
// when it cannot be read.
std::vector<std::string> Dir_List(const std::string& path);

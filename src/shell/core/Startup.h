// The process-wide paths and options settled at start-up (declared in AppPaths.h), the command
// line, the shipped default data and the log header. The window-free half of the start-up sequence;
// the interface layer runs the steps in order and shows what must be shown.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/base/AppPaths.h"
#include "shell/base/LngEntries.h"

// Steps 2 and 3 of start-up: AppPath and PlugInPath from the program file, and portable
// mode with drive watching when its lower-cased name contains "-portable".
void Startup_SetProgramFile(const std::string& programFile);
// The program file given to Startup_SetProgramFile (absolute).
const std::string& Startup_ProgramFile();
// A relative file name given on the command line, made absolute against the folder the
// program was started in (the data folder becomes the current one during start-up).
std::string Startup_AbsoluteParam(const std::string& param);

// Reads the options (case-insensitive "-dbbasemode", "-convertmode", "-checkusbclose",
// "-portable", "-nosavexml"; the last "*.opml" parameter becomes StartOpmlFile), settles
// AppName, DataPath and DefaultPath, checks the data folder (creating it; in installed
// mode it must be writable) and makes it the current folder. Returns 1; on an unusable
// folder returns 0 with `errorText` set to the message to show before ending.
int ParseCommandLine(const std::vector<std::string>& params, std::string* errorText = nullptr);

// First-start help: refreshes the feed bank "OrvalisU.Dat" from AppPath when missing or
// older, and, when the catalogue is empty and AppPath holds "DefaultListRSS.Ini", asks
// `askYesNo(title, text)` whether to use it (copied to "ListRSSU.Ini" and loaded).
void InstallDefaultData(const std::function<int(const std::string&, const std::string&)>& askYesNo);

// The translated text of `entry` with %w% and %s1% filled in; `french` (the program's own
// text) while the text table has none for it.
std::string Startup_Text(LngEntry entry, std::string_view french, std::string_view s1 = {});

// The start-up header of the log, written with header = 1 (the lines that apply).
void Startup_WriteLogHeader(const std::string& podcastPath);
// "%dd/%mm/%yyyy %hh:%ii"-style mask applied to a local time (the masks of the program:
// "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss"; other characters as they are).
std::string Startup_FormatNow(const std::string& mask);

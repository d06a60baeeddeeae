// The process-wide paths and options settled at start-up (ParseCommandLine and
// Startup_SetProgramFile in shell/core/Startup.h fill them). They live on the bottom floor
// so that the catalogue, the update worker and CloseThread read them without reaching up
// to the start-up sequence.
#pragma once
#include <cstdint>
#include <string>

extern std::string AppPath;           // folder of the program file, trailing '/'
extern std::string PlugInPath;        // AppPath + "PlugIn/"
extern std::string DataPath;          // storage folder; the current folder after ParseCommandLine
extern std::string AppName;           // "Orvalis", or "Orvalis-Portable"
extern std::string DefaultPath;       // default OPML folder
extern std::string TmpPagePath;       // "Orvalis-Tmp.htm"
extern std::string ThreadTmpPagePath; // "Orvalis-ThreadTmp.htm"
extern std::string StartOpmlFile;     // OPML file given on the command line, or ""
extern int32_t PortableMode, CheckUsbClose, DBBaseMode, ConvertMode, NoSaveItems;

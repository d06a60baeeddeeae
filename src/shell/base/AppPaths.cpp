#include "shell/base/AppPaths.h"

std::string AppPath, PlugInPath, DataPath, AppName = "Orvalis", DefaultPath;
std::string TmpPagePath = "Orvalis-Tmp.htm";
std::string ThreadTmpPagePath = "Orvalis-ThreadTmp.htm";
std::string StartOpmlFile;
int32_t PortableMode = 0, CheckUsbClose = 0, DBBaseMode = 0, ConvertMode = 0, NoSaveItems = 0;

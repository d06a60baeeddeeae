// Storage behind the language functions; only the language modules include this.
#pragma once
#include <string>
#include <unordered_map>

#include "shell/core/LngEntries.h"

struct LngGlobals {
    std::string AppLanguage;
    std::unordered_map<int, std::string> TranslationList;
};
LngGlobals& Lng_Globals();

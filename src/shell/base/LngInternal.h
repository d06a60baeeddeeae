// Storage behind the language functions; only the language modules and their tests
// include this.
#pragma once
#include <string>
#include <unordered_map>

#include "shell/base/LngEntries.h"
#include "shell/base/LngTable.h"

struct LngGlobals {
    std::string AppLanguage;
    std::unordered_map<int, std::string> TranslationList;
};
LngGlobals& Lng_Globals();

// LoadLanguage over any table: walks `table` until its pair of two empty strings; when
// that pair is not at position `expectedEnd` the language is cleared again.
void Lng_LoadWithTable(const LngTableEntry* table, int expectedEnd, const std::string& language,
                       const std::string& folder);

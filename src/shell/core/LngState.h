// The loaded translation: the current language and its translated entries.
#pragma once
#include <string>

#include "shell/core/LngEntries.h"

// The current language name (empty: French, the built-in texts).
const std::string& Lng_CurrentLanguage();
// True and the text when the current language translates the entry.
bool Lng_Translation(LngEntry entry, std::string& text);

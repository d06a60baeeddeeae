// The loaded translation: the current language, its translated entries, and the
// language files that carry them ("Lang/<language>.Txt" beside the program).
#pragma once
#include <string>
#include <vector>

#include "shell/base/LngEntries.h"

// The current language name (empty: French, the built-in texts).
const std::string& Lng_CurrentLanguage();
// True and the text when the current language translates the entry.
bool Lng_Translation(LngEntry entry, std::string& text);
// Back to French: no language, no translation.
void Lng_Reset();

// Loads folder + language + ".Txt" (folder with or without its trailing separator).
// An empty language does nothing. A missing file leaves no translation but keeps the
// language name, so every text shows in French. An empty value keeps the French text.
void LoadLanguage(const std::string& language, const std::string& folder);

// Writes folder + language + ".Txt" listing every entry with a key, in table order:
// the current translation, or the French text followed by " (Fr)"; line breaks are
// written "%w%". Creates the folder. False (and "! " logged) when nothing was written.
bool UpdateLanguageFile(const std::string& folder, const std::string& language);

// The same for any language, keeping the translations already in its file, while the
// current language and its texts stay as they are (preferences button, tool).
bool UpdateLanguageFileFor(const std::string& folder, const std::string& language);

struct LanguageChoice {
    std::string Label;    // what the list shows
    std::string Language; // the language name; empty for the built-in French
};
// The language choice of the preferences: "Français (Par défaut)" first, then one item
// per "*.Txt" file of the folder (sorted, without extension). `selected` receives the
// position of `current` (0 when it is not there).
std::vector<LanguageChoice> FillLanguageList(const std::string& folder, const std::string& current,
                                             int& selected);

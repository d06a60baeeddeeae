// Configuration files: the whole configuration (preferences and feed catalogue, and in
// the archive form the article files) written to one file to be loaded elsewhere.
// ".OVC" is a preferences file followed by the catalogue; ".OVCZ" is a ZIP archive
// (ConfigZip.h).
//
// A load is all or nothing: the file is read whole and checked first, and the
// preferences, the catalogue and the articles are replaced only once all of it was read.
#pragma once
#include <map>
#include <string>

// The comment a ".OVC" file begins with.
inline constexpr const char* CONFIG_COMMENT = "Config Orvalis " ORVALIS_VERSION;

// What a configuration file brings, read whole and checked, before anything is replaced.
struct ConfigContent {
    bool HasPrefs = false;
    bool HasCatalogue = false;
    std::string Prefs;     // bytes of a preferences file
    std::string Catalogue; // bytes of a catalogue file
    // Article files: lower-cased file name (no folder) → bytes.
    std::map<std::string, std::string> Feeds;
};

// `file` with its extension replaced by (or given) `extension` ("OVC", "OVCZ").
std::string Config_ForceExtension(const std::string& file, const std::string& extension);

// Writes the ".OVC" file: the comment, every preference, then the catalogue, through a
// ".Tmp" twin renamed when complete. 1 written; 0 failed (nothing left under `file`).
int ConfigSave_To(const std::string& file);
// Reads and checks a ".OVC" file: it must name the program's version in its first lines.
// 1 with `out` filled; 0 (logged) otherwise.
int ConfigLoad_Read(const std::string& file, ConfigContent& out);
// Loads a ".OVC" file (ConfigLoad_Read then Config_Apply). Nonzero on success.
int ConfigLoad(const std::string& file);

// Replaces the catalogue (the articles of each feed then come from the content, else
// from its file in "Feeds/"), the preferences, and the articles of the feeds whose file
// the content holds. Nothing changes when it fails. The caller saves the catalogue and
// refreshes what shows them. 1 on success.
int Config_Apply(const ConfigContent& content);

#include "shell/base/LngState.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/IniFile.h"
#include "shell/base/Lng.h"
#include "shell/base/LngInternal.h"
#include "shell/base/Log.h"

LngGlobals& Lng_Globals() {
    static LngGlobals g;
    return g;
}

const std::string& Lng_CurrentLanguage() {
    return Lng_Globals().AppLanguage;
}

bool Lng_Translation(LngEntry entry, std::string& text) {
    LngGlobals& g = Lng_Globals();
    if (g.AppLanguage.empty()) return false;
    const auto it = g.TranslationList.find(entry);
    if (it == g.TranslationList.end()) return false;
    text = it->second;
    return true;
}

void Lng_Reset() {
    LngGlobals& g = Lng_Globals();
    g.AppLanguage.clear();
    g.TranslationList.clear();
}

static std::string LanguageFilePath(const std::string& folder, const std::string& language) {
    std::string path = ToNativeSeparators(folder);
    if (!path.empty() && !IsPathSeparator(path.back())) path += '/';
    return path + language + ".Txt";
}

// The file syntax trims values, so a text that begins or ends with spaces (" activé !",
// "Nom ") would lose them through a language file and run into its neighbour once
// joined; the French text's outer spaces are given back to a translation that lost them.
static std::string KeepOuterSpaces(const std::string& french, std::string value) {
    const size_t lead = french.find_first_not_of(' ');
    if (lead == std::string::npos) return value;
    // The untranslated marker stays last: the spaces belong before it.
    static const std::string marker = " (Fr)";
    std::string tail;
    if (value.size() > marker.size() &&
        value.compare(value.size() - marker.size(), marker.size(), marker) == 0) {
        tail = marker;
        value.resize(value.size() - marker.size());
    }
    if (lead > 0 && value.front() != ' ') value.insert(0, french.substr(0, lead));
    const size_t trail = french.size() - 1 - french.find_last_not_of(' ');
    if (trail > 0 && value.back() != ' ') value.append(trail, ' ');
    return value + tail;
}

// The value of the key's occurrence number `nth` (from 0), or of its first occurrence when
// the file holds fewer. A key that two entries share is written twice by
// UpdateLanguageFile; reading each line back for its own entry keeps both texts through a
// round trip, while a file holding the key once gives both entries the same value.
static std::string ReadNthValue(const IniReader& file, const char* key, int nth) {
    const IniEntry* first = nullptr;
    int count = 0;
    for (const IniEntry& e : file.Groups()[0].Entries) {
        if (!EqualsNoCase(e.Key, key)) continue;
        if (!first) first = &e;
        if (count++ == nth) return e.Value;
    }
    return first ? first->Value : std::string();
}

void Lng_LoadWithTable(const LngTableEntry* table, int expectedEnd, const std::string& language,
                       const std::string& folder) {
    if (language.empty()) return;
    LngGlobals& g = Lng_Globals();
    g.TranslationList.clear();
    IniReader file;
    file.Open(LanguageFilePath(folder, language)); // a missing file reads as empty
    std::unordered_map<std::string, int> seen;
    int i = 0;
    for (; *table[i].Key || *table[i].FrenchText; ++i) {
        if (!*table[i].Key) continue;
        const std::string value =
            ReadNthValue(file, table[i].Key, seen[AsciiLower(table[i].Key)]++);
        if (!value.empty()) g.TranslationList[i] = KeepOuterSpaces(table[i].FrenchText, value);
    }
    g.AppLanguage = language;
    // A table that does not end where the entries end would pair texts with the wrong
    // entries: French is safer than a shifted translation.
    if (i != expectedEnd) {
        g.AppLanguage.clear();
        g.TranslationList.clear();
    }
}

void LoadLanguage(const std::string& language, const std::string& folder) {
    Lng_LoadWithTable(LngTable, L_Count, language, folder);
}

bool UpdateLanguageFile(const std::string& folder, const std::string& language) {
    if (language.empty()) return false;
    const std::string path = LanguageFilePath(folder, language);
    if (!folder.empty()) Dir_Create(ToNativeSeparators(folder));
    Log("* Update Language file " + path);
    IniWriter file;
    file.Comment("Language file for ");
    file.Comment("Orvalis " ORVALIS_VERSION);
    file.Comment("");
    file.Comment("Text to translate is followed by (Fr)");
    for (int i = 0; i < L_Count; ++i) {
        const LngEntry entry = static_cast<LngEntry>(i);
        if (!*LngTable[i].Key) continue;
        // Every placeholder survives as itself. Dropping "%s4%" here would leave the
        // translator a text that can no longer show its fourth parameter.
        std::string value = Lng(entry, "%s1%", "%s2%", "%s3%", "%s4%");
        std::string unused;
        if (!Lng_Translation(entry, unused)) value += " (Fr)";
        value = ReplaceAll(value, "\r\n", "%w%");
        file.WriteString(LngTable[i].Key, value);
    }
    if (!file.SaveAtomic(path)) {
        Log("! Error, can't write " + path);
        return false;
    }
    Log("Done");
    return true;
}

bool UpdateLanguageFileFor(const std::string& folder, const std::string& language) {
    if (language.empty()) return false;
    LngGlobals& g = Lng_Globals();
    const LngGlobals current = g;
    Lng_Reset();
    if (File_Exists(LanguageFilePath(folder, language))) LoadLanguage(language, folder);
    // A missing or unusable file still names the language: every text is then written
    // in French with its marker.
    g.AppLanguage = language;
    const bool ok = UpdateLanguageFile(folder, language);
    g = current;
    return ok;
}

std::vector<LanguageChoice> FillLanguageList(const std::string& folder, const std::string& current,
                                             int& selected) {
    std::vector<LanguageChoice> list{{"Français (Par défaut)", ""}};
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& it : std::filesystem::directory_iterator(ToNativeSeparators(folder), ec)) {
        if (!it.is_regular_file(ec)) continue;
        const std::string file = it.path().filename().string();
        if (file.size() > 4 && EndsWithNoCase(file, ".txt"))
            names.push_back(file.substr(0, file.size() - 4));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return Utf8Lower(a) < Utf8Lower(b);
    });
    selected = 0;
    for (const std::string& name : names) {
        if (!current.empty() && EqualsNoCase(name, current))
            selected = static_cast<int>(list.size());
        list.push_back({name, name});
    }
    return list;
}

#include "shell/core/LngState.h"

#include "shell/core/LngInternal.h"

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

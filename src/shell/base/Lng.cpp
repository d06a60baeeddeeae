#include "shell/base/Lng.h"

#include "platform/core/Text.h"
#include "shell/base/LngTable.h"
#include "shell/base/LngState.h"

std::string Lng(LngEntry entry, std::string_view s1, std::string_view s2, std::string_view s3,
                std::string_view s4) {
    if (entry < 0 || entry >= L_Count) return {};
    std::string text;
    if (!Lng_Translation(entry, text)) text = LngTable[entry].FrenchText;
    // Replaced in order in the growing text, so a parameter holding "%s2%" is itself
    // substituted when "%s2%" comes.
    text = ReplaceAllNoCase(text, "%w%", "\r\n");
    text = ReplaceAllNoCase(text, "%s1%", s1);
    text = ReplaceAllNoCase(text, "%s2%", s2);
    text = ReplaceAllNoCase(text, "%s3%", s3);
    text = ReplaceAllNoCase(text, "%s4%", s4);
    return text;
}

const char* Lng_Key(LngEntry entry) {
    return (entry >= 0 && entry < L_Count) ? LngTable[entry].Key : "";
}

const char* Lng_French(LngEntry entry) {
    return (entry >= 0 && entry < L_Count) ? LngTable[entry].FrenchText : "";
}

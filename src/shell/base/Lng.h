// Every user-interface text goes through Lng: the entry's translation when a language
// is loaded, else its French text, with "%w%" (line break) and "%s1%".."%s4%" filled in.
#pragma once
#include <string>
#include <string_view>

#include "shell/base/LngEntries.h"

std::string Lng(LngEntry entry, std::string_view s1 = {}, std::string_view s2 = {},
                std::string_view s3 = {}, std::string_view s4 = {});
// The key of an entry (empty for the one untranslatable entry).
const char* Lng_Key(LngEntry entry);
// The French text of an entry, untouched.
const char* Lng_French(LngEntry entry);

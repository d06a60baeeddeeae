// The check for a newer version: the update page (preference "CheckVersionURL") names
// the latest version after the marker "version :"; it is compared with this program's.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// The compared part of a version text: its first two "."-separated fields, each read as
// a whole number (1.10 is newer than 1.9; the fields after the second do not count).
struct VersionNumber {
    int64_t Major = 0;
    int64_t Minor = 0;
};
VersionNumber Version_Value(std::string_view text);
// "major.minor".
std::string Version_ValueText(VersionNumber v);
bool Version_IsNewer(VersionNumber remote, VersionNumber local);

// The version text of an update page: the page lower-cased, the 50 characters from
// "version :", what follows the first ":" up to the next ":", "<" or line break, trimmed,
// every "," made ".". "" when the page holds no marker.
std::string UpdatePage_VersionText(std::string_view page);

enum : int {
    CHECKVERSION_NEWER = 0,
    CHECKVERSION_SAME = 1,
    CHECKVERSION_NO_NETWORK = 2,  // "Aucun réseau internet trouvé"
    CHECKVERSION_NOT_REACHED = 3, // the page could not be downloaded
    CHECKVERSION_NO_TEMP = 4,     // the downloaded copy could not be read
};
struct CheckVersionResult {
    int Status = CHECKVERSION_NOT_REACHED;
    std::string Remote; // the remote version text
    VersionNumber Value;
};
// Downloads `url` into "Orvalis.txt" in a private folder of the system's temporary folder
// (deleted once read), reads the version and compares it with this program's. Blocks
// for the download.
CheckVersionResult CheckNewVersion_Run(const std::string& url);

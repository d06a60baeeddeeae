// The ".OVCZ" configuration archive: a ZIP archive (deflate) holding "ListRSSU.Ini",
// "Orvalis.ini" and, when asked, every "Feeds/*.Txt" article file of the data folder.
//
// Archives are other people's files: only the entry names above are taken, every entry
// is size-checked while it is inflated, and nothing is ever written from an archive
// outside the data folder.
#pragma once
#include <string>

#include "shell/core/ConfigFile.h"

// Limits on what a load takes from an archive.
inline constexpr long long CONFIGZIP_MAX_INI = 16LL << 20;    // "Orvalis.ini", "ListRSSU.Ini"
inline constexpr long long CONFIGZIP_MAX_FEED = 64LL << 20;   // one article file
inline constexpr long long CONFIGZIP_MAX_TOTAL = 512LL << 20; // everything taken
inline constexpr long long CONFIGZIP_MAX_ENTRIES = 100000;
// What all entries together may inflate to: this many times the archive's size (at
// least 1 MB, at most CONFIGZIP_MAX_TOTAL).
inline constexpr long long CONFIGZIP_MAX_RATIO = 200;

// Writes the archive of the data folder (the current folder) through a ".Tmp" twin
// renamed when complete: the two files when they exist and are not empty, and with
// `withFeeds` every "Feeds/*.Txt". 1 written; 0 failed (nothing left under `file`).
int ConfigZip_SaveTo(const std::string& file, int withFeeds);
// Reads and checks the whole archive into `out`, writing nothing. Refused (0, logged):
// an unreadable or truncated archive, an entry with an absolute path, a ".." component,
// a link or device, an encrypted entry, an entry over its size limit or inflating the
// whole past CONFIGZIP_MAX_RATIO times the archive's size, a repeated name,
// and an archive holding neither "Orvalis.ini" nor "ListRSSU.Ini". Unknown plain entries
// are skipped and logged; article entries are taken only with `withFeeds`.
int ConfigZip_Read(const std::string& file, int withFeeds, ConfigContent& out);
// ConfigZip_Read then Config_Apply. 1 on success; 0 with nothing changed.
int ConfigZip_Load(const std::string& file, int withFeeds);

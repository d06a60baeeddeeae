// The article files: one text file per feed in "Feeds/", read at start-up, written by the
// automatic save and at exit, cleaned of orphans at exit.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"

// The folder of the article files, relative to the data folder (the current directory).
inline constexpr const char* FEEDS_FOLDER = "Feeds/";

// What the store reads from the preferences; the shell fills it. The start-up options
// `NoSaveItems` ("-nosavexml") and `DBBaseMode` (feed bank mode) are read where they live.
struct ItemStoreSettings {
    int32_t IntervalFeedToSave = 10; // preference: minutes between automatic saves
};
ItemStoreSettings& ItemStore_Settings();

// Removes every U+0011, then turns CR LF, then LF, then CR into U+0011 (one line per value).
std::string EscapeText(std::string_view text);
// Turns each U+0011 back into LF.
std::string UnescapeText(std::string_view text);

// The file's whole text for this feed (header, then the article blocks of an article feed).
std::string Feed_ItemsText(const Rss& feed);
// Writes the feed's file through a ".Tmp" twin and a rename, unless the feed is unchanged
// and its file exists with a size above 0. Returns 1 when the file is up to date, 0 when
// the write failed: the old file is then intact and the feed stays marked changed.
int Feed_WriteItems(Rss& feed);
// Loads the feed's file (or its ".Tmp" twin when the file itself is missing) into its
// Items. Returns the number of articles added; 0 when there is no file.
int Feed_ReadItems(Rss& feed);
// The same from a file's bytes already in memory (a configuration archive); `source`
// names them in the log.
int Feed_ReadItemsText(Rss& feed, std::string_view data, const std::string& source);
// Writes every changed feed; clears ItemsChanged of each feed written and AppState bit 4
// when all were. With NoSaveItems nothing is written and the marks are cleared.
// Returns the number of feeds whose write failed.
int Feed_Save();
// Loads every feed's file at start-up (nothing in feed bank mode). Returns the count.
int Feed_Read();
// At exit: deletes the older XML store and every file of "Feeds/" that belongs to no
// feed. Does nothing in feed bank mode, with NoSaveItems or with an empty catalogue, and
// keeps the older store while a feed could not be saved. Returns the number deleted.
int Feed_CleanFiles();
// Called once a second with 0, and with 1 after start-up: counts down and saves when the
// interval has passed and something changed.
void AutoSaveFeeds(int resetOnly);

// Dates in the stored form "%yyyy/%mm/%dd %hh:%ii" (seconds on the local wall clock).
std::string StoreDate_Format(int32_t date);
// The date of a text in that form; 0 when it does not follow it.
int32_t StoreDate_Parse(std::string_view text);

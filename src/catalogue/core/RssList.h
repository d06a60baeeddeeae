// The feed catalogue: the global list `RssList` (catalogue/core/Records.h), its file
// "ListRSSU.Ini", the invariants every record keeps (unique address, identifier, file
// name, defaults and bounds), sorting and the active-feed limit.
//
// Everything here runs on the interface thread; the update worker reads records under
// its own lock.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"

// The catalogue's file in the data folder.
inline constexpr const char* CATALOGUE_FILE = "ListRSSU.Ini";
// The group a feed without one belongs to.
inline constexpr const char* DEFAULT_GROUP = "Flux";

// What the catalogue reads from the preferences and the start-up options. The shell
// fills it once the preferences are loaded; the defaults are those of a fresh install.
struct CatalogueSettings {
    int32_t MaxRss = 150;    // preference "MaxRss": active article feeds, 1..400
    bool DBBaseMode = false; // option "-dbbasemode": the catalogue is the feed bank
    // Feed bank mode only: fill RssList from the bank file / write it back. Installed by
    // the feed bank module; without them bank mode loads and saves nothing.
    std::function<bool()> BankLoad;
    std::function<bool()> BankSave;
};
CatalogueSettings& Catalogue_Settings();

// Loads `file` into RssList (cleared first), cleaning and bounding every value. When
// `file` is missing and its twin `file + ".Tmp"` exists (a save that died after removing
// the main file), the twin is loaded; a twin beside an existing main file is a save that
// died while writing and is ignored (logged). Returns nonzero when a file was opened.
int RssList_Load(const std::string& file);
// Writes the whole catalogue to `file` through its ".Tmp" twin (write, flush to disk,
// rename). Returns nonzero on success; on failure the previous file is intact.
int RssList_DirectSave(const std::string& file);
// Appends the catalogue text (header comments and one block per feed, CR LF lines, no
// byte-order mark) to `out`. Also used by the configuration export.
void RssList_Write(std::string& out);

// Adds a copy of `record` at the end: 1 added (the new element is current), -1 refused
// because a feed with the same address (ignoring case) exists, 0 no memory. Assigns the
// identifier and the article file name, normalises the kind and the bounded fields. An
// ExtractAs that is not one plain file name (an extractor is run from the plug-in folder
// under it) is logged and becomes "RssV2".
int RssList_Add(const Rss& record);
// A fresh feed identifier, above 10000 and held by no record.
int32_t NewRssID();
// Sorts by group (case-insensitive), then name.
void RssList_Sort();
// Disables the article feeds beyond the "MaxRss" limit, in list order. Returns the
// number of activations left (0 when the limit is reached).
int RssList_CheckActiveLimit();
// major * 100 + minor of the program version named in the file's first two lines
// ("; Orvalis 1.10..." gives 110); 0 when the file cannot be read or names none.
int CatalogueFileVersion(const std::string& file);
// Makes the feed at `rssPos` current (rssPos < 0: cursor before the first) and, in it,
// the article at `itemPos` (< 0: its cursor before the first). A position out of range is
// a program error and logged as fatal.
void Select_RssList(long rssPos, long itemPos);

// Article feeds keep an article file and count against the active limit: ExtractAs empty,
// "Atom", "RDF", "RssV2" or an extractor ("OV-...").
bool IsArticleFeed(const Rss& rss);
// The kind a record gets when it enters the list: unknown values become 0, then ExtractAs
// "NetRadio" / "OV-YouTube.exe" / "OV-DailyMotion" give 8 / 64 / 128.
int32_t NormaliseContentRss(int32_t content, std::string_view extractAs);
// The cleaning of names, addresses, groups and descriptions read from files: character
// references decoded, characters 1 to 31 removed, no-break spaces made spaces, trimmed.
std::string Catalogue_CleanText(std::string_view text);

// Gives `feed` (an element of RssList) a file name for its articles in "Feeds/" that no
// other feed uses: the current one when free, else the address's host (without "www.")
// + ".Txt", then host + "-1.Txt", "-2.Txt", ... Leaves the catalogue cursor on `feed`.
void Feed_AssignFileName(Rss& feed);
// Nonzero when a feed with another identifier than `rssID` has the article file `name`
// (compared ignoring case).
int ItemsFile_NameUsed(std::string_view name, int32_t rssID);
// The host part of an address: no scheme, credentials, path, query or port.
std::string Url_Host(std::string_view url);

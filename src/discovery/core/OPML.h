// OPML files: reading the feed outlines of a file into a feed list, and writing a feed
// list as the program's own OPML document. Files come from anywhere: reading streams the
// document through expat (no tree is built, no external entity is loaded, expat's
// entity-amplification protection stays at its defaults) and bounds the file size and the
// number of feeds kept.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"

// The largest OPML file read, and the most feeds one file may add.
inline constexpr long long OPML_MAX_FILE_BYTES = 128LL * 1024 * 1024;
inline constexpr size_t OPML_MAX_FEEDS = 200000;

// Kind tests on a feed's `ExtractAs`: an extractor ("ov-..." in any case); a built-in
// feed format ("atom", "rdf", "rssv2" in any case); a radio ("netradio" in any case).
bool IsPlugInType(std::string_view type);
bool IsFeedFormat(std::string_view type);
bool IsNetRadio(std::string_view type);
// The same tests on the current catalogue feed (false when there is none).
bool IsPlugInType();
bool IsFeedFormat();
bool IsNetRadio();

// Values taken from an OPML file. OPML_CleanText: line-break tags, character references
// and tags resolved, then every control character (line breaks included, which the
// catalogue file cannot hold) made a blank, no-break spaces made blanks, trimmed.
// OPML_CleanUrl: control characters removed, no-break spaces made blanks, trimmed.
std::string OPML_CleanText(std::string_view text);
std::string OPML_CleanUrl(std::string_view text);

// One outline's attributes as (name, value) pairs in document order.
struct OpmlAttribute {
    std::string Name;
    std::string Value;
};
// Reads one outline into a new feed record appended to `list` with `group`: 1 when the
// outline had a non-empty "xmlurl" (attribute names compared in lower case), else 0.
int ReadOutline(const OpmlAttribute* attributes, size_t count, const std::string& group,
                CursorList<Rss>& list);

// Outcome of OPML_ReadFile.
enum OpmlReadStatus : int {
    OPML_READ_OK = 0,
    OPML_READ_MISSING = 1, // no such file (nor with the extension "Opml")
    OPML_READ_INVALID = 2, // still malformed after the repair, or not readable
};
// Reads the file `file` (when missing, the same name with the extension "Opml") and
// appends one record per feed outline to `list`: body-level outlines with an "xmlurl"
// are feeds of the group "Import"; other body-level outlines are groups whose direct
// outline children are read; deeper levels are not visited. A document expat refuses
// goes through the repair feeds get (logged the same way); when it is still malformed
// nothing is appended. `status` (optional) receives the outcome; `usedFile` (optional)
// the name actually read. Returns the list's new size.
size_t OPML_ReadFile(const std::string& file, CursorList<Rss>& list, int* status = nullptr,
                     std::string* usedFile = nullptr);
// The same from bytes already in memory (`name` only names them in the log).
size_t OPML_ReadBytes(std::string_view bytes, const std::string& name, CursorList<Rss>& list,
                      int* status = nullptr);

// The program's OPML document for `list` (UTF-8): version 1.1, a head titled "Orvalis"
// dated `dateCreated`, one group outline each time the group changes (ignoring case),
// one feed outline per feed. Extractor feeds are never written. Texts are escaped, and
// characters XML cannot carry are dropped.
std::string OPML_Document(const CursorList<Rss>& list, const std::string& dateCreated);
// Writes OPML_Document (dated now) to `file` through its ".Tmp" twin and a rename. 1 on
// success, 0 when the file cannot be written (the old file is left as it was).
int OPML_WriteFile(const CursorList<Rss>& list, const std::string& file);
// "file" with ".Opml" appended unless its extension is already "opml" (any case).
std::string OPML_FileName(const std::string& file);
// The file name an exported group gets: the name without ":", "?" and "*", cleaned as an
// address; "Group" + counter when that is no valid file name.
std::string OPML_GroupFileName(const std::string& group, int counter);

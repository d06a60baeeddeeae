// The feed bank file "OrvalisU.Dat": a header line "Orvalis:" + the bank date, then one
// line per feed of ten fields, each followed by the separator U+0011 (Url, Name, Group,
// ExtractAs, Language, Description, the date the entry entered the bank "%yyyy/%mm/%dd",
// ContentRss, FormatExtractText, LastBuildDate "%yyyy/%mm/%dd").
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"

inline constexpr const char* BANK_FILE = "OrvalisU.Dat";
// The bank date an entry without a readable one gets: 2010-12-25 00:00:00.
int32_t DBRss_DefaultDate();

// Reads one bank line into `feed` (bank date in `ItemsChanged`); false when the line has
// no address.
bool DBRss_ReadLine(std::string_view line, Rss& feed);
// The bank line of a feed (without line end).
std::string DBRss_Line(const Rss& feed);
// Appends the entries of `file` to `list`; returns the number read. A leading byte-order
// mark means UTF-8; without one, text that is valid UTF-8 is read as such, anything else
// in the Windows code page. Lines end with LF or CR LF. Logs the time, or the error when
// the file cannot be opened.
int DBRss_Read(const std::string& file, CursorList<Rss>& list);
// Writes RssList as the bank file `file` (default "OrvalisU.Dat") through its twin:
// UTF-8 with a byte-order mark, CR LF lines, the header dated now, extractor feeds never
// written. 1 on success, 0 when not written (logged; the old file stays).
int DBRss_Save(const std::string& file = BANK_FILE);
// Writes `list` as a bank file (same form as DBRss_Save, header dated now) through its
// twin; 1 on success, 0 when not written (the old file stays). Does not log.
int DBRss_WriteList(const CursorList<Rss>& list, const std::string& file);
// The bank date of `file`'s header line ("Orvalis:" + "%yyyy/%mm/%dd %hh:%ii"); 0 when
// missing or unreadable. `isBank` (optional) tells whether the first line is a header.
int32_t DBRss_HeaderDate(const std::string& file, bool* isBank = nullptr);
// The local time now as a date value.
int32_t DBRss_Now();
// Makes the catalogue load from and save to the bank file in feed-bank mode.
void FeedBank_Install();

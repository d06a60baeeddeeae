// The item lines an extractor writes on its standard output, and the run's dates.
// Item texts are Windows-1252 bytes; the output is UTF-16LE, each line ended by CR LF.
#pragma once
#include <ctime>
#include <string>
#include <string_view>

struct FeedItem {
    std::string AudioLink;
    std::string Description;
    std::string GuID;
    std::string Link;
    std::string PubDate;
    std::string Title;
};

// Where WriteLine writes (standard output; the tests point it at a file).
extern int ExtractorOutputFd;

// How WriteItem treats the fields of this program's items.
struct WriterOptions {
    bool ItemDates = false;     // PubDate from the item (else the run date for every item)
    bool SqueezeSpaces = false; // CleanOutputValue also folds runs of spaces
};
void Writer_Configure(const WriterOptions& options);

// Local time formatted with a mask: "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss";
// every other character stands for itself.
std::string FormatLocalDate(std::time_t t, std::string_view mask);
// Takes the run date: `now` formatted "%yyyy-%mm-%ddT%hh:00:00Z", kept for the whole run.
void RunDate_Take(std::time_t now);
const std::string& RunDate();
std::time_t RunTime();

// LF -> "<br>", characters 1-31 removed; with `squeezeSpaces` also "  " -> " " until none.
std::string CleanOutputValue(std::string_view text, bool squeezeSpaces);
// Writes text + CR LF as UTF-16LE, then pauses 2 ms. False when the output is closed.
bool WriteLine(std::string_view ansiText);
// Writes "Orvalis", then AudioLink, Description, GuID, Link, PubDate and Title lines.
void WriteItem(const FeedItem& item);

// The CRC-32 of the bytes as an unsigned decimal number (the extractors' GuIDs).
std::string Crc32Decimal(std::string_view bytes);
// A link of the page made absolute against the site's address ("https://host", no final
// "/"): "//host/x" takes "https:", "/x" takes the site, "http(s)://..." stays, anything else
// is appended to the site as it is.
std::string SiteLink(std::string_view site, std::string_view href);

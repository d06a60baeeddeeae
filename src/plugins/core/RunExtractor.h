// The host side of the extractor programs: finding them in the plug-in folder, the feed
// types offered for a new feed, their settings run, and the update run in which one
// extractor turns one downloaded page into items, one "key=value" line at a time on its
// standard output (UTF-16LE).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/Records.h"

// Idle polls of 1 ms an extractor may stay silent before its first line, and after each.
inline constexpr int EXTRACTOR_FIRST_BUDGET = 5000;
inline constexpr int EXTRACTOR_LINE_BUDGET = 2500;
// Bounds on what an extractor may write: one line (bytes as received), the number of
// lines, and everything. Past one the child is ended and the run yields nothing.
inline constexpr size_t EXTRACTOR_MAX_LINE = 1u << 20;
inline constexpr size_t EXTRACTOR_MAX_LINES = 100000;
inline constexpr uint64_t EXTRACTOR_MAX_OUTPUT = uint64_t(64) << 20;

// True when `name` (a bare file name) names an extractor: it begins with "OV-" and its
// extension is "exe", both ignoring case.
bool IsExtractorName(std::string_view name);
// The extractors of `folder` (with or without trailing '/'), in directory order: regular
// files with an extractor name that this user may execute.
std::vector<std::string> Extractor_List(const std::string& folder);
// The "Type de flux" list: "RDF", "RssV2", "Atom", "NetRadio", "OV-DailyMotion", then
// the extractors of `folder`.
std::vector<std::string> FeedType_List(const std::string& folder);
// Starts `folder` + type with the single argument "OpenGUI", without waiting and without
// reading its output; nothing when that file does not exist. The child is reaped without
// the caller's help. 1 when it was started.
int Extractor_OpenSettings(const std::string& folder, const std::string& type);

// The command line of an update run as the Windows launcher receives it: the program in
// double quotes (unless it already begins with one), then the quoted page file and URL.
std::string Extractor_CommandLine(const std::string& program, const std::string& pageFile,
                                  const std::string& url);

// What one run yields, besides the items handed to Item_Commit.
struct ExtractorRun {
    bool Started = false;           // the process could be started
    bool Ended = false;             // it ended on its own (not by the budget)
    std::vector<std::string> Lines; // every line read, in order (U+0011 removed)
    int Items = 0;                  // items Item_Commit kept
    bool OverBound = false;         // the output passed a bound: ended, nothing kept
};

// Runs `program` with the two arguments `pageFile` and `url` (no shell, working folder
// inherited), its standard output on a pipe; reads UTF-16LE lines ended by CR, LF or
// CR LF within the budget (each whole line renews it), ends and reaps a child that
// outlives it, writes past the output bounds (logged; nothing is kept) or meets a stop
// request of the update thread (SIGTERM, then SIGKILL), then applies the key rules to
// what was read: each item goes to Item_Commit (ParsedItems).
ExtractorRun RunExtractor(const std::string& pageFile, const std::string& program,
                          const std::string& url);
// The key rules over lines already read: fields of the item under construction,
// "Orvalis" hands it on, and so does the end. Returns the number of items kept.
int Extractor_ApplyLines(const std::vector<std::string>& lines);
// Decodes UTF-16LE bytes into lines ended by CR, LF or CR LF; the text after the last
// end is a line too when not empty. (What RunExtractor does as the bytes arrive.) Past
// the output bounds the reading stops and `overBound`, when given, is set.
std::vector<std::string> Extractor_SplitUtf16Lines(std::string_view bytes,
                                                   bool* overBound = nullptr);

// The update of an extractor feed on the worker thread: the page at `url` (date
// placeholders filled) downloaded into `pageFile` when the URL has a scheme, then the
// extractor `folder` + `type` run on it. Nothing runs when the program is missing or
// empty, the download failed, or a stop is pending. `startMs` receives the steady-clock
// ms at which the extractor was started (-1 when it was not).
int Extractor_Update(const std::string& folder, const std::string& type, const std::string& url,
                     const std::string& pageFile, int64_t& startMs);

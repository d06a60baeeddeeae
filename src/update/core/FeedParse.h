// Turns a parsed feed document (RSS 2.0, RSS 1.0/RDF, Atom) into article records.
// Runs on an update worker; `ParsedItems` is filled here and handed to the merge when
// the worker ends.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/Records.h"
#include "shell/base/XmlTree.h"

// The items of the feed being processed, in document order. Each thread has its own, so
// that several update workers read feeds at the same time.
extern thread_local std::vector<Item> ParsedItems;

// Each reader walks its document and appends to ParsedItems; returns the feed's newest
// stated date (0 when none). A null document gives 0 and no items.
int32_t Feed_ReadRssV2(XmlDocument* document);
int32_t Feed_ReadRdf(XmlDocument* document);
int32_t Feed_ReadAtom(XmlDocument* document);
// Chooses the reader by the root element ("rss", "rdf:rdf", "feed", any case); -1 when
// the document has none of them.
int32_t Feed_ReadByRoot(XmlDocument* document);

// Bit 1 of the stop mask (a stop of the update thread was asked), read under its lock.
bool IsUpdateStopped();

void Item_Clear(Item& item);
// Keeps an item that has a title or a description, cleans its values, appends a copy to
// ParsedItems; returns false when the item was dropped.
bool Item_Commit(const Item& item);
void Item_SetDate(std::string_view text, Item& item);
void Item_SetEnclosure(Item& item, const std::string& url, int64_t length);
// The first link of an item wins: `current` stays when not empty.
std::string Item_Link(XmlNode* node, const std::string& current);

// "75", "1:15" and "0:01:15" are all 75 seconds; more than two ":" gives 0.
int32_t DurationToSeconds(std::string_view text);
std::string DescriptionToHtml(std::string_view text);
std::string KeepBasicTags(std::string_view text);
std::string TitleToText(std::string_view text);
std::string CleanUrl(std::string_view text);
std::string UnwrapUrl(std::string_view text);
// The address with "%yyyy", "%yy", "%mm", "%dd", "%hh", "%ii", "%ss" filled with the
// local date and time `now` (seconds since 1970, local wall clock).
std::string ExpandUrlDate(std::string_view url, int64_t now);
std::string ExpandUrlDate(std::string_view url);

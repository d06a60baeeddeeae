// From a URL to a parsed XML document, and the recognition of a feed's kind and channel
// information when a feed is added.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "update/net/DownloadTool.h"
#include "shell/base/XmlTree.h"

struct Rss;

// Downloads `url` with the first method of `methods` (";"-separated; empty: the
// "DownloadPriority" list) whose download parses, repaired when needed, as XML
// (IsGoodXML). "WinINet" and "PureHttp" download into memory and leave `file` alone;
// "Pure" and "API" write `file`, which IsGoodXML then reads. `checkXml` makes "WinINet"
// give up after a first block that does not look like XML. Logs one line per method that
// brought no document and one on success. nullptr when no method gave a document, when
// `url` or `file` is empty, or without network. A document over the settings'
// MaxDocumentBytes (counted after decoding) is logged as such and no other method is
// tried: nullptr.
std::unique_ptr<XmlDocument> DownloadXml(const std::string& url, const std::string& file,
                                         uint32_t stopBit, const std::string& methods,
                                         int checkXml);
std::unique_ptr<XmlDocument> DownloadXml(const std::string& url, const std::string& file,
                                         uint32_t stopBit, const std::string& methods, int checkXml,
                                         const DownloadSettings& settings);

// The temporary page file GetRssInfoFromURL downloads into (relative to the data folder).
extern const char* const RssInfo_TmpPagePath;

// Downloads `url` and recognises an RSS 1.0/RDF ("RDF"), RSS ("RssV2" for version 2.x,
// else "") or Atom ("Atom") feed. Returns 0 (no feed, or the download failed), 1 (a
// feed without items) or 2 (a feed with at least one item). When a feed was found, fills
// `feed`: Url, ExtractAs, Name (when setName), Language, Description, LastBuildDate and
// Interval (from an RSS "ttl" of 1 to 4319 minutes). `checkXml`: only "WinINet", giving
// up early on a page that is no XML. In feed bank mode (`bankMode`) the date also takes
// the first item's date into account.
int GetRssInfoFromURL(const std::string& url, Rss& feed, int setName, int checkXml,
                      int bankMode = 0);
int GetRssInfoFromURL(const std::string& url, Rss& feed, int setName, int checkXml, int bankMode,
                      const DownloadSettings& settings);

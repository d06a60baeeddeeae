// Finding feeds: the links of a web page that may be feeds, the check of an address
// (feed, radio stream or nothing), and the checks of many addresses at once, used by the
// discovery in a page and by the verification of imported feeds.
//
// Checks run on worker threads (at most DISCOVERY_PARALLEL at a time); the caller's
// thread polls them and may cancel: every transfer tests the cancel flag several times a
// second, so a cancel ends every check within a second or two. Results stay in the order
// of the addresses given.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/Records.h"
#include "update/net/DownloadTool.h"

inline constexpr int DISCOVERY_PARALLEL = 8;
// Bounds on what a page may make us do.
inline constexpr size_t DISCOVERY_MAX_PAGE_BYTES = 16u * 1024 * 1024;
inline constexpr size_t DISCOVERY_MAX_FEED_BYTES = 8u * 1024 * 1024;
inline constexpr size_t DISCOVERY_MAX_LINKS = 10000;

// The words of the preference "NeededWordInURL": split at ";", trimmed, lower-cased,
// empty ones dropped.
std::vector<std::string> Discovery_FilterWords(std::string_view neededWordInUrl);
// `link` completed against the page address `pageUrl`: "//host/..." takes the page's
// scheme, "/path" the page's scheme and host, "?query" the page's path, any other
// relative link the page's folder; "&amp;" decoded, the fragment dropped. "" for a
// fragment-only link.
std::string Discovery_CompleteLink(std::string_view link, std::string_view pageUrl);
// The candidate links of a page text: every double- or single-quoted value of an "href"
// or "url" attribute (any case), completed, kept when its scheme is "http", "https" or
// "itpc", and (when `words` is not empty) when it contains one of the words ignoring
// case; duplicates (ignoring case) dropped; page order; at most DISCOVERY_MAX_LINKS.
// `found` (optional) receives the number of attribute values seen.
std::vector<std::string> Discovery_CollectLinks(std::string_view page, std::string_view pageUrl,
                                                const std::vector<std::string>& words,
                                                size_t* found = nullptr);

// What a check learnt about an address.
struct FeedProbe {
    int Answer = 0;       // 0 no feed, 1 a feed without items, 2 a feed with items
    bool Radio = false;   // an audio stream or a playlist (.pls, .m3u, or audio bytes)
    bool Stopped = false; // cancelled before an answer: nothing learnt
    Rss Feed;             // Url, ExtractAs, Name, Language, Description, LastBuildDate
};
// Checks one address: a ".pls" or ".m3u" address is a radio without a download;
// otherwise the document is fetched (bounded, stopping at once when the first block is
// audio, a playlist or no markup), repaired like any feed and recognised as RSS 1.0/RDF,
// RSS or Atom. Ends early when `stop` becomes true.
FeedProbe Discovery_Probe(const std::string& url, const std::atomic<bool>& stop,
                          const DownloadSettings& settings);

// Polled on the caller's thread while checks run: (checked, total, found); false cancels.
using DiscoveryPoll = std::function<bool(int checked, int total, int found)>;
// Checks every address, `parallel` at a time (1: one after the other). Returns one probe
// per address, in the same order; cancelled ones have Stopped set.
std::vector<FeedProbe> Discovery_CheckAll(const std::vector<std::string>& urls, int parallel,
                                          const DownloadSettings& settings,
                                          const DiscoveryPoll& poll);

// Outcome of Discovery_FindFeeds.
enum DiscoveryStatus : int {
    DISCOVERY_OK = 0,
    DISCOVERY_DOWNLOAD_ERROR = 1, // "Erreur durant le téléchargement du fichier"
    DISCOVERY_READ_ERROR = 2,     // "Erreur durant la lecture du fichier !"
    DISCOVERY_CANCELLED = 3,
};
// The discovery of a page: downloads `url`, collects its candidate links (filtered by
// `words` when not empty), checks them and appends the feeds and radios found to `out`
// in page order, every one selected. Logs as the discovery command does.
int Discovery_FindFeeds(const std::string& url, const std::vector<std::string>& words, int parallel,
                        const DownloadSettings& settings, const DiscoveryPoll& poll,
                        CursorList<Rss>& out);

// The verification of feeds to import: every feed of a built-in format is checked, and
// one that is not a feed with items moves to ObsoleteGroupName(). Cancelling stops the
// checks; feeds whose check did not finish keep their group. Returns the number moved.
int VerifyFeeds(CursorList<Rss>& list, int parallel, const DownloadSettings& settings,
                const DiscoveryPoll& poll);

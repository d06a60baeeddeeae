// Feed addresses typed by the user: their normal form, video-site page addresses turned
// into the sites' feed addresses, and keyword searches turned into search addresses.
#pragma once
#include <functional>
#include <string>
#include <string_view>

// The video sites' hosts (the first site: channels and searches; the second: user feeds
// and searches).
inline constexpr const char* VIDEO1_HOST = "www.youtube.com";
inline constexpr const char* VIDEO2_HOST = "www.dailymotion.com";

// Trimmed; "http://" put in front of an address that begins with "www" (any case) when the
// text before its first ":" is not "http", "mms", "itpc" or "https"; everything from the
// first "#" on removed.
std::string NormalizeUrl(std::string_view url);

// The accent escapes of search addresses: à ç é è ê ë î ï ô ö ù û ü become their UTF-8
// percent-escapes ("%C3%A9" for é); every other character stays.
std::string AccentEscape(std::string_view word);
// The words of `keywords` (split at spaces, empty ones dropped), escaped, joined by "+".
std::string SearchWords(std::string_view keywords);
// "https://www.youtube.com/results?search_query=" + SearchWords(keywords).
std::string YouTubeSearchUrl(std::string_view keywords);
// "https://www.dailymotion.com/rss/relevance/search/" + SearchWords(keywords).
std::string DailyMotionSearchUrl(std::string_view keywords);

// Whether `url` is a page ConvertVideoUrl looks into: a video page of the second site, or
// any address on the first site's host.
bool IsVideoPageUrl(std::string_view url);
// The feed address for the page text `page` of `url` (see ConvertVideoUrl), or `url`
// unchanged when the page names no channel or user.
std::string ConvertVideoUrl_FromPage(const std::string& url, std::string_view page);
// Page loader: the page's bytes into `out`; false when the download failed.
using PageLoader = std::function<bool(const std::string& url, std::string& out)>;
// For a video-site page address: downloads the page (with `load`, or the download
// methods when none is given) and returns the channel feed (first site: the identifier
// after "?channel_id=", else after `ucid":"`, else after `data-ytid="`, up to the next
// double quote and cut at the first slash) or the user feed (second site: the text after
// `data-user="`); any other address, a failed download or a page naming neither: `url`.
std::string ConvertVideoUrl(const std::string& url, const PageLoader& load = {});

// The user page address for an address of the first site's retired "/feeds/api/users/"
// form, or "" when `url` is not one.
std::string RetiredVideoUserUrl(std::string_view url);

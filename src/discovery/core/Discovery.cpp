#include "discovery/core/Discovery.h"

#include <chrono>
#include <thread>
#include <unordered_set>

#include "article/core/HtmlEntities.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "platform/core/CurlFetch.h"
#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/core/Date.h"
#include "update/net/UrlTools.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

namespace {
long long ElapsedMs(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// The scheme of an address ("" when it has none): letters, digits, "+", "-", "." before
// a ":" that comes before any "/", "?" or "#".
std::string SchemeOf(std::string_view url) {
    for (size_t i = 0; i < url.size(); ++i) {
        const char c = url[i];
        if (c == ':') return i > 0 ? AsciiLower(url.substr(0, i)) : std::string();
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
        if (!ok) return {};
    }
    return {};
}
} // namespace

std::vector<std::string> Discovery_FilterWords(std::string_view needed) {
    std::vector<std::string> words;
    for (const std::string& w : Split(needed, ';')) {
        const std::string t = Utf8Lower(TrimBlanks(w));
        if (!t.empty()) words.push_back(t);
    }
    return words;
}

std::string Discovery_CompleteLink(std::string_view linkIn, std::string_view pageUrl) {
    std::string link = Trim(linkIn);
    if (link.find('&') != std::string::npos) link = ReplaceAllNoCase(link, "&amp;", "&");
    const size_t hash = link.find('#');
    if (hash != std::string::npos) link.erase(hash);
    if (link.empty()) return {};
    if (!SchemeOf(link).empty()) return link;
    const std::string scheme = SchemeOf(pageUrl);
    if (scheme.empty()) return link;
    if (link.compare(0, 2, "//") == 0) return scheme + ":" + link;
    // The page's authority ("scheme://host[:port]") and path without query or fragment.
    const size_t hostStart =
        pageUrl.find("//") == scheme.size() + 1 ? scheme.size() + 3 : scheme.size() + 1;
    size_t pathStart = pageUrl.find_first_of("/?#", hostStart);
    if (pathStart == std::string_view::npos) pathStart = pageUrl.size();
    const std::string origin(pageUrl.substr(0, pathStart));
    std::string path(pageUrl.substr(pathStart));
    const size_t cut = path.find_first_of("?#");
    if (cut != std::string::npos) path.erase(cut);
    if (path.empty()) path = "/";
    if (link[0] == '/') return origin + link;
    if (link[0] == '?') return origin + path + link;
    return origin + path.substr(0, path.rfind('/') + 1) + link;
}

std::vector<std::string> Discovery_CollectLinks(std::string_view page, std::string_view pageUrl,
                                                const std::vector<std::string>& words,
                                                size_t* found) {
    std::vector<std::string> links;
    std::unordered_set<std::string> seen;
    size_t values = 0;
    const std::string lower = AsciiLower(page);
    size_t at = 0;
    // The next of each name, searched again only once passed: a page without one of
    // them is not scanned to its end at every link.
    size_t h = lower.find("href"), u = lower.find("url");
    while (at < lower.size()) {
        if (h != std::string::npos && h < at) h = lower.find("href", at);
        if (u != std::string::npos && u < at) u = lower.find("url", at);
        if (h == std::string::npos && u == std::string::npos) break;
        const bool isHref = u == std::string::npos || (h != std::string::npos && h < u);
        size_t i = isHref ? h + 4 : u + 3;
        at = i;
        while (i < lower.size() &&
               (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '\n' || lower[i] == '\r'))
            ++i;
        if (i >= lower.size() || lower[i] != '=') continue;
        ++i;
        while (i < lower.size() &&
               (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '\n' || lower[i] == '\r'))
            ++i;
        if (i >= lower.size() || (lower[i] != '"' && lower[i] != '\'')) continue;
        const char quote = lower[i];
        const size_t end = lower.find(quote, i + 1);
        if (end == std::string::npos) break;
        at = end + 1;
        ++values;
        if (end - i - 1 > 4096) continue; // no address is that long
        const std::string link = Discovery_CompleteLink(page.substr(i + 1, end - i - 1), pageUrl);
        const std::string scheme = SchemeOf(link);
        if (scheme != "http" && scheme != "https" && scheme != "itpc") continue;
        const std::string key = Utf8Lower(link);
        if (!words.empty()) {
            bool any = false;
            for (const std::string& w : words)
                if (key.find(w) != std::string::npos) any = true;
            if (!any) continue;
        }
        if (!seen.insert(key).second) continue;
        if (links.size() >= DISCOVERY_MAX_LINKS) continue;
        links.push_back(link);
    }
    if (found) *found = values;
    return links;
}

// ---------------------------------------------------------------- one check

namespace {
// Audio bytes or a playlist at the start of a body: what a radio stream sends.
bool LooksLikeAudio(std::string_view b) {
    auto u = [&](size_t i) { return i < b.size() ? static_cast<unsigned char>(b[i]) : 0u; };
    if (b.substr(0, 3) == "ID3" || b.substr(0, 4) == "OggS" || b.substr(0, 4) == "fLaC")
        return true;
    if (StartsWithNoCase(b, "[playlist]") || StartsWithNoCase(b, "#EXTM3U")) return true;
    if (b.substr(0, 4) == "ICY ") return true;
    // An MPEG audio frame or an ADTS (AAC) header: eleven set sync bits.
    return u(0) == 0xFF && (u(1) & 0xE0) == 0xE0 && b.size() >= 4;
}

// Whether a body may be XML: after a byte-order mark and blanks, a "<" (or UTF-16 text).
bool MayBeMarkup(std::string_view b) {
    if (b.size() >= 2 &&
        ((static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xFE) ||
         (static_cast<unsigned char>(b[0]) == 0xFE && static_cast<unsigned char>(b[1]) == 0xFF)))
        return true;
    size_t i = 0;
    if (b.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
    while (i < b.size() && (b[i] == ' ' || b[i] == '\t' || b[i] == '\r' || b[i] == '\n'))
        ++i;
    return i < b.size() && b[i] == '<';
}

// What GetRssInfoFromURL learns from a document: 0, 1 or 2, and the feed's fields.
int Recognise(const XmlDocument& doc, const std::string& url, Rss& feed) {
    int found = 0;
    std::string kind, title, language, description;
    int32_t date = 0;
    int64_t ttl = 0;
    for (const XmlNode* root = doc.Main()->FirstChild; root; root = root->NextSibling) {
        if (root->Type != XML_NODE_ELEMENT) continue;
        const std::string name = AsciiLower(root->Name);
        const XmlNode* channel = nullptr;
        const XmlNode* firstItem = nullptr;
        if (name == "rdf:rdf") {
            kind = "RDF";
            channel = XmlChild(root, "channel", 1);
            language = XmlText(XmlChild(channel, "dc:language", 1));
            description = XmlText(XmlChild(channel, "description", 1));
            firstItem = XmlChild(root, "item", 1);
        } else if (name == "rss") {
            kind = TrimBlanks(XmlAttribute(root, "version", 1)).substr(0, 1) == "2" ? "RssV2" : "";
            channel = XmlChild(root, "channel", 1);
            const XmlNode* lang = XmlChild(channel, "language", 1);
            language = lang ? XmlText(lang) : XmlAttribute(channel, "xml:lang", 1);
            description = XmlText(XmlChild(channel, "description", 1));
            firstItem = XmlChild(channel, "item", 1);
            ttl = ValInt(XmlText(XmlChild(channel, "ttl", 1)));
        } else if (name == "feed") {
            kind = "Atom";
            channel = root;
            language = XmlAttribute(root, "xml:lang", 1);
            description = XmlText(XmlChild(root, "subtitle", 1));
            firstItem = XmlChild(root, "entry", 1);
        } else {
            continue;
        }
        if (const XmlNode* t = XmlChild(channel, "title", 1)) {
            title = XmlText(t);
            date = GetFeedDate(channel, 0);
            found = firstItem ? 2 : 1;
        }
        break;
    }
    if (!found) return 0;
    feed.Url = url;
    feed.ExtractAs = kind;
    feed.Name = CleanHtmlText(CleanFeedTitle(CleanHtmlText(title)));
    feed.Language = Utf8Upper(CleanHtmlText(language));
    if (feed.Language == "FRA") feed.Language = "FR";
    feed.Description = CleanHtmlText(description);
    feed.LastBuildDate = date;
    if (ttl >= 1 && ttl <= 4319) feed.Interval = static_cast<int32_t>(ttl);
    return found;
}

// A short name for a radio address: its last path segment, else its host.
std::string RadioName(const std::string& url) {
    std::string s = url;
    const size_t q = s.find_first_of("?#");
    if (q != std::string::npos) s.erase(q);
    while (!s.empty() && s.back() == '/')
        s.pop_back();
    const size_t scheme = s.find("://");
    const size_t slash = s.rfind('/');
    if (slash != std::string::npos && (scheme == std::string::npos || slash > scheme + 2))
        return Url_PercentDecode(s.substr(slash + 1));
    return scheme == std::string::npos ? s : s.substr(scheme + 3);
}
} // namespace

FeedProbe Discovery_Probe(const std::string& urlIn, const std::atomic<bool>& stop,
                          const DownloadSettings& settings) {
    FeedProbe probe;
    const std::string url = ReplaceAllNoCase(urlIn, "itpc:", "http:");
    const std::string ext = AsciiLower(Url_Extension(url));
    if (ext == "pls" || ext == "m3u") {
        probe.Radio = true;
    } else {
        std::string body;
        bool first = true, tooBig = false;
        CurlFetchOptions options;
        options.UserAgent = settings.NetAgent.empty() ? "Orvalis" : settings.NetAgent;
        options.BlockSize = 16384;
        options.OnBlock = [&](const char* data, size_t n) {
            if (first) {
                first = false;
                const std::string_view block(data, n);
                if (LooksLikeAudio(block)) {
                    probe.Radio = true;
                    return false;
                }
                if (!MayBeMarkup(block)) return false;
            }
            if (body.size() + n > DISCOVERY_MAX_FEED_BYTES) {
                tooBig = true;
                return false;
            }
            body.append(data, n);
            return true;
        };
        options.StopTest = [&stop] { return stop.load(); };
        const CurlResult result =
            CurlFetch_GlobalInit() ? CurlFetch_Get(url, options) : CurlResult::NotStarted;
        if (stop.load() && !probe.Radio && result != CurlResult::Ok) {
            probe.Stopped = true;
            return probe;
        }
        if (!probe.Radio) {
            if (result != CurlResult::Ok || tooBig || body.empty()) return probe;
            std::unique_ptr<XmlDocument> doc =
                IsGoodXML(url, &body, static_cast<int64_t>(body.size()));
            if (doc) probe.Answer = Recognise(*doc, urlIn, probe.Feed);
            return probe;
        }
    }
    probe.Feed.Url = urlIn;
    probe.Feed.ExtractAs = "NetRadio";
    probe.Feed.ContentRss = CONTENT_NETRADIO;
    probe.Feed.Name = RadioName(urlIn);
    return probe;
}

// ---------------------------------------------------------------- many checks

std::vector<FeedProbe> Discovery_CheckAll(const std::vector<std::string>& urls, int parallel,
                                          const DownloadSettings& settings,
                                          const DiscoveryPoll& poll) {
    const size_t n = urls.size();
    std::vector<FeedProbe> results(n);
    if (n == 0) return results;
    std::atomic<bool> stop{false};
    std::atomic<size_t> next{0};
    std::atomic<int> done{0}, found{0}, running{0};
    const int workers = static_cast<int>(std::min<size_t>(n, std::max(parallel, 1)));
    std::vector<std::thread> threads;
    running = workers;
    for (int t = 0; t < workers; ++t) {
        threads.emplace_back([&] {
            for (;;) {
                const size_t i = next.fetch_add(1);
                if (i >= n || stop.load()) break;
                try {
                    results[i] = Discovery_Probe(urls[i], stop, settings);
                } catch (const std::exception& e) {
                    Log(std::string("! Error Discovery_Probe, ") + e.what() + ", " + urls[i]);
                    results[i] = FeedProbe();
                    results[i].Stopped = true;
                }
                if (results[i].Radio || results[i].Answer > 0) ++found;
                ++done;
            }
            --running;
        });
    }
    // The caller's thread keeps its wait box alive and may cancel.
    while (running.load() > 0) {
        if (poll && !stop.load() && !poll(done.load(), static_cast<int>(n), found.load()))
            stop = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(stop.load() ? 5 : 40));
    }
    for (std::thread& t : threads)
        t.join();
    // Addresses never started count as cancelled.
    for (size_t i = next.load(); i < n; ++i)
        results[i].Stopped = true;
    if (poll && !stop.load()) poll(done.load(), static_cast<int>(n), found.load());
    return results;
}

// ---------------------------------------------------------------- the discovery

// Downloads a page, bounded, cancellable through `poll`.
static int FetchPage(const std::string& url, std::string& body, const DownloadSettings& settings,
                     const DiscoveryPoll& poll) {
    std::atomic<bool> stop{false}, finished{false};
    CurlResult result = CurlResult::NotStarted;
    bool tooBig = false;
    std::thread worker([&] {
        try {
            CurlFetchOptions options;
            options.UserAgent = settings.NetAgent.empty() ? "Orvalis" : settings.NetAgent;
            options.OnBlock = [&](const char* data, size_t n) {
                if (body.size() + n > DISCOVERY_MAX_PAGE_BYTES) {
                    tooBig = true;
                    return false;
                }
                body.append(data, n);
                return true;
            };
            options.StopTest = [&stop] { return stop.load(); };
            if (CurlFetch_GlobalInit())
                result = CurlFetch_Get(ReplaceAllNoCase(url, "itpc:", "http:"), options);
        } catch (const std::exception& e) {
            Log(std::string("! Error User_ImportRssOfURL, ") + e.what());
            result = CurlResult::ReadFailed;
        }
        finished = true;
    });
    while (!finished.load()) {
        if (poll && !stop.load() && !poll(0, 0, 0)) stop = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(stop.load() ? 5 : 40));
    }
    worker.join();
    if (stop.load()) return DISCOVERY_CANCELLED;
    if (tooBig) Log("! User_ImportRssOfURL, page cut at " + std::to_string(body.size()) + " bytes");
    if (result != CurlResult::Ok && !tooBig) return DISCOVERY_DOWNLOAD_ERROR;
    return DISCOVERY_OK;
}

int Discovery_FindFeeds(const std::string& url, const std::vector<std::string>& words, int parallel,
                        const DownloadSettings& settings, const DiscoveryPoll& poll,
                        CursorList<Rss>& out) {
    std::string body;
    const int fetched = FetchPage(url, body, settings, poll);
    if (fetched == DISCOVERY_CANCELLED) return fetched;
    if (fetched != DISCOVERY_OK) {
        Log("! Error User_ImportRssOfURL, not downloaded : " + url);
        return DISCOVERY_DOWNLOAD_ERROR;
    }
    const std::string page = PeekPage(&body, static_cast<int64_t>(body.size()), PEEK_DETECT);
    body.clear();
    body.shrink_to_fit();
    if (page.empty()) {
        Log("! Error User_ImportRssOfURL, can't read : " + url);
        return DISCOVERY_READ_ERROR;
    }
    auto start = std::chrono::steady_clock::now();
    size_t values = 0;
    const std::vector<std::string> links = Discovery_CollectLinks(page, url, words, &values);
    Log("- " + std::to_string(values) + " href in " + std::to_string(ElapsedMs(start)) + " ms");
    Log("- Keep " + std::to_string(links.size()) + " href");

    start = std::chrono::steady_clock::now();
    const std::vector<FeedProbe> probes = Discovery_CheckAll(links, parallel, settings, poll);
    const std::string total = std::to_string(links.size());
    bool cancelled = false;
    for (size_t i = 0; i < probes.size(); ++i) {
        const FeedProbe& p = probes[i];
        const std::string n = std::to_string(i + 1);
        if (p.Stopped) {
            cancelled = true;
            continue;
        }
        if (p.Radio) {
            Log("- Found Radio " + n + " of " + total);
        } else if (p.Answer > 0) {
            Log("- Found " + n + " of " + total);
        } else {
            Log("- Bad url " + links[i]);
            continue;
        }
        Rss feed = p.Feed;
        if (feed.Name.empty()) feed.Name = feed.Url;
        feed.ExtractError = SELECT_BIT;
        out.AddLast(std::move(feed));
    }
    Log(" hRef checked in " + std::to_string(ElapsedMs(start)) + " ms");
    return cancelled ? DISCOVERY_CANCELLED : DISCOVERY_OK;
}

int VerifyFeeds(CursorList<Rss>& list, int parallel, const DownloadSettings& settings,
                const DiscoveryPoll& poll) {
    std::vector<std::string> urls;
    std::vector<Rss*> feeds;
    for (Rss& f : list)
        if (IsFeedFormat(f.ExtractAs)) {
            urls.push_back(f.Url);
            feeds.push_back(&f);
        }
    const std::vector<FeedProbe> probes = Discovery_CheckAll(urls, parallel, settings, poll);
    int moved = 0;
    const std::string obsolete = ObsoleteGroupName();
    for (size_t i = 0; i < probes.size(); ++i) {
        if (probes[i].Stopped || probes[i].Answer == 2) continue;
        Log("- VerifyImportedFeeds, no item : " + feeds[i]->Url);
        feeds[i]->Group = obsolete;
        ++moved;
    }
    return moved;
}

#include "discovery/core/FeedUrl.h"

#include "platform/core/Text.h"
#include "shell/base/Log.h"
#include "update/net/DownloadTool.h"

std::string NormalizeUrl(std::string_view urlIn) {
    std::string url = Trim(urlIn);
    const size_t colon = url.find(':');
    const std::string scheme = AsciiLower(colon == std::string::npos ? "" : url.substr(0, colon));
    if (scheme != "http" && scheme != "mms" && scheme != "itpc" && scheme != "https" &&
        StartsWithNoCase(url, "www"))
        url = "http://" + url;
    const size_t hash = url.find('#');
    if (hash != std::string::npos) url.erase(hash);
    return url;
}

std::string AccentEscape(std::string_view word) {
    static const char* const kPairs[][2] = {
        {"à", "%C3%A0"}, {"ç", "%C3%A7"}, {"é", "%C3%A9"}, {"è", "%C3%A8"}, {"ê", "%C3%AA"},
        {"ë", "%C3%AB"}, {"î", "%C3%AE"}, {"ï", "%C3%AF"}, {"ô", "%C3%B4"}, {"ö", "%C3%B6"},
        {"ù", "%C3%B9"}, {"û", "%C3%BB"}, {"ü", "%C3%BC"},
    };
    std::string out(word);
    for (const auto& p : kPairs)
        out = ReplaceAll(out, p[0], p[1]);
    return out;
}

std::string SearchWords(std::string_view keywords) {
    std::string out;
    for (const std::string& w : Split(keywords, ' ')) {
        const std::string t = Trim(w);
        if (t.empty()) continue;
        if (!out.empty()) out += '+';
        out += AccentEscape(t);
    }
    return out;
}

std::string YouTubeSearchUrl(std::string_view keywords) {
    return std::string("https://") + VIDEO1_HOST + "/results?search_query=" + SearchWords(keywords);
}

std::string DailyMotionSearchUrl(std::string_view keywords) {
    return std::string("https://") + VIDEO2_HOST + "/rss/relevance/search/" + SearchWords(keywords);
}

static bool OnFirstSite(std::string_view url) {
    return FindNoCase(url, std::string("://") + VIDEO1_HOST + "/") != std::string::npos ||
           FindNoCase(url, "://youtube.com/") != std::string::npos;
}
static bool OnSecondSiteVideo(std::string_view url) {
    return FindNoCase(url, "dailymotion.com/video/") != std::string::npos;
}

bool IsVideoPageUrl(std::string_view url) {
    return OnFirstSite(url) || OnSecondSiteVideo(url);
}

// The text after `marker` (found ignoring case) up to the next double quote; "" when absent.
static std::string After(std::string_view page, std::string_view marker) {
    const size_t at = FindNoCase(page, marker);
    if (at == std::string::npos) return {};
    const size_t from = at + marker.size();
    const size_t end = page.find('"', from);
    if (end == std::string::npos) return {};
    return std::string(page.substr(from, end - from));
}

// A content attribute that names the second site.
static bool NamesSecondSite(std::string_view page) {
    for (size_t at = FindNoCase(page, "content=\""); at != std::string::npos;
         at = FindNoCase(page, "content=\"", at + 9)) {
        const size_t from = at + 9;
        const size_t end = page.find('"', from);
        if (end == std::string::npos) break;
        if (FindNoCase(page.substr(from, end - from), "dailymotion") != std::string::npos)
            return true;
    }
    return false;
}

std::string ConvertVideoUrl_FromPage(const std::string& url, std::string_view page) {
    if (OnSecondSiteVideo(url)) {
        if (!NamesSecondSite(page)) return url;
        const std::string user = Trim(After(page, "data-user=\""));
        if (user.empty() || user.find_first_of("/?#<> ") != std::string::npos) return url;
        return std::string("https://") + VIDEO2_HOST + "/rss/user/" + user + "/";
    }
    if (OnFirstSite(url)) {
        for (const char* marker : {"?channel_id=", "ucid\":\"", "data-ytid=\""}) {
            std::string id = After(page, marker);
            const size_t slash = id.find('/');
            if (slash != std::string::npos) id.erase(slash);
            // Only the characters a channel identifier holds: anything else is no identifier.
            bool ok = !id.empty() && id.size() <= 64;
            for (char c : id)
                if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '-'))
                    ok = false;
            if (ok)
                return std::string("https://") + VIDEO1_HOST + "/feeds/videos.xml?channel_id=" + id;
        }
    }
    return url;
}

std::string ConvertVideoUrl(const std::string& url, const PageLoader& load) {
    if (!IsVideoPageUrl(url)) return url;
    std::string page;
    bool ok = false;
    if (load) {
        ok = load(url, page);
    } else {
        PageDownload dl;
        ok = DownloadPage_Fetch(url, dl, 0) != 0;
        if (ok) page = dl.Memory.substr(0, static_cast<size_t>(dl.Bytes));
    }
    if (!ok) {
        Log("! Error ConvertVideoUrl, not downloaded : " + url);
        return url;
    }
    const std::string result = ConvertVideoUrl_FromPage(url, page);
    if (result != url) Log("- ConvertVideoUrl : " + url + " => " + result);
    return result;
}

std::string RetiredVideoUserUrl(std::string_view url) {
    // The retired interface answered on its own host of the site ("gdata." and the like).
    const size_t at = FindNoCase(url, "/feeds/api/users/");
    if (at == std::string::npos ||
        FindNoCase(url.substr(0, at), "youtube.com") == std::string::npos)
        return {};
    std::string user(url.substr(at + 17));
    const size_t end = user.find_first_of("/?#");
    if (end != std::string::npos) user.erase(end);
    if (user.empty()) return {};
    return std::string("https://") + VIDEO1_HOST + "/user/" + user;
}

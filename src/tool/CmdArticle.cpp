// orvalis-tool extract | links | urlencode | mailto: the article page extraction, the
// links of a description and the texts that send an article, without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "article/core/ArticleItem.h"
#include "article/core/ArticleText.h"
#include "article/core/CleanPage.h"
#include "discovery/core/FeedUrl.h"
#include "platform/core/FileUtil.h"
#include "tool/ToolCommand.h"

static bool Print(const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// A file's text without the UTF-8 byte-order mark that may say how it is written.
static bool ReadText(const std::string& path, std::string& text) {
    if (!File_ReadAll(path, text)) return false;
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    return true;
}

static bool ParseNumber(const std::string& s, uint32_t& v) {
    if (s.empty() || s.size() > 10) return false;
    unsigned long long n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n > 0xFFFFFFFFull) return false;
    v = static_cast<uint32_t>(n);
    return true;
}

static int Extract(const std::vector<std::string>& args) {
    std::string url, title, descriptionFile;
    uint32_t flags = 102400;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--flags" && hasValue) {
            if (!ParseNumber(args[++i], flags))
                return Tool_Fail("extract: --flags needs a whole number", 2);
        } else if (a == "--title" && hasValue) {
            title = args[++i];
        } else if (a == "--description" && hasValue) {
            descriptionFile = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return Tool_Fail("extract: unknown option " + a, 2);
        } else if (url.empty()) {
            url = a;
        } else {
            return Tool_Fail("extract: too many arguments", 2);
        }
    }
    if (url.empty())
        return Tool_Fail("usage: extract URL [--flags N] [--title TEXT] [--description FILE]", 2);
    // The clue is what the text view would show for the article: its description's text.
    std::string clue;
    if (!descriptionFile.empty()) {
        ArticleFields item;
        item.Title = title;
        if (!ReadText(descriptionFile, item.Description))
            return Tool_Fail("extract: cannot read \"" + descriptionFile + "\"", 2);
        clue = ItemView_Text(item, false, ItemInfoSettings{});
    }
    DownloadSettings settings;
    Download_SetSettings(settings);
    if (!Network_Init()) return Tool_Fail("extract: the network layer cannot be initialised");
    int status = 0;
    const std::string text =
        CleanPage_ExtractText(url, flags, title, clue, {}, {}, settings, &status,
                              [](const std::string& page, const std::string& html) {
                                  if (!IsVideoPageUrl(page)) return std::string();
                                  const std::string feed = ConvertVideoUrl_FromPage(page, html);
                                  return feed != page ? feed : std::string();
                              });
    if (status != 1) return Tool_Fail("extract: the page could not be downloaded: " + url);
    if (text.empty()) return Tool_Fail("extract: the page converts to nothing: " + url);
    if (!Print(text + "\r\n") || std::fflush(stdout) != 0)
        return Tool_Fail("extract: cannot write the result");
    return 0;
}

static int Links(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: links FILE", 2);
    std::string html;
    if (!ReadText(args[0], html)) return Tool_Fail("links: cannot read \"" + args[0] + "\"");
    std::string out;
    for (const ArticleLink& l : ArticleLinks_Parse(GetArticleLinks(html)))
        out += l.Address + "\t" + l.Text + "\n";
    return Print(out) && std::fflush(stdout) == 0 ? 0 : Tool_Fail("links: cannot write");
}

static int UrlEncode(const std::vector<std::string>& args) {
    if (args.size() != 1) return Tool_Fail("usage: urlencode TEXT", 2);
    return Print(UrlEncodeText(args[0]) + "\n") && std::fflush(stdout) == 0
               ? 0
               : Tool_Fail("urlencode: cannot write");
}

static int MailTo(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3)
        return Tool_Fail("usage: mailto TITLE LINK [AUDIOLINK]", 2);
    ArticleFields item;
    item.Title = args[0];
    item.Link = args[1];
    if (args.size() == 3) item.AudioLink = args[2];
    return Print(MailItem_Address(item) + "\n") && std::fflush(stdout) == 0
               ? 0
               : Tool_Fail("mailto: cannot write");
}

static ToolCommand
    regExtract("extract", "extract URL [--flags N] [--title TEXT] [--description FILE]", &Extract);
static ToolCommand regLinks("links", "links FILE", &Links);
static ToolCommand regUrlEncode("urlencode", "urlencode TEXT", &UrlEncode);
static ToolCommand regMailTo("mailto", "mailto TITLE LINK [AUDIOLINK]", &MailTo);

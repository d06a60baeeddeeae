#include "article/core/ArticleItem.h"

#include <cstdio>

#include "article/core/ArticleText.h"
#include "article/core/ExtractHTMLText.h"
#include "platform/core/Text.h"
#include "shell/base/Prefs.h"

const char* const ShareTemplate_FaceBook = "https://www.facebook.com/share.php?u=:Url:&t=:Subject:";
const char* const ShareTemplate_Twitter = "https://twitter.com/?status=:Subject:%20:Url:";

ItemInfoSettings ItemInfo_Settings() {
    ItemInfoSettings s;
    s.PodcastExtensions =
        Pref.AudioExtension.empty() ? PREF_AUDIOEXTENSION_DEFAULT : Pref.AudioExtension;
    s.DurationFormat = Pref.DurationTimeFormat;
    return s;
}

std::string ItemInfo_Size(int64_t bytes) {
    if (bytes <= 0) return {};
    char b[32];
    std::snprintf(b, sizeof b, "%.1f Mo", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return b;
}

std::string ItemInfo_Duration(int32_t seconds, const std::string& mask) {
    if (seconds < 0) seconds = 0;
    auto two = [](int v) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    // A mask without any of the three tokens would print no number at all.
    const bool usable = mask.find("%hh") != std::string::npos ||
                        mask.find("%ii") != std::string::npos ||
                        mask.find("%ss") != std::string::npos;
    std::string r = usable ? mask : "%hh:%ii:%ss";
    r = ReplaceAll(r, "%hh", two(seconds / 3600));
    r = ReplaceAll(r, "%ii", two((seconds / 60) % 60));
    r = ReplaceAll(r, "%ss", two(seconds % 60));
    return r;
}

// Whether the file's extension is one of the ";"-separated list (any case).
static bool IsPodcastFile(const std::string& file, const std::string& extensions) {
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos || dot + 1 >= file.size()) return false;
    const std::string ext = file.substr(dot + 1);
    for (const std::string& e : Split(extensions, ';'))
        if (!e.empty() && EqualsNoCase(TrimBlanks(e), ext)) return true;
    return false;
}

std::string ItemInfoText(const ArticleFields& item) {
    return ItemInfoText(item, ItemInfo_Settings());
}

std::string ItemInfoText(const ArticleFields& item, const ItemInfoSettings& settings) {
    std::string text;
    if (!item.Author.empty()) text += "\r\nAuteur : " + item.Author;
    if (!item.AudioFile.empty()) {
        text += "\r\n";
        text += IsPodcastFile(item.AudioFile, settings.PodcastExtensions) ? "Podcast " : "Fichier ";
        text += item.AudioFile + "\r\n" + item.AudioLink;
    }
    if (item.AudioFileLength > 0) text += "\r\nTaille " + ItemInfo_Size(item.AudioFileLength);
    if (item.ItunesDuration != 0)
        text += "\r\nDur\xC3\xA9"
                "e " +
                ItemInfo_Duration(item.ItunesDuration, settings.DurationFormat);
    return text;
}

std::string ItemView_Text(const ArticleFields& item, bool readability) {
    return ItemView_Text(item, readability, ItemInfo_Settings());
}

std::string ItemView_Text(const ArticleFields& item, bool readability,
                          const ItemInfoSettings& settings) {
    // The description's own line breaks survive the converter as "<br>" tags.
    std::string description = ReplaceAll(item.Description, "\r", "\n");
    description = ReplaceAll(description, "\n", " <br>");
    HtmlTextState state;
    HtmlText_Init(state, description);
    if (readability) {
        state.WaitForText = 1;
        state.KeepImages = 0;
        state.KeepLinks = 0;
    }
    HtmlText_Convert(state);
    return CleanPage_CrLf(state.Result) + "\r\n" + RemoveHtmlTags(item.Title) +
           ItemInfoText(item, settings);
}

static std::string HtmlEscape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out.push_back(c);
    }
    return out;
}

std::string ItemView_Html(const ArticleFields& item) {
    return "<html><head><title>" + HtmlEscape(RemoveHtmlTags(item.Title)) +
           "</title></head><body>" + item.Description + "</body></html>";
}

// The encoded subject: the title's first 250 characters.
static std::string Subject(const ArticleFields& item) {
    return UrlEncodeText(Utf8Left(item.Title, 250));
}

std::string MailItem_Address(const ArticleFields& item) {
    std::string body = item.Link;
    if (!item.AudioLink.empty()) body += "\nFichier associ\xC3\xA9 :\n" + item.AudioLink;
    const std::string address = "mailto:?subject=" + Subject(item) + "&body=" + UrlEncodeText(body);
    return Utf8Left(address, 1900);
}

std::string ShareItem_Address(const ArticleFields& item, std::string_view tmpl) {
    std::string a(tmpl);
    a = ReplaceAll(a, ":Subject:", Subject(item));
    a = ReplaceAll(a, ":UrlFile:",
                   item.AudioLink.empty() ? std::string() : "\nFichier joint :\n" + item.AudioLink);
    a = ReplaceAll(a, ":Url:", item.Link);
    return a;
}

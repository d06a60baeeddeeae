// OV-YouTube: the video site's search results page, one item per result.
#include "platform/core/Text.h"
#include "plugins/extractors/frame/ExtractorMain.h"
#include "plugins/extractors/frame/HtmlToText.h"
#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/SettingsBox.h"

// The site's address, prefixed to the results' links.
static const char kSiteAddress[] = "https://www.youtube.com";

static const char kSettingsText[] =
    "Recherche de vidéos sur le site YouTube\n"
    "Version 2015-06-24 Unicode, par Quenbel Soft\n"
    "Saisissez les mot-clés dans le nom du flux pour faire la recherche.";

static void ParseYouTube(HtmlPage& page, const std::string&) {
    const long body = FindTag(page, 1, "body");
    const long list = body ? FindTag(page, body, "ol", "class", "item-section") : 0;
    const long listEnd = list ? FindClosingTag(page, list, "ol") : 0;
    if (!listEnd) return;

    for (long li = FindTag(page, list, "li", {}, {}, listEnd); li;
         li = FindNextTag(page, li, "li", {}, {}, listEnd)) {
        long liEnd = FindClosingTag(page, li, "li", listEnd);
        if (!liEnd) liEnd = listEnd;
        const std::string title = TagToText(page, FindTag(page, li, "h3", {}, {}, liEnd), 37);
        if (title.empty()) continue;
        const std::string duration =
            TagToText(page, FindTag(page, li, "span", "class", "video-time", liEnd), 37);
        FeedItem item;
        if (const long a = FindTag(page, li, "a", {}, {}, liEnd))
            item.Link = SiteLink(kSiteAddress, DecodeEntities(TagAttribute(page, a, "href"), "\n"));
        std::string info;
        if (const long meta = FindTag(page, li, "ul", "class", "yt-lockup-meta-info", liEnd))
            // One line per entry of the list.
            info = HtmlToText(ReplaceAllNoCase(TagContent(page, meta), "</li>", "</li><br>"), 45);
        item.Title = title;
        item.Description = Ansi("Durée ") + duration + "\n" + info;
        item.GuID = Crc32Decimal(item.Title + item.Link);
        WriteItem(item);
    }
}

int main(int argc, char** argv) {
    static const ExtractorProgram program = {
        "OV-YouTube", kSettingsText, Settings_None, "",
        true,         true,          &ParseYouTube, &SettingsBox_Show};
    return ExtractorMain(argc, argv, program);
}

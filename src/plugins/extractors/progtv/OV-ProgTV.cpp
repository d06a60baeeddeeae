// OV-ProgTV: a TV listings page, one item per programme entry of each channel row.
#include "platform/core/Text.h"
#include "plugins/extractors/frame/ExtractorMain.h"
#include "plugins/extractors/frame/HtmlToText.h"
#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/SettingsBox.h"

#include <cctype>

// The site's home address: put on the clipboard by the settings run and prefixed to links.
static const char kSiteHome[] = "https://www.programme-tv.net";

static const char kSettingsText[] =
    "Extraction de programme TV\n"
    "Version 2016-01-19 Unicode, par Quenbel Soft\n"
    "L'adresse du site vient d'être copié dans le presse-papier, vous pouvez fermer cette "
    "fenêtre.\n"
    "Vous pouvez aussi allez sur le site pour récupérer l'adresse des chaines du cable, votre "
    "sélection, ...\n"
    "De retour sous Orvalis, coller l'adresse avec Control+V\n"
    "Faire entrée pour valider le flux !";

// "%hh:%ii" read into today's date at that time, "%yyyy-%mm-%ddT%hh:%ii:00Z"; empty when the
// text is no time (the item then takes the current time).
static std::string TodayAt(const std::string& hour) {
    const std::string t = Trim(hour);
    auto digit = [&](size_t i) {
        return i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]));
    };
    if (!digit(0) || !digit(1) || t.size() < 5 || t[2] != ':' || !digit(3) || !digit(4)) return {};
    const int hh = (t[0] - '0') * 10 + (t[1] - '0');
    const int ii = (t[3] - '0') * 10 + (t[4] - '0');
    if (hh > 23 || ii > 59) return {};
    return FormatLocalDate(RunTime(), "%yyyy-%mm-%ddT") + t.substr(0, 2) + ":" + t.substr(3, 2) +
           ":00Z";
}

static void ParseProgTV(HtmlPage& page, const std::string&) {
    const long body = FindTag(page, 1, "body");
    const long list = body ? FindTag(page, body, "div", "class", "left list-programm") : 0;
    const long listEnd = list ? FindClosingTag(page, list, "div") : 0;
    if (!listEnd) return;

    for (long row = FindTag(page, list, "div", "class", "row", listEnd); row;
         row = FindNextTag(page, row, "div", "class", "row", listEnd)) {
        long rowEnd = FindClosingTag(page, row, "div", listEnd);
        if (!rowEnd) rowEnd = listEnd;
        std::string channel;
        const long chaine = FindTag(page, row, "div", "class", "chaine", rowEnd);
        if (chaine) {
            long chaineEnd = FindClosingTag(page, chaine, "div", rowEnd);
            const long img =
                FindTag(page, chaine, "img", "class", "unveil", chaineEnd ? chaineEnd : rowEnd);
            if (img) channel = Trim(DecodeEntities(TagAttribute(page, img, "alt"), "\n"));
        }
        for (long box = FindTag(page, chaine ? chaine : row, "div", "class", "box", rowEnd); box;
             box = FindNextTag(page, box, "div", "class", "box", rowEnd)) {
            long boxEnd = FindClosingTag(page, box, "div", rowEnd);
            if (!boxEnd) boxEnd = rowEnd;
            const std::string hour =
                TagToText(page, FindTag(page, box, "a", "class", "hour", boxEnd), 37);
            const long titleTag = FindTag(page, box, "a", "class", "title", boxEnd);
            const std::string title = TagToText(page, titleTag, 37);
            if (title.empty()) continue;
            FeedItem item;
            item.Link =
                SiteLink(kSiteHome, DecodeEntities(TagAttribute(page, titleTag, "href"), "\n"));
            item.PubDate = TodayAt(hour);
            item.Title = title + ", " + channel;
            item.Description = hour + "\r\n" + title + "\r\n\r\n" + channel;
            item.GuID = Crc32Decimal(item.Title + item.PubDate + item.Link);
            WriteItem(item);
        }
    }
}

int main(int argc, char** argv) {
    static const ExtractorProgram program = {
        "OV-ProgTV", kSettingsText, Settings_CopySite, kSiteHome,
        true,        true,          &ParseProgTV,      &SettingsBox_Show};
    return ExtractorMain(argc, argv, program);
}

// OV-Annonces: the result list of a search on the classified-ads site, one item per ad.
#include "platform/core/Text.h"
#include "plugins/extractors/frame/ExtractorMain.h"
#include "plugins/extractors/frame/HtmlToText.h"
#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/SettingsBox.h"

static const char kSiteAddress[] = "https://www.leboncoin.fr/";
static const char kSiteHost[] = "https://www.leboncoin.fr";

static const char kSettingsText[] = "Extraction LeBonCoin\n"
                                    "Version 2016-06-15 Unicode, par Quenbel Soft\n"
                                    "La page principale du site va s'ouvrir.\n"
                                    "Faites votre recherche,\n"
                                    "Allez sur la barre d'adresse du navigateur avec Alt+D\n"
                                    "Copier cette adresse avec Control+A puis Control+C.\n"
                                    "Fermer le navigateur.\n"
                                    "De retour sous Orvalis, coller l'adresse avec Control+V\n"
                                    "Faire entrée pour valider le flux !";

static void ParseAnnonces(HtmlPage& page, const std::string&) {
    const long body = FindTag(page, 1, "body");
    const long list = body ? FindTag(page, body, "section", "class", "list mainList tabs") : 0;
    const long listEnd = list ? FindClosingTag(page, list, "section") : 0;
    const long ul = listEnd ? FindTag(page, list, "ul", {}, {}, listEnd) : 0;
    const long ulEnd = ul ? FindClosingTag(page, ul, "ul") : 0;
    if (!ulEnd) return;

    for (long li = FindTag(page, ul, "li", {}, {}, ulEnd); li;
         li = FindNextTag(page, li, "li", {}, {}, ulEnd)) {
        long from = li;
        long to = FindClosingTag(page, li, "li", ulEnd);
        if (!to) to = ulEnd;
        FeedItem item;
        const long a = FindTag(page, li, "a", "class", "list_item*", to);
        if (a) {
            item.Link = SiteLink(kSiteHost, DecodeEntities(TagAttribute(page, a, "href"), "\n"));
            // The ad's texts are inside its link element.
            const long aEnd = FindClosingTag(page, a, "a", to + 1);
            if (aEnd) {
                from = a;
                to = aEnd;
            }
        }
        const std::string title = TagToText(page, FindTag(page, from, "h2", {}, {}, to), 55);
        const long supp = FindTag(page, from, "p", "class", "item_supp", to);
        std::string details = TagToText(page, supp, 55);
        if (const long supp2 = supp ? FindNextTag(page, supp, "p", "class", "item_supp", to) : 0)
            details += ". " + TagToText(page, supp2, 55);
        const std::string price =
            TagToText(page, FindTag(page, from, "h3", "class", "item_price", to), 55);
        const std::string date = TagToText(page, FindTag(page, from, "aside", {}, {}, to), 55);
        if (title.empty()) continue;
        item.Title = title + ", " + price + ", " + details;
        item.Description = date + "\r\n" + title + "\r\n" + price + "\r\n" + details;
        item.GuID = Crc32Decimal(title + details + price);
        WriteItem(item);
    }
}

int main(int argc, char** argv) {
    static const ExtractorProgram program = {
        "OV-Annonces", kSettingsText, Settings_OpenSite, kSiteAddress,
        false,         false,         &ParseAnnonces,    &SettingsBox_Show};
    return ExtractorMain(argc, argv, program);
}

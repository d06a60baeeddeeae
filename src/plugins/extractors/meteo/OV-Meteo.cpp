// OV-Meteo: the weather service page of one town, as a "current" item and one item per day.
#include "platform/core/Text.h"
#include "plugins/extractors/frame/ExtractorMain.h"
#include "plugins/extractors/frame/HtmlToText.h"
#include "plugins/extractors/frame/ItemWriter.h"
#include "plugins/extractors/frame/SettingsBox.h"

#include <vector>

static const char kSiteAddress[] = "https://meteofrance.com/";

static const char kSettingsText[] = "Extraction Météo-France\n"
                                    "Version 2017-08-23 Unicode, par Quenbel Soft\n"
                                    "Une page de météo-France va s'ouvrir.\n"
                                    "Allez dans la zone de recherche avec la touche E\n"
                                    "Saisissez votre ville ou son code postal, puis faire entrée.\n"
                                    "Allez sur la barre d'adresse du navigateur avec Alt+D\n"
                                    "Copier cette adresse avec Control+A puis Control+C.\n"
                                    "Fermer le navigateur.\n"
                                    "De retour sous Orvalis, coller l'adresse avec Control+V\n"
                                    "Faire entrée pour valider le flux !";

static std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
    std::string r;
    for (const std::string& p : parts) {
        if (p.empty()) continue;
        if (!r.empty()) r += sep;
        r += p;
    }
    return r;
}

// The run's day and the title's first comma-separated field: the same for every run that day.
static std::string DayGuid(const std::string& title) {
    return FormatLocalDate(RunTime(), "%yy%mm%dd") + Trim(title.substr(0, title.find(',')));
}

static std::string Temperature(HtmlPage& page, long dd) {
    std::string t = TagToText(page, dd, 55);
    t = ReplaceAllNoCase(t, "Minimale", "");
    t = ReplaceAllNoCase(t, "Maximale", "");
    t = ReplaceAll(t, "/", Ansi("à"));
    return Trim(t);
}

static void ParseMeteo(HtmlPage& page, const std::string&) {
    const long body = FindTag(page, 1, "body");
    if (!body) return;
    const long town = FindTag(page, body, "div", "class", "prevision-ville");
    const long townEnd = town ? FindClosingTag(page, town, "div") : 0;
    const long hours =
        townEnd ? FindTag(page, town, "ul", "class", "prevision-horaire*", townEnd) : 0;
    const long hoursEnd = hours ? FindClosingTag(page, hours, "ul") : 0;
    if (!hoursEnd) return;

    std::vector<std::string> now;
    for (long b = FindTag(page, hours, "button", "class", "time*", hoursEnd); b;
         b = FindNextTag(page, b, "button", "class", "time*", hoursEnd))
        now.push_back(TagToText(page, b, 39));
    std::vector<std::string> dayData;
    for (long d = FindTag(page, hoursEnd, "ul", "class", "day-data"); d && dayData.size() < 2;
         d = FindNextTag(page, d, "ul", "class", "day-data", -1))
        dayData.push_back(TagToText(page, d, 55));

    FeedItem current;
    current.Title = Ansi("En ce moment");
    current.Description = Join(now, "\r\n");
    const std::string more = Join(dayData, "\r\n");
    if (!more.empty())
        current.Description += (current.Description.empty() ? "" : "\r\n\r\n") + more;
    current.GuID = DayGuid(current.Title);
    WriteItem(current);

    const long days = FindTag(page, body, "div", "class", "liste-jours");
    const long daysEnd = days ? FindClosingTag(page, days, "div") : 0;
    if (!daysEnd) return;
    for (long li = FindTag(page, days, "li", {}, {}, daysEnd); li;
         li = FindNextTag(page, li, "li", {}, {}, daysEnd)) {
        long liEnd = FindClosingTag(page, li, "li", daysEnd);
        if (!liEnd) liEnd = daysEnd;
        const long dt = FindTag(page, li, "dt", {}, {}, liEnd);
        const long dd1 = FindTag(page, dt ? dt : li, "dd", {}, {}, liEnd);
        const long dd2 = dd1 ? FindNextTag(page, dd1, "dd", {}, {}, liEnd) : 0;
        const std::vector<std::string> parts = {TagToText(page, dt, 39), Temperature(page, dd1),
                                                Temperature(page, dd2)};
        FeedItem day;
        day.Title = Join(parts, ", ");
        if (day.Title.empty()) continue;
        day.Description = Join(parts, "\r\n");
        day.GuID = DayGuid(day.Title);
        WriteItem(day);
    }
}

int main(int argc, char** argv) {
    static const ExtractorProgram program = {
        "OV-Meteo", kSettingsText, Settings_OpenSite, kSiteAddress,
        false,      false,         &ParseMeteo,       &SettingsBox_Show};
    return ExtractorMain(argc, argv, program);
}

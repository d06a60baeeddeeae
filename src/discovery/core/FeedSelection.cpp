#include "discovery/core/FeedSelection.h"

#include <algorithm>

#include "catalogue/core/RssList.h"
#include "discovery/core/OPML.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/AppPaths.h"

std::string FeedSelection_Title(int mode) {
    switch (mode & 0xFF) {
    case 0:
        return Lng(L_Msg_SelectRssToExport);
    case 1:
        return Lng(L_Msg_SelectRssToImport);
    case 5:
        return Lng(L_Title_CheckObsoleteRss);
    default:
        return Lng(L_Msg_SelectRssToAdd);
    }
}

std::string FeedSelection_ConfirmLabel(int mode) {
    switch (mode & 0xFF) {
    case 0:
        return Lng(L_Button_Export);
    case 1:
        return Lng(L_Button_Import);
    case 5:
        return Lng(L_Button_MoveToObsolete);
    default:
        return Lng(L_Button_Add);
    }
}

void FeedSelection_Preselect(CursorList<Rss>& list, int mode) {
    for (Rss& f : list) {
        if (mode & SELECTMODE_ALL) f.ExtractError |= SELECT_BIT;
        if (mode & SELECTMODE_NONE) f.ExtractError &= ~SELECT_BIT;
    }
}

std::string FeedActivity(int32_t lastBuildDate, int32_t now) {
    if (lastBuildDate == 0 || now == 0) return {};
    const int64_t last = lastBuildDate;
    if (last + 7776000 >= now) return ", actif";
    if (last + 15552000 >= now) return ", peu actif";
    return ", inactif";
}

std::string FoldAccents(std::string_view text) {
    std::string out;
    for (char32_t c : Utf8ToUtf32(Utf8Lower(text))) {
        switch (c) {
        case U'à':
        case U'â':
        case U'ä':
            c = 'a';
            break;
        case U'é':
        case U'è':
        case U'ê':
        case U'ë':
            c = 'e';
            break;
        case U'î':
        case U'ï':
            c = 'i';
            break;
        case U'ô':
        case U'ö':
            c = 'o';
            break;
        case U'ç':
            c = 'c';
            break;
        default:
            break;
        }
        Utf8Append(out, c);
    }
    return out;
}

const std::vector<int>& FeedFilter_Periods() {
    static const std::vector<int> days = {0, 7, 14, 30, 61, 183, 365};
    return days;
}

int FilterFeedList(CursorList<Rss>& list, const FeedFilter& filter, int32_t now) {
    std::vector<std::string> words;
    for (const std::string& w : Split(TrimBlanks(filter.Keywords), ' '))
        if (!w.empty()) words.push_back(FoldAccents(w));
    int64_t newest = 0;
    for (const Rss& f : list)
        newest = std::max<int64_t>(newest, f.ItemsChanged);
    int visible = 0;
    for (Rss& f : list) {
        bool show = true;
        if (!words.empty()) {
            const std::string name = FoldAccents(f.Name);
            const std::string desc = FoldAccents(f.Description);
            show = std::any_of(words.begin(), words.end(), [&](const std::string& w) {
                return name.find(w) != std::string::npos || desc.find(w) != std::string::npos;
            });
        }
        if (show && filter.PeriodDays > 0)
            show = static_cast<int64_t>(f.ItemsChanged) >=
                   newest - static_cast<int64_t>(filter.PeriodDays) * 86400;
        if (show && filter.Content >= 0) show = f.ContentRss == filter.Content;
        if (show && !filter.Language.empty()) show = EqualsNoCase(f.Language, filter.Language);
        if (show && !filter.Group.empty()) show = Utf8Lower(f.Group) == Utf8Lower(filter.Group);
        if (show && filter.ActiveOnly && IsFeedFormat(f.ExtractAs))
            show = static_cast<int64_t>(f.LastBuildDate) + 15552000 >= now;
        if (show) {
            f.ExtractError |= VISIBLE_BIT;
            ++visible;
        } else {
            f.ExtractError &= ~VISIBLE_BIT;
        }
    }
    return visible;
}

static std::vector<std::string> Distinct(const CursorList<Rss>& list, std::string Rss::*field) {
    std::vector<std::string> out, lower;
    for (const Rss& f : list) {
        const std::string& v = f.*field;
        if (v.empty()) continue;
        const std::string key = Utf8Lower(v);
        if (std::find(lower.begin(), lower.end(), key) != lower.end()) continue;
        lower.push_back(key);
        out.push_back(v);
    }
    return out;
}

std::vector<std::string> FeedSelection_Languages(const CursorList<Rss>& list) {
    return Distinct(list, &Rss::Language);
}
std::vector<std::string> FeedSelection_Groups(const CursorList<Rss>& list) {
    return Distinct(list, &Rss::Group);
}

int FeedSelection_Keep(CursorList<Rss>& list, bool changeGroup, const std::string& group) {
    int kept = 0;
    for (const Rss& f : list)
        if (f.ExtractError & SELECT_BIT) ++kept;
    if (kept == 0) return 0;
    list.Raw().remove_if([](const Rss& f) { return !(f.ExtractError & SELECT_BIT); });
    list.Reset();
    if (changeGroup) {
        const std::string dest = OPML_CleanUrl(group);
        for (Rss& f : list)
            f.Group = dest;
    }
    return kept;
}

std::string ObsoleteGroupName() {
    return DBBaseMode ? "Obsolète test" : "Obsolète";
}

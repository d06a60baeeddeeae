#include "shell/core/MainView.h"

#include <algorithm>

#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "article/core/ExtractHTMLText.h"
#include "update/core/Date.h"

bool Item_IsUnread(const Item& item) {
    return (item.Readed & 3) == 0;
}

int Feed_UnreadCount(const Rss& feed) {
    int n = 0;
    for (const Item& it : feed.Items)
        n += Item_IsUnread(it);
    return n;
}

static void DropRead(std::vector<Item>& set, int32_t display) {
    if (!(display & DISPLAY_ONLY_UNREAD)) return;
    set.erase(
        std::remove_if(set.begin(), set.end(), [](const Item& i) { return !Item_IsUnread(i); }),
        set.end());
}

static void SortNewestFirst(std::vector<Item>& set) {
    std::stable_sort(set.begin(), set.end(),
                     [](const Item& a, const Item& b) { return a.Date > b.Date; });
}

std::vector<Item> DisplaySet_Feed(const Rss& feed, int32_t display) {
    std::vector<Item> set(feed.Items.begin(), feed.Items.end());
    DropRead(set, display);
    if (display & DISPLAY_SORT_BY_DATE) {
        SortNewestFirst(set);
    } else if (display & DISPLAY_SORT_BY_TITLE) {
        std::vector<std::pair<std::string, size_t>> keys;
        keys.reserve(set.size());
        for (size_t i = 0; i < set.size(); ++i)
            keys.emplace_back(Utf8Lower(set[i].Title), i);
        std::stable_sort(keys.begin(), keys.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Item> sorted;
        sorted.reserve(set.size());
        for (const auto& k : keys)
            sorted.push_back(std::move(set[k.second]));
        set.swap(sorted);
    }
    if (display & DISPLAY_GROUP_UNREAD) {
        // The copies carry their read bit in TypeUpdate for the sort; the stored articles
        // are not touched.
        for (Item& i : set)
            i.TypeUpdate = Item_IsUnread(i) ? "0" : "1";
        std::stable_sort(set.begin(), set.end(),
                         [](const Item& a, const Item& b) { return a.TypeUpdate < b.TypeUpdate; });
    }
    return set;
}

std::vector<Item> DisplaySet_Group(const CursorList<Rss>& list, const std::string& group,
                                   int32_t display) {
    std::vector<Item> set;
    for (const Rss& feed : list) {
        if (!EqualsNoCase(feed.Group, group) && Utf8Lower(feed.Group) != Utf8Lower(group)) continue;
        for (const Item& it : feed.Items) {
            set.push_back(it);
            set.back().Author = feed.Name;
        }
    }
    DropRead(set, display);
    if (display & DISPLAY_GROUP_BY_DATE) SortNewestFirst(set);
    return set;
}

std::vector<std::string> Tree_GroupNames(const CursorList<Rss>& list) {
    std::vector<std::string> names;
    for (const Rss& feed : list) {
        const std::string lower = Utf8Lower(feed.Group);
        bool known = false;
        for (const std::string& n : names)
            if (Utf8Lower(n) == lower) {
                known = true;
                break;
            }
        if (!known) names.push_back(feed.Group);
    }
    return names;
}

static std::string UnreadSuffix(int unread) {
    if (unread <= 0) return {};
    return " [" + std::to_string(unread) + " " + Lng(L_Mark_UnReaded) + "]";
}

std::string TreeLabel_Group(const std::string& name, int unread) {
    return name + UnreadSuffix(unread);
}

static bool IsArticleKind(const Rss& feed) {
    const std::string& e = feed.ExtractAs;
    return e.empty() || EqualsNoCase(e, "Atom") || EqualsNoCase(e, "RDF") ||
           EqualsNoCase(e, "RssV2") || StartsWithNoCase(e, "ov-");
}

std::string ContentRss_Label(int32_t kind) {
    switch (kind) {
    case CONTENT_TEXT:
        return Lng(L_ContentRss_Text);
    case CONTENT_PODCAST:
        return Lng(L_ContentRss_);
    case CONTENT_CATCHTV:
        return Lng(L_ContentRss_CatchTV);
    case CONTENT_NETRADIO:
        return Lng(L_ContentRss_NetRadio);
    case CONTENT_FILE:
        return Lng(L_ContentRss_File);
    case CONTENT_NETTV:
        return Lng(L_ContentRss_NetTV);
    case CONTENT_YOUTUBE:
        return Lng(L_ContentRss_YouTube);
    case CONTENT_DAILYMOTION:
        return Lng(L_ContentRss_DailyMotion);
    default:
        return Lng(L_ContentRss_Undefined);
    }
}

std::string TreeLabel_Feed(const Rss& feed, int32_t display) {
    std::string label = feed.Name + UnreadSuffix(Feed_UnreadCount(feed));
    if (IsArticleKind(feed) && (feed.Flags & RSSFLAG_DISABLE))
        label += ", " + Lng(L_Mark_DisabledRss);
    if (feed.NbAutoDownLoadPodCast != 0) label += ", " + Lng(L_Mark_AutoPodcast);
    if (feed.Flags & RSSFLAG_ALARM) label += ", " + Lng(L_Mark_AlarmRss);
    if (display & DISPLAY_CONTENT_KIND) label += ", " + ContentRss_Label(feed.ContentRss);
    return label;
}

std::string ListColumn_Fourth(bool groupView) {
    return groupView ? Lng(L_Main_ListIcon_Source) : Lng(L_Main_ListIcon_Size);
}

// The "%d" masks ("%dt%dmm%dss"): one number per "%d", its letters after it as the unit,
// the last number the seconds, the one before the minutes, the first the hours. They are
// shown as a listener understands them, units spelt "h", "min", "s", leading zero parts
// left out: "1 h 05 min 30 s", "5 min 30 s", "30 s".
static std::string SpokenDuration(int32_t seconds, const std::string& mask) {
    int parts = 0;
    for (size_t at = mask.find("%d"); at != std::string::npos; at = mask.find("%d", at + 2))
        ++parts;
    parts = std::clamp(parts, 1, 3);
    const int32_t value[3] = {parts == 3 ? seconds / 3600 : 0,
                              parts >= 2 ? (parts == 3 ? (seconds / 60) % 60 : seconds / 60) : 0,
                              parts >= 2 ? seconds % 60 : seconds};
    static const char* const unit[3] = {"h", "min", "s"};
    std::string out;
    for (int i = 3 - parts; i < 3; ++i) {
        if (out.empty() && value[i] == 0 && i < 2) continue;
        char b[32];
        std::snprintf(b, sizeof b, out.empty() ? "%d %s" : " %02d %s", static_cast<int>(value[i]),
                      unit[i]);
        out += b;
    }
    return out;
}

std::string Duration_Format(int32_t seconds, const std::string& mask) {
    if (seconds < 0) seconds = 0;
    if (mask.find("%d") != std::string::npos) return SpokenDuration(seconds, mask);
    const int h = seconds / 3600, m = (seconds / 60) % 60, s = seconds % 60;
    auto two = [](int v) {
        char b[16];
        std::snprintf(b, sizeof b, "%02d", v);
        return std::string(b);
    };
    std::string r = mask.empty() ? "%hh:%ii:%ss" : mask;
    r = ReplaceAll(r, "%hh", two(h));
    r = ReplaceAll(r, "%ii", two(m));
    r = ReplaceAll(r, "%ss", two(s));
    return r;
}

static std::string SizeText(int64_t bytes) {
    if (bytes <= 0) return {};
    char b[32];
    // Below one megabyte "0.0 Mo" tells nothing: kilobytes, at least 1.
    if (bytes < 1024 * 1024)
        std::snprintf(b, sizeof b, "%lld Ko",
                      static_cast<long long>(std::max<int64_t>(1, (bytes + 512) / 1024)));
    else
        std::snprintf(b, sizeof b, "%.1f Mo", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return b;
}

ListRowText ListRow_Text(const Item& item, bool groupView, int32_t display,
                         const std::string& durationFormat, int dateLayout) {
    ListRowText row;
    row.Name = item.Title;
    const bool unread = Item_IsUnread(item);
    if (unread && (display & DISPLAY_MARK_UNREAD)) row.Name = Lng(L_Mark_UnReaded) + " " + row.Name;
    if (!unread && (display & DISPLAY_MARK_READ)) row.Name = Lng(L_Mark_Readed) + " " + row.Name;
    if ((display & DISPLAY_VIEWS) && item.Views > 0)
        row.Name += " (" + std::to_string(item.Views) + ")";
    if (item.ItunesDuration > 0)
        row.Duration = Duration_Format(item.ItunesDuration, durationFormat);
    if (item.Date != 0) row.Date = FormatItemDate(item.Date, dateLayout);
    row.Fourth = groupView ? item.Author : SizeText(item.AudioFileLength);
    return row;
}

std::string Status_Text(const StatusInput& in) {
    std::string s;
    if (in.ListFocused && in.Selected) {
        const std::string row = std::to_string(in.Row), count = std::to_string(in.RowCount);
        if (in.SelectedIsPodcast) {
            s = Lng(L_Status_List_PodCast, row, count);
            if (in.Selected->ItunesDuration > 0)
                s += ", " + Lng(L_Status_Duration,
                                Duration_Format(in.Selected->ItunesDuration, in.DurationFormat));
        } else {
            s = Lng(L_Status_List_Feed, row, count);
            if (in.Display & DISPLAY_GROUP_UNREAD) s += ", " + Lng(L_Status_List_FeedInGroup);
        }
        if (!in.Selected->PubDate.empty()) s += Lng(L_Status_Published, in.Selected->PubDate);
        return s;
    }
    s = Lng(L_Status_NbFeed, std::to_string(in.RowCount));
    if (!in.UpdatingFeed.empty()) s += Lng(L_Status_UpdateFeed, in.UpdatingFeed);
    return s;
}

std::string Statistics_Text(const CursorList<Rss>& list) {
    int standard = 0, disabled = 0, radios = 0, others = 0, articles = 0, unread = 0;
    for (const Rss& feed : list) {
        const std::string& e = feed.ExtractAs;
        if (e.empty() || EqualsNoCase(e, "Atom") || EqualsNoCase(e, "RDF") ||
            EqualsNoCase(e, "RssV2")) {
            ++standard;
            if (feed.Flags & RSSFLAG_DISABLE) ++disabled;
        } else if (EqualsNoCase(e, "NetRadio")) {
            ++radios;
        } else {
            ++others;
        }
        for (const Item& it : feed.Items) {
            ++articles;
            unread += Item_IsUnread(it);
        }
    }
    return Lng(L_Msg_Stat, std::to_string(standard), std::to_string(disabled),
               std::to_string(radios), std::to_string(others)) +
           "\r\n" + Lng(L_Msg_Stat2, std::to_string(articles), std::to_string(unread));
}

int Group_UnreadCount(const CursorList<Rss>& list, const std::string& group) {
    int n = 0;
    const std::string lower = Utf8Lower(group);
    for (const Rss& feed : list)
        if (Utf8Lower(feed.Group) == lower) n += Feed_UnreadCount(feed);
    return n;
}

std::string Status_TreeText(const TreeStatusInput& in) {
    std::string s;
    if (in.Feed) {
        const Rss& f = *in.Feed;
        if (EqualsNoCase(f.ExtractAs, "NetRadio")) {
            s = Lng(L_Audio_Radio) + " " + f.Name + ". " + Lng(L_Status_Enter);
        } else {
            s = f.Name;
            const int unread = Feed_UnreadCount(f);
            if (unread > 0) s += ", " + std::to_string(unread) + " " + Lng(L_Mark_UnReaded);
            if (f.ExtractError) s += ", " + Lng(L_Status_ErrorUpdatedFeed);
        }
    } else if (in.GroupPos > 0) {
        s = Lng(L_Status_GroupSelected, std::to_string(in.GroupPos), std::to_string(in.GroupCount));
    } else {
        s = Lng(L_Status_NoRssSelected);
    }
    if (in.QueueCount > 0) s += Lng(L_Status_RssToActualize, std::to_string(in.QueueCount));
    return s;
}

std::string Article_PlainText(const Item& item) {
    std::string text = item.Title;
    if (!item.Description.empty()) {
        HtmlTextState st;
        HtmlText_Init(st, item.Description);
        HtmlText_Convert(st);
        const std::string body = Trim(HtmlText_CleanLines(st.Result));
        if (!body.empty()) text += "\n\n" + body;
    }
    if (!item.Link.empty()) text += "\n\n" + item.Link;
    return text;
}

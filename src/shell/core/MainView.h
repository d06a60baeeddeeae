// What the main window shows, computed without a window: the article list's display
// set with its filters and sorts, the tree labels with their unread counts, the status
// texts and the statistics. The window only puts these texts into its controls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/core/Records.h"

// Bits of the "Display" preference.
enum : int32_t {
    DISPLAY_MARK_READ = 1,
    DISPLAY_MARK_UNREAD = 2,
    DISPLAY_SORT_BY_DATE = 4,
    DISPLAY_SORT_BY_TITLE = 8,
    DISPLAY_GROUP_UNREAD = 16,
    DISPLAY_READABILITY = 32,
    DISPLAY_HTML = 64,
    DISPLAY_ONLY_UNREAD = 128,
    DISPLAY_CONTENT_KIND = 256,
    DISPLAY_GROUP_BY_DATE = 512,
    DISPLAY_VIEWS = 1024,
};

// True when the article counts as unread (the two low bits of `Readed` are 0).
bool Item_IsUnread(const Item& item);
int Feed_UnreadCount(const Rss& feed);

// The display set of a feed node: copies of the feed's articles, filtered and sorted by
// the "Display" bits.
std::vector<Item> DisplaySet_Feed(const Rss& feed, int32_t display);
// The display set of a group node: copies of the articles of every feed of that group
// (ignoring case), each copy's Author replaced by its feed's name.
std::vector<Item> DisplaySet_Group(const CursorList<Rss>& list, const std::string& group,
                                   int32_t display);

// The distinct group names in catalogue order.
std::vector<std::string> Tree_GroupNames(const CursorList<Rss>& list);
// "Name [3 Non lu]" when the group holds unread articles.
std::string TreeLabel_Group(const std::string& name, int unread);
// The feed's name, its unread count, then ", Désactivé", ", AutoPodcast", ", Avec alerte"
// and its content kind (with DISPLAY_CONTENT_KIND), as they apply.
std::string TreeLabel_Feed(const Rss& feed, int32_t display);
// The French (or translated) label of a content kind; "Flux Indéfini" for any other value.
std::string ContentRss_Label(int32_t kind);

// The list's fourth column: "De" in a group view, "Taille fichier associé" in a feed view.
std::string ListColumn_Fourth(bool groupView);
// The text of one row's cells: title (with the read/unread mark the "Display" bits ask
// for, and the view count), duration, date, and the fourth column.
struct ListRowText {
    std::string Name;
    std::string Duration;
    std::string Date;
    std::string Fourth;
};
ListRowText ListRow_Text(const Item& item, bool groupView, int32_t display,
                         const std::string& durationFormat, int dateLayout);
// Seconds as "DurationTimeFormat" asks: "%hh", "%ii", "%ss" replaced by two digits each;
// a mask of "%d" numbers with their units ("%dt%dmm%dss", the default) spoken as
// "1 h 05 min 30 s", "5 min 30 s" (hours and minutes only when above 0).
std::string Duration_Format(int32_t seconds, const std::string& mask);

// Status bar texts.
struct StatusInput {
    bool ListFocused = false;
    const Item* Selected = nullptr; // the selected article, when the list has one
    bool SelectedIsPodcast = false;
    int Row = 0;      // 1-based row of the selection
    int RowCount = 0; // rows in the list
    int32_t Display = 0;
    std::string DurationFormat;
    std::string UpdatingFeed; // name of the feed being updated, empty when none
};
std::string Status_Text(const StatusInput& in);

// "%S1% flux, %S2% désactivés..." followed by the article counts.
std::string Statistics_Text(const CursorList<Rss>& list);

// What the tree adds to the status bar when no article of the list is selected.
struct TreeStatusInput {
    int GroupPos = 0, GroupCount = 0; // a group is selected: 1-based position and count
    const Rss* Feed = nullptr;        // a feed is selected
    int QueueCount = 0;               // feeds waiting in the update queue
};
// "Groupe 2 sur 5, 3 Non lu"; for a feed its name, ", Radio" pieces and its unread count
// ("Radio Name. Faire Entrée pour visualiser." for a radio, ", Erreur durant
// l'actualisation" after a failed update); "Pas de flux sélectionné !" when nothing is
// selected; then ", 4 flux à actualiser" while feeds wait in the update queue.
std::string Status_TreeText(const TreeStatusInput& in);
// Unread articles of every feed of `group` (ignoring case).
int Group_UnreadCount(const CursorList<Rss>& list, const std::string& group);

// The text the article zone shows: the title, the description made readable text, and
// the link, separated by blank lines.
std::string Article_PlainText(const Item& item);

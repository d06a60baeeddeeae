// The rules behind the feed selection window, which every way of adding or exporting
// feeds goes through: its modes, the activity shown beside a name, the filters and what
// a confirmation does with the list. The window itself lives in discovery/gui.
//
// In the temporary lists handled here a record's `ExtractError` is the selection word:
// bit 0 selected (checked), bit 1 visible under the current filter. Feed-bank records
// carry their bank date in `ItemsChanged`.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/Records.h"

enum : int32_t {
    SELECT_BIT = 1,
    VISIBLE_BIT = 2,
};
// Mode word: the low byte picks the title and the confirm button; the bits below.
enum : int {
    SELECTMODE_EXPORT = 0,
    SELECTMODE_IMPORT = 1,
    SELECTMODE_OBSOLETE = 5,
    SELECTMODE_FORCE_GROUP = 0x100, // "Changer le groupe de destination" starts checked
    SELECTMODE_VERIFY = 0x200,      // "Vérifier les flux" starts checked
    SELECTMODE_ALL = 0x400,         // every feed preselected
    SELECTMODE_NONE = 0x800,        // every selection cleared
};

// The window's title and confirm button label for a mode word.
std::string FeedSelection_Title(int mode);
std::string FeedSelection_ConfirmLabel(int mode);
// Applies the preselection bits of the mode word to the list's selection words.
void FeedSelection_Preselect(CursorList<Rss>& list, int mode);

// ", actif" when lastBuild + 90 days is not before now; else ", peu actif" when + 180
// days is not; else ", inactif"; "" when either date is 0.
std::string FeedActivity(int32_t lastBuildDate, int32_t now);
// Lower case with à â ä → a, é è ê ë → e, î ï → i, ô ö → o, ç → c.
std::string FoldAccents(std::string_view text);

// The filters of the window. Empty texts and 0 disable a filter.
struct FeedFilter {
    std::string Keywords; // "Mot-Clé": words split at spaces, any of them in name or description
    int PeriodDays = 0;   // "Afficher": 0, 7, 14, 30, 61, 183, 365
    int32_t Content = -1; // content combo: -1 every content, else the ContentRss wanted
    std::string Language; // "Langue": "" every language
    bool ActiveOnly = false;
    std::string Group; // "Du groupe": "" every group
};
// The days behind the entries of "Afficher", in their order.
const std::vector<int>& FeedFilter_Periods();
// Sets or clears the visible bit of every feed; returns the number visible.
int FilterFeedList(CursorList<Rss>& list, const FeedFilter& filter, int32_t now);
// The distinct languages and groups of the list, in order of first appearance.
std::vector<std::string> FeedSelection_Languages(const CursorList<Rss>& list);
std::vector<std::string> FeedSelection_Groups(const CursorList<Rss>& list);

// The confirmation: 0 when no feed is selected (nothing changed); otherwise removes the
// unselected feeds, gives the kept ones the destination group (cleaned) when
// `changeGroup`, and returns the number kept.
int FeedSelection_Keep(CursorList<Rss>& list, bool changeGroup, const std::string& group);
// The group a feed found dead is moved to ("Obsolète", in feed bank mode "Obsolète test").
std::string ObsoleteGroupName();

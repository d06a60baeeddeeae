// The item store's in-memory side: adding articles to a feed, their identifiers, the
// read state, the recently played lists and the article list commands' core.
// Everything here runs on the interface thread (or under the update lock).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/core/Records.h"

// Recently played feeds (`RssID`) and articles (`FeedID`), most recent first, at most
// 10 entries each. Owned by the audio player; read and written by the store too.
extern std::vector<int32_t> PlayedFeeds;
extern std::vector<int32_t> PlayedItems;
enum { PLAYED_LIST_MAX = 10 };
// Puts `id` at the front; an id already present changes nothing; an 11th drops the oldest.
void PlayedList_Add(std::vector<int32_t>& list, int32_t id);
// 0-based position of `id`, -1 when absent.
int PlayedList_Position(const std::vector<int32_t>& list, int32_t id);

// Appends (atEnd = 1) or inserts at the start (atEnd = 0) a copy of `item` into the
// current feed's `Items`. Gives it a run-wide `FeedID` when it has none and an `ID` when
// empty, derives `AudioFile` from `AudioLink`, marks the feed changed and sets AppState
// bit 4. Returns 1, or 0 when no feed is current. No duplicate check.
int Item_Add(const Item& item, int atEnd);
// The same into a given feed (the loaders use it without moving the catalogue cursor).
int Item_AddTo(Rss& feed, const Item& item, int atEnd);
int Item_AddTo(Rss& feed, Item&& item, int atEnd);
// Loader step: drops an article without title, else Item_AddTo(feed, item, 1); when
// `lastPlayed` is set its FeedID goes to the front of PlayedItems. Returns 1 when added.
int Items_AddLoaded(Rss& feed, Item item, int lastPlayed);
// MD5 (lower-case hex) of the UTF-16LE bytes of lower-case(feedUrl + GUID + Title).
std::string MakeItemID(const Item& item, std::string_view feedUrl);
// Local file name of an enclosure: percent-decoded, the text after the last "/", cut at
// the first "?"; empty when that has no extension.
std::string AudioFileNameFromUrl(std::string_view url);
// Forgets the run-wide article counter (tests).
void Items_ResetFeedIDCounter();

// Read state. ReadStamp(state) = (now with its low 4 bits cleared) | (state & 3).
int32_t ReadStamp(int32_t state);
// Current local wall-clock time in seconds since 1970 (the program's date scale).
int32_t Items_Now();
// Sets the read bit (stamped now) when `read` and (force or unread), clears it when !read
// and (force or read); the resume position returns to the start in both cases.
void SetItemRead(Item& item, int read, int force);
// Marks the article `feedID` read (unless frozen by bit 1); marks its feed changed.
// Returns 1 when the article was found and not frozen, else 0.
int SetReaded(int32_t feedID, int force);
// Bit 0 of the article's `Readed`; 0 when not found.
int IsReaded(int32_t feedID);
// The article with this run-wide id: the current article when it matches, else a search
// of every feed. `feedOut` receives its feed. nullptr when absent.
Item* Item_FindByFeedID(int32_t feedID, Rss** feedOut = nullptr);

// Hooks filled by later modules; each may stay empty.
// Applies any read state the synchronisation recorded for the article's ID.
extern bool (*Items_SyncApplyHook)(Item& item);
// Releases the downloaded enclosure file of an article about to be deleted.
extern void (*Items_ReleaseFileHook)(Rss& feed, Item& item);
// An article's displayed state changed (read mark): the list refreshes its row.
extern void (*Items_RowChangedHook)(Rss& feed, Item& item);

// One row of the article list: the article and the feed that owns it.
struct ItemRow {
    Rss* Feed = nullptr;
    Item* Article = nullptr;
};
// Deletes the rows' articles from their feeds (downloaded files released through the
// hook first), marks those feeds changed. Returns the number deleted. The caller refreshes
// the list and announces "Article supprimé !".
int Items_DeleteSelected(const std::vector<ItemRow>& rows);
// Searches the rows for the lower-cased `text` in the lower-cased Title or Description:
// direction > 0 from the row after `selected` down, else from the row before `selected`
// (the last row when selected < 0) up. No wrap-around. Returns the row index or -1.
long Items_Find(const std::vector<ItemRow>& rows, long selected, int direction,
                std::string_view text);

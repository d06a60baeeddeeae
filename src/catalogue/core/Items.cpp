#include "catalogue/core/Items.h"

#include <algorithm>
#include <ctime>
#include <limits>

#include "platform/core/Hash.h"
#include "platform/core/Text.h"
#include "shell/base/AppState.h"

std::vector<int32_t> PlayedFeeds;
std::vector<int32_t> PlayedItems;

bool (*Items_SyncApplyHook)(Item& item) = nullptr;
void (*Items_ReleaseFileHook)(Rss& feed, Item& item) = nullptr;
void (*Items_RowChangedHook)(Rss& feed, Item& item) = nullptr;

static int32_t g_lastFeedID = 0;

void Items_ResetFeedIDCounter() {
    g_lastFeedID = 0;
}

void PlayedList_Add(std::vector<int32_t>& list, int32_t id) {
    if (std::find(list.begin(), list.end(), id) != list.end()) return;
    list.insert(list.begin(), id);
    if (list.size() > PLAYED_LIST_MAX) list.resize(PLAYED_LIST_MAX);
}

int PlayedList_Position(const std::vector<int32_t>& list, int32_t id) {
    const auto it = std::find(list.begin(), list.end(), id);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

std::string MakeItemID(const Item& item, std::string_view feedUrl) {
    std::string text(feedUrl);
    text += item.GUID;
    text += item.Title;
    return Md5Hex(Utf8ToUtf16LEBytes(Utf8Lower(text)));
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static std::string PercentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = HexValue(s[i + 1]), lo = HexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out.push_back(static_cast<char>(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        out.push_back(s[i]);
    }
    // Escapes of old servers are often Windows-1252 bytes rather than UTF-8.
    if (!IsValidUtf8(out)) out = Cp1252ToUtf8(out);
    return out;
}

std::string AudioFileNameFromUrl(std::string_view url) {
    std::string name = PercentDecode(url);
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t q = name.find('?');
    if (q != std::string::npos) name.erase(q);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot + 1 == name.size()) return {};
    return name;
}

int Item_AddTo(Rss& feed, const Item& item, int atEnd) {
    return Item_AddTo(feed, Item(item), atEnd);
}

int Item_AddTo(Rss& feed, Item&& item, int atEnd) {
    Item& added =
        atEnd ? feed.Items.AddLast(std::move(item)) : feed.Items.AddFirst(std::move(item));
    if (added.FeedID == 0) added.FeedID = ++g_lastFeedID;
    if (added.ID.empty()) added.ID = MakeItemID(added, feed.Url);
    if (!added.AudioLink.empty()) added.AudioFile = AudioFileNameFromUrl(added.AudioLink);
    AppState_Set(APPSTATE_ITEMS_TO_SAVE);
    feed.ItemsChanged = 1;
    if (Items_SyncApplyHook) Items_SyncApplyHook(added);
    return 1;
}

int Item_Add(const Item& item, int atEnd) {
    Rss* feed = RssList.Current();
    if (!feed) return 0;
    return Item_AddTo(*feed, item, atEnd);
}

int Items_AddLoaded(Rss& feed, Item item, int lastPlayed) {
    if (item.Title.empty()) return 0;
    const int added = Item_AddTo(feed, std::move(item), 1);
    if (added && lastPlayed) PlayedList_Add(PlayedItems, feed.Items.Current()->FeedID);
    return added;
}

int32_t Items_Now() {
    const time_t t = std::time(nullptr);
    struct tm local {};
#ifdef _WIN32
    localtime_s(&local, &t);
    const long long wall = static_cast<long long>(_mkgmtime(&local));
#else
    localtime_r(&t, &local);
    const long long wall = static_cast<long long>(timegm(&local));
#endif
    return static_cast<int32_t>(
        std::clamp<long long>(wall, 0, std::numeric_limits<int32_t>::max()));
}

int32_t ReadStamp(int32_t state) {
    return static_cast<int32_t>((static_cast<uint32_t>(Items_Now()) & ~15u) |
                                (static_cast<uint32_t>(state) & 3u));
}

void SetItemRead(Item& item, int read, int force) {
    const bool isRead = (item.Readed & 1) != 0;
    if (read && (force || !isRead)) item.Readed = ReadStamp(1);
    if (!read && (force || isRead)) item.Readed = ReadStamp(0);
    item.AudioPos = 0;
}

Item* Item_FindByFeedID(int32_t feedID, Rss** feedOut) {
    if (Rss* cur = RssList.Current()) {
        if (Item* item = cur->Items.Current(); item && item->FeedID == feedID) {
            if (feedOut) *feedOut = cur;
            return item;
        }
    }
    for (Rss& feed : RssList)
        for (Item& item : feed.Items)
            if (item.FeedID == feedID) {
                if (feedOut) *feedOut = &feed;
                return &item;
            }
    return nullptr;
}

int SetReaded(int32_t feedID, int force) {
    Rss* feed = nullptr;
    Item* item = Item_FindByFeedID(feedID, &feed);
    if (!item) return 0;
    if (item->Readed & 2) return 0;
    if (force || !(item->Readed & 1)) {
        AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        feed->ItemsChanged = 1;
        SetItemRead(*item, 1, force);
        if (Items_RowChangedHook) Items_RowChangedHook(*feed, *item);
    }
    return 1;
}

int IsReaded(int32_t feedID) {
    const Item* item = Item_FindByFeedID(feedID);
    return item ? (item->Readed & 1) : 0;
}

int Items_DeleteSelected(const std::vector<ItemRow>& rows) {
    int deleted = 0;
    for (const ItemRow& row : rows) {
        if (!row.Feed || !row.Article) continue;
        auto& list = row.Feed->Items.Raw();
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const Item& i) { return &i == row.Article; });
        if (it == list.end()) continue;
        if (Items_ReleaseFileHook) Items_ReleaseFileHook(*row.Feed, *it);
        // Keep the feed's cursor valid: a cursor on the deleted article moves back one.
        if (row.Feed->Items.CurrentIterator() == it) {
            row.Feed->Items.DeleteCurrent();
        } else {
            list.erase(it);
        }
        // A deletion must reach the disk like any other change, or the article returns.
        row.Feed->ItemsChanged = 1;
        AppState_Set(APPSTATE_ITEMS_TO_SAVE);
        ++deleted;
    }
    return deleted;
}

static bool RowMatches(const ItemRow& row, const std::string& needle) {
    if (!row.Article) return false;
    return Utf8Lower(row.Article->Title).find(needle) != std::string::npos ||
           Utf8Lower(row.Article->Description).find(needle) != std::string::npos;
}

long Items_Find(const std::vector<ItemRow>& rows, long selected, int direction,
                std::string_view text) {
    const std::string needle = Utf8Lower(text);
    const long count = static_cast<long>(rows.size());
    if (direction > 0) {
        for (long i = (selected < 0 ? 0 : selected + 1); i < count; ++i)
            if (RowMatches(rows[i], needle)) return i;
    } else {
        for (long i = (selected < 0 ? count - 1 : selected - 1); i >= 0; --i)
            if (i < count && RowMatches(rows[i], needle)) return i;
    }
    return -1;
}

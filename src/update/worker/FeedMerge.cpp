// The merge of a finished update into the feed's articles, and the "updated since" text.
#include <string>
#include <vector>

#include "catalogue/core/Items.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

static Rss* FindFeed(int32_t rssID) {
    for (Rss& r : RssList)
        if (r.RssID == rssID) return &r;
    return nullptr;
}

int Item_Find(CursorList<Item>& list, const Item& item) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        const bool same = item.GUID.empty()
                              ? (it->GUID.empty() && Utf8Lower(it->Title) == Utf8Lower(item.Title))
                              : it->GUID == item.GUID;
        if (same) {
            list.SetCurrent(it);
            return 1;
        }
    }
    return 0;
}

std::string Item_Compare(const Item& before, const Item& after) {
    std::string c;
    if (Utf8Lower(before.Title) != Utf8Lower(after.Title)) c += "T ";
    if (before.Description != after.Description) c += "D ";
    if (before.AudioFileLength != after.AudioFileLength) c += "F ";
    if (before.AudioLink != after.AudioLink) c += "A ";
    if (before.ItunesDuration != after.ItunesDuration) c += "I ";
    return c;
}

int Feed_Update(DownloadEntry& entry, const std::vector<Item>& parsed) {
    Rss* feed = FindFeed(entry.RssID);
    if (!feed || parsed.empty()) return 0;

    // A feed whose stored text comes out of the merge unchanged is not marked for saving,
    // so the automatic save does not rewrite every file after each round of updates.
    const bool wasChanged = feed->ItemsChanged != 0;
    const std::string storedText = wasChanged ? std::string() : Feed_ItemsText(*feed);

    CursorList<Item> oldItems;
    oldItems.Raw().swap(feed->Items.Raw());
    oldItems.Reset();
    feed->Items.Reset();

    for (const Item& p : parsed) {
        if ((feed->Flags & RSSFLAG_REMOVE_DUPLICATE) && Item_Find(feed->Items, p)) continue;
        if (Item_Find(oldItems, p)) {
            Item& o = *oldItems.Current();
            const std::string c = Item_Compare(o, p);
            if (c.empty()) {
                Item kept = std::move(o);
                kept.TypeUpdate = ".";
                kept.Views = p.Views;
                Item_AddTo(*feed, std::move(kept), 1);
            } else {
                Item changed = p;
                changed.FeedID = o.FeedID;
                changed.ID = o.ID;
                changed.CustomAudioFile = o.CustomAudioFile;
                changed.AudioPos = o.AudioPos;
                changed.TypeUpdate = c;
                changed.Readed = o.Readed;
                if (feed->Flags & RSSFLAG_SET_UPDATED_AS_UNREADED) changed.Readed &= ~1;
                Item_AddTo(*feed, std::move(changed), 1);
                ++entry.UpdatedCount;
            }
            oldItems.DeleteCurrent();
        } else {
            Item added = p;
            added.TypeUpdate = "+";
            Item_AddTo(*feed, std::move(added), 1);
            ++entry.NewCount;
        }
    }

    if ((feed->Flags & RSSFLAG_ALARM) && (feed->Updated != 0 || (PrefFlags & PREF_ALARMONSTART)) &&
        (entry.NewCount != 0 ||
         (entry.UpdatedCount != 0 && (feed->Flags & RSSFLAG_SET_UPDATED_AS_UNREADED))))
        Notify(feed->Name, ALARM_NEW_ARTICLES);

    int32_t kept = 0;
    for (Item& o : oldItems) {
        if (kept >= feed->MaxFeed) break;
        Item_AddTo(*feed, std::move(o), 1);
        ++kept;
    }

    const FeedThreadHooks& hooks = FeedThread_Hooks();
    if (feed->NbAutoDownLoadPodCast > 0 && hooks.PodcastFileName && hooks.PodcastQueue) {
        int32_t n = 0;
        for (Item& it : feed->Items) {
            if (n++ >= feed->NbAutoDownLoadPodCast) break;
            const std::string name = hooks.PodcastFileName(*feed, it);
            if (name != it.CustomAudioFile) {
                it.CustomAudioFile = name;
                feed->ItemsChanged = 1;
            }
            hooks.PodcastQueue(*feed, it);
        }
    }
    feed->Items.Reset();
    if (!wasChanged && Feed_ItemsText(*feed) == storedText) feed->ItemsChanged = 0;
    return static_cast<int>(parsed.size());
}

// ---------------------------------------------------------------------------------------

std::string UpdatedSinceText(int32_t date, int32_t now) {
    if (date == 0) return Lng(L_Status_NotUpdatedRss);
    int64_t elapsed = static_cast<int64_t>(now) - date;
    if (elapsed < 0) elapsed = 0;
    const int64_t h = elapsed / 3600;
    const int64_t m = (elapsed % 3600) / 60;
    if (h && m)
        return Lng(L_Status_UpdatedRSSInHourAndMinute, std::to_string(h), std::to_string(m));
    if (h) return Lng(L_Status_UpdatedRSSInHour, std::to_string(h));
    if (m) return Lng(L_Status_UpdatedRSSInMinute, std::to_string(m));
    return Lng(L_Status_UpdatedRSS);
}

std::string UpdatedSinceText(int32_t date) {
    return UpdatedSinceText(date, Items_Now());
}

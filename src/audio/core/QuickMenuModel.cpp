#include "audio/core/QuickMenuModel.h"

#include "audio/core/Audio.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/AppState.h"
#include "shell/base/Lng.h"
#include "shell/base/Prefs.h"

std::vector<int32_t> QuickUnreadTargets;
std::vector<int32_t> QuickPartialTargets;

namespace {
QuickMenuEntry Entry(std::string label, int command, bool enabled = true) {
    QuickMenuEntry e;
    e.Label = std::move(label);
    e.Command = command;
    e.Enabled = enabled;
    return e;
}

// A label a screen reader can read: the text, or a word saying what the entry is.
std::string Readable(const std::string& text, const std::string& fallback) {
    for (char c : text)
        if (c != ' ' && c != '\t') return text;
    return fallback;
}

bool OfferedUnread(const Item& item) {
    if (item.Readed != 0) return false;
    if ((PrefFlags & PREF_PLAYLINKBYDEFAULT) && Audio_IsPlayable(item.AudioLink, true)) return true;
    const std::string& file = !item.CustomAudioFile.empty() ? item.CustomAudioFile : item.AudioFile;
    return Audio_IsPlayable(file, false);
}

Rss* FeedOf(int32_t rssID) {
    for (Rss& f : RssList)
        if (f.RssID == rssID) return &f;
    return nullptr;
}

// Keeps the first `max` entries that still name something; the others are removed.
template <typename F> void DropMissing(std::vector<int32_t>& list, size_t max, F exists) {
    for (size_t p = 0; p < list.size() && p < max;) {
        if (exists(list[p]))
            ++p;
        else
            list.erase(list.begin() + static_cast<long>(p));
    }
}
} // namespace

std::vector<QuickMenuEntry> QuickMenu_Build(const std::string& appName) {
    QuickUnreadTargets.clear();
    QuickPartialTargets.clear();
    std::vector<QuickMenuEntry> menu;
    const bool loaded = Audio.State & AUDIO_STATE_LOADED;
    const bool paused = Audio.State & AUDIO_STATE_PAUSED;
    menu.push_back(Entry(Lng(L_PopMenu_SysTrayOut, appName), QUICKCMD_RESTORE));
    menu.push_back(Entry(Lng(paused ? L_PodcastPopUpMenu_Resume : L_PodcastPopUpMenu_Pause),
                         QUICKCMD_PAUSE, loaded && !Audio.RadioID));
    menu.push_back(Entry(Lng(L_Menu_Stop), QUICKCMD_STOP, loaded));
    if (loaded && Audio.RadioID)
        menu.push_back(Entry(Lng(L_PodcastPopUpMenu_LinkRadioToCLipBoard), QUICKCMD_COPY_LINK,
                             !Audio_LoadedLink().empty()));
    else
        menu.push_back(Entry(Lng(L_PodcastPopUpMenu_LinkToCLipBoard), QUICKCMD_COPY_LINK,
                             !Audio_LoadedLink().empty()));

    // Unread podcasts, by feed, at most 5 a feed and 90 in all.
    QuickMenuEntry unread = Entry(Lng(L_PodcastPopUpMenu_UnReaded), 0);
    for (Rss& feed : RssList) {
        if (QuickUnreadTargets.size() >= QUICK_UNREAD_MAX) break;
        if (!(feed.Flags & RSSFLAG_ADD_TO_PODCAST_LIST)) continue;
        QuickMenuEntry sub = Entry(Readable(feed.Name, Lng(L_Audio_Podcast)), 0);
        for (Item& item : feed.Items) {
            if (sub.Sub.size() >= QUICK_UNREAD_PER_FEED ||
                QuickUnreadTargets.size() >= QUICK_UNREAD_MAX)
                break;
            if (!OfferedUnread(item)) continue;
            sub.Sub.push_back(
                Entry(Readable(item.Title, Lng(L_Audio_Podcast)),
                      QUICKCMD_UNREAD_FIRST + static_cast<int>(QuickUnreadTargets.size())));
            QuickUnreadTargets.push_back(item.FeedID);
        }
        if (!sub.Sub.empty()) unread.Sub.push_back(std::move(sub));
    }
    menu.push_back(std::move(unread));

    // Podcasts left half-way.
    QuickMenuEntry partial = Entry(Lng(L_PodcastPopUpMenu_Paused), 0);
    for (Rss& feed : RssList)
        for (Item& item : feed.Items) {
            if (QuickPartialTargets.size() >= QUICK_PARTIAL_MAX) break;
            if (item.AudioPos < 1) continue;
            partial.Sub.push_back(
                Entry(Readable(item.Title, Lng(L_Audio_Podcast)),
                      QUICKCMD_PARTIAL_FIRST + static_cast<int>(QuickPartialTargets.size())));
            QuickPartialTargets.push_back(item.FeedID);
        }
    menu.push_back(std::move(partial));

    // Recently played podcasts; the articles deleted since leave the list.
    DropMissing(PlayedItems, QUICK_PLAYED_MAX,
                [](int32_t id) { return Item_FindByFeedID(id) != nullptr; });
    if (!PlayedItems.empty()) {
        QuickMenuEntry played = Entry(Lng(L_PodcastPopUpMenu_LastPodcast), 0);
        for (size_t p = 0; p < PlayedItems.size() && p < QUICK_PLAYED_MAX; ++p) {
            const Item* item = Item_FindByFeedID(PlayedItems[p]);
            played.Sub.push_back(Entry(Readable(item->Title, Lng(L_Audio_Podcast)),
                                       QUICKCMD_PLAYED_FIRST + static_cast<int>(p)));
        }
        menu.push_back(std::move(played));
    }

    // Recently played radios, only where radios can play.
    if (!PlayedFeeds.empty() && Audio_IsBass(Audio.Engine)) {
        DropMissing(PlayedFeeds, QUICK_PLAYED_MAX,
                    [](int32_t id) { return FeedOf(id) != nullptr; });
        if (!PlayedFeeds.empty()) {
            QuickMenuEntry radios = Entry(Lng(L_PodcastPopUpMenu_LastRadio), 0);
            for (size_t p = 0; p < PlayedFeeds.size() && p < QUICK_PLAYED_MAX; ++p)
                radios.Sub.push_back(
                    Entry(Readable(FeedOf(PlayedFeeds[p])->Name, Lng(L_Audio_Radio)),
                          QUICKCMD_RADIO_FIRST + static_cast<int>(p)));
            menu.push_back(std::move(radios));
        }
    }

    if (loaded) {
        menu.push_back(Entry(Readable(Audio_LoadedFeedText(), Lng(L_Title_Rss)), QUICKCMD_FEED));
        menu.push_back(Entry(
            Readable(Audio_LoadedItemText(), Lng(Audio.RadioID ? L_Audio_Radio : L_Audio_Podcast)),
            QUICKCMD_PAUSED));
    }
    QuickMenuEntry mute = Entry(Lng(L_Menu_Mute), QUICKCMD_MUTE);
    mute.Checkable = true;
    mute.Checked = AppState_Test(APPSTATE_MUTED) != 0;
    menu.push_back(std::move(mute));
    return menu;
}

bool QuickMenu_Run(int command, int32_t* rssOut, int32_t* feedIdOut) {
    int32_t feedId = 0;
    auto at = [](const std::vector<int32_t>& list, int n) {
        return n >= 0 && static_cast<size_t>(n) < list.size() ? list[static_cast<size_t>(n)] : 0;
    };
    if (command >= QUICKCMD_UNREAD_FIRST && command < QUICKCMD_UNREAD_FIRST + QUICK_UNREAD_MAX)
        feedId = at(QuickUnreadTargets, command - QUICKCMD_UNREAD_FIRST);
    else if (command >= QUICKCMD_PLAYED_FIRST && command < QUICKCMD_PLAYED_FIRST + QUICK_PLAYED_MAX)
        feedId = at(PlayedItems, command - QUICKCMD_PLAYED_FIRST);
    else if (command >= QUICKCMD_PARTIAL_FIRST &&
             command < QUICKCMD_PARTIAL_FIRST + QUICK_PARTIAL_MAX)
        feedId = at(QuickPartialTargets, command - QUICKCMD_PARTIAL_FIRST);
    else if (command >= QUICKCMD_RADIO_FIRST && command < QUICKCMD_RADIO_FIRST + QUICK_PLAYED_MAX) {
        Rss* radio = FeedOf(at(PlayedFeeds, command - QUICKCMD_RADIO_FIRST));
        if (!radio) return false;
        if (rssOut) *rssOut = radio->RssID;
        Radio_Play(radio);
        return true;
    }
    Rss* feed = nullptr;
    Item* item = feedId ? Item_FindByFeedID(feedId, &feed) : nullptr;
    if (!item || !feed) return false;
    if (rssOut) *rssOut = feed->RssID;
    if (feedIdOut) *feedIdOut = item->FeedID;
    Item_Play(*feed, *item);
    return true;
}

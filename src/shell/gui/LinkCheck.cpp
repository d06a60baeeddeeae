#include "shell/gui/LinkCheck.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include <wx/menu.h>

#include "access/core/Shortcuts.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/Log.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/gui/MainMenus.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {
// Commands of modules that are not part of this build yet. A module that lands installs
// its commands from its own link function and takes its numbers out of this list.
const int kPendingCommands[] = {
    // Subscribing to an article's video channel.
    CMD_SUBSCRIBE_CHANNEL,
};

// Hook slots of modules not built yet.
const std::vector<const char*> kPendingSlots = {
#ifndef ORVALIS_HAVE_MPV
    // Built without libmpv the alarms have no sound.
    "AlarmHooks.SoundAvailable",
    "AlarmHooks.PlaySound",
    "AlarmHooks.SoundPlaying",
    "AlarmHooks.StopSound",
#endif
};

struct Slot {
    const char* Name;
    bool Linked;
};

// Every hook slot that must be filled. (Slots whose empty value has a meaning, such as
// the speech hooks that fall back to the screen reader, are not listed.)
std::vector<Slot> Slots() {
    const MainHooks& m = Main_Hooks();
    const FeedThreadHooks& f = FeedThread_Hooks();
    const AlarmHooks& a = Alarm_Hooks();
    return {
        {"MainHooks.UpdateTick", !m.UpdateTick.empty()},
        {"MainHooks.PodcastTick", !m.PodcastTick.empty()},
        {"MainHooks.SecondTick", !m.SecondTick.empty()},
        {"MainHooks.BackNormal", !m.BackNormal.empty()},
        {"MainHooks.SyncTick", !m.SyncTick.empty()},
        {"MainHooks.PodcastsDownloading", static_cast<bool>(m.PodcastsDownloading)},
        {"MainHooks.UpdateQueueCount", static_cast<bool>(m.UpdateQueueCount)},
        {"MainHooks.UpdatingFeedName", static_cast<bool>(m.UpdatingFeedName)},
        {"MainHooks.AudioState", static_cast<bool>(m.AudioState)},
        {"FeedThreadHooks.Selection", static_cast<bool>(f.Selection)},
        {"FeedThreadHooks.Refresh", static_cast<bool>(f.Refresh)},
        {"FeedThreadHooks.FeedDone", static_cast<bool>(f.FeedDone)},
        {"FeedThreadHooks.PodcastFileName", static_cast<bool>(f.PodcastFileName)},
        {"FeedThreadHooks.PodcastQueue", static_cast<bool>(f.PodcastQueue)},
        {"FeedThreadHooks.PodcastAutoDownload", static_cast<bool>(f.PodcastAutoDownload)},
        {"AlarmHooks.PopUp", static_cast<bool>(a.PopUp)},
        {"AlarmHooks.SoundAvailable", static_cast<bool>(a.SoundAvailable)},
        {"AlarmHooks.PlaySound", static_cast<bool>(a.PlaySound)},
        {"AlarmHooks.SoundPlaying", static_cast<bool>(a.SoundPlaying)},
        {"AlarmHooks.StopSound", static_cast<bool>(a.StopSound)},
        {"Items_RowChangedHook", Items_RowChangedHook != nullptr},
        {"Items_SyncApplyHook", Items_SyncApplyHook != nullptr},
        {"Items_ReleaseFileHook", Items_ReleaseFileHook != nullptr},
    };
}

void AddMenu(const wxMenu* menu, std::vector<int>& ids) {
    if (!menu) return;
    for (const wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSeparator()) continue;
        if (item->IsSubMenu())
            AddMenu(item->GetSubMenu(), ids);
        else
            ids.push_back(item->GetId());
    }
}

void AddOwned(wxMenu* menu, std::vector<int>& ids) {
    std::unique_ptr<wxMenu> owned(menu);
    AddMenu(owned.get(), ids);
}
} // namespace

std::vector<int> MainLinks_Commands(wxMenuBar* bar) {
    std::vector<int> ids;
    std::unique_ptr<wxMenuBar> own;
    if (!bar) {
        own.reset(MainMenus_CreateBar(false, true));
        bar = own.get();
    }
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        AddMenu(bar->GetMenu(i), ids);
    Rss feed;
    Item item;
    AddOwned(MainMenus_Group(), ids);
    AddOwned(MainMenus_Feed(feed), ids);
    AddOwned(MainMenus_Radio(feed), ids);
    AddOwned(MainMenus_Article(item), ids);
    AddOwned(MainMenus_Grouped(), ids);
    AddOwned(MainMenus_Tray("Orvalis"), ids);
    for (const Shortcut& s : ShortcutList)
        ids.push_back(s.Kind == SHORTCUT_GLOBAL ? HotKey_Command(s.EventID) : s.EventID);
    for (const FixedAccelerator& a : MainWindow_FixedAccelerators(true))
        ids.push_back(a.Command);
    ids.push_back(CMD_ESCAPE);
    ids.push_back(CMD_CONTEXT_MENU);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    ids.erase(std::remove(ids.begin(), ids.end(), 0), ids.end());
    return ids;
}

bool MainLinks_CommandPending(int id) {
    return std::find(std::begin(kPendingCommands), std::end(kPendingCommands), id) !=
           std::end(kPendingCommands);
}

bool MainLinks_SlotPending(const std::string& slot) {
    for (const char* s : kPendingSlots)
        if (slot == s) return true;
    return false;
}

std::vector<LinkGap> MainLinks_Gaps(const std::vector<int>& commands) {
    std::vector<LinkGap> gaps;
    for (const Slot& s : Slots())
        if (!s.Linked) gaps.push_back({s.Name, MainLinks_SlotPending(s.Name)});
    for (int id : commands)
        if (!Command_Find(id))
            gaps.push_back({"command " + std::to_string(id), MainLinks_CommandPending(id)});
    return gaps;
}

int MainLinks_Check(wxMenuBar* bar) {
    int missing = 0;
    std::string pending;
    const std::vector<int> commands = MainLinks_Commands(bar);
    for (const LinkGap& g : MainLinks_Gaps(commands)) {
        if (g.Pending) {
            pending += (pending.empty() ? "" : ", ") + g.Slot;
            continue;
        }
        Log("! Not linked : " + g.Slot);
        ++missing;
    }
    if (!pending.empty()) Log("- Not yet linked : " + pending);
    // A module that landed and still stands in the pending list: the list is to shrink.
    std::string landed;
    for (int id : commands)
        if (MainLinks_CommandPending(id) && Command_Find(id))
            landed += (landed.empty() ? "" : ", ") + std::to_string(id);
    if (!landed.empty()) Log("- Linked but listed as pending : " + landed);
    return missing;
}

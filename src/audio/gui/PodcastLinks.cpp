#include "audio/gui/PodcastLinks.h"

#include <wx/frame.h>
#include <wx/menu.h>

#include "audio/core/Audio.h"
#include "audio/core/PodcastFile.h"
#include "audio/core/PodcastQueue.h"
#include "audio/core/SyncPod.h"
#include "audio/gui/AudioLinks.h"
#include "audio/gui/PodcastDialog.h"
#include "audio/gui/SyncPodDrivesGio.h"
#include "audio/gui/SyncPodWindow.h"
#include "catalogue/core/Items.h"
#include "catalogue/core/Records.h"
#include "shell/base/Lng.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "update/net/DownloadTool.h"
#include "update/worker/FeedThread.h"
#include "update/worker/Notifications.h"

namespace {
AudioWindowLinks s_links;
bool s_loaded = false;
bool s_syncComplete = false; // the copy-to-player set was complete at the last count
int32_t s_playing = 0;       // the article the list last showed as playing
int32_t s_downloading = 0;   // the article the list last showed as being downloaded
std::string s_progress;      // and the progress it showed

void SayText(const std::string& text) {
    if (s_links.Say) s_links.Say(text);
}

void Status() {
    if (s_links.Status) s_links.Status();
}

// Rewrites an article's row in the list, when the window lists it.
void Row(int32_t feedId) {
    if (feedId == 0 || !Items_RowChangedHook) return;
    Rss* feed = nullptr;
    if (Item* item = Item_FindByFeedID(feedId, &feed); item && feed)
        Items_RowChangedHook(*feed, *item);
}

wxMenuBar* Bar() {
    if (s_links.Bar) return s_links.Bar;
    return s_links.Window ? s_links.Window->GetMenuBar() : nullptr;
}

// A menu entry's text, keeping the key shown after its tab.
void SetLabel(wxMenuBar* bar, int id, const std::string& text, bool enabled) {
    wxMenuItem* item = bar ? bar->FindItem(id) : nullptr;
    if (!item) return;
    const wxString old = item->GetItemLabel();
    const int tab = old.Find('\t');
    const wxString keys = tab == wxNOT_FOUND ? wxString() : old.Mid(static_cast<size_t>(tab));
    const wxString label = wxString::FromUTF8(text) + keys;
    if (label != old) item->SetItemLabel(label);
    if (item->IsEnabled() != enabled) item->Enable(enabled);
}

// The two copy-to-player entries, and the alarm when the last expected file arrived.
void SyncMenu() {
    const SyncPodMenu m = IsCanSyncPod();
    wxMenuBar* bar = Bar();
    SetLabel(bar, CMD_PODCAST_COPY, m.CopyText, m.Enabled);
    SetLabel(bar, CMD_PODCAST_SYNC, m.SyncText, m.Enabled);
    if (SyncPod_AlarmDue(m, s_syncComplete))
        Notify(Lng(L_Msg_AllPodcastDownloaded), ALARM_PODCASTS_DOWNLOADED);
}

// The rows whose status text moves on its own: the download's progress, and the article
// the audio engine starts or stops playing.
void RefreshStatusRows() {
    int32_t downloading = 0;
    {
        std::lock_guard<std::mutex> lock(DownloadProgressLock);
        downloading = PodCastDownload_IsRunning() ? DownloadProgressFeedID : 0;
    }
    const std::string progress = downloading ? DownloadProgress_Get() : std::string();
    // A new download (or its end) shows at once; its progress every 2 s only, so that a
    // screen reader on that row is not made to read it again at every step.
    static int ticks = 0;
    ++ticks;
    if (downloading != s_downloading || (progress != s_progress && ticks >= 10)) {
        if (s_downloading != downloading) Row(s_downloading);
        Row(downloading);
        s_downloading = downloading;
        s_progress = progress;
        ticks = 0;
    }
    const int32_t playing = (Audio.State & AUDIO_STATE_LOADED) ? Audio.FeedID : 0;
    if (playing != s_playing) {
        Row(s_playing);
        Row(playing);
        s_playing = playing;
    }
}

void Tick() {
    if (!s_loaded) {
        // Start-up: the articles are loaded by the first tick.
        s_loaded = true;
        PodCastDownload_Load();
        PodCastPurge();
        // What is already there raises no alarm: only a set completed from now on.
        s_syncComplete = false;
        const SyncPodMenu m = IsCanSyncPod();
        s_syncComplete = m.Enabled && m.Complete;
        SetLabel(Bar(), CMD_PODCAST_COPY, m.CopyText, m.Enabled);
        SetLabel(Bar(), CMD_PODCAST_SYNC, m.SyncText, m.Enabled);
    }
    PodCastDownload_InThread();
    RefreshStatusRows();
}

bool RunSync(int copyOnly) {
    if (wxFrame* w = s_links.Window) {
        // From the tray: the window comes back first.
        if (w->IsIconized()) w->Iconize(false);
        if (!w->IsShown()) w->Show();
        w->Raise();
    }
    std::unique_ptr<SyncPodDrives> drives = SyncPodDrives_Gio();
    SyncPod_Run(s_links.Window, copyOnly, *drives);
    return true;
}
} // namespace

void Podcast_Link(const AudioWindowLinks& links) {
    s_links = links;
    s_loaded = false;
    s_playing = s_downloading = 0;
    s_progress.clear();
    PodcastQueue_Init();
    PodcastHooks& ph = Podcast_Hooks();
    ph.RowChanged = [](int32_t feedId) {
        Row(feedId);
        Status();
    };
    ph.StatusChanged = &Status;
    ph.SyncMenu = &SyncMenu;

    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.PodcastFileName = [](const Rss& feed, const Item& item) {
        return PodcastFileName(feed.CustomPodcastFileName, feed, item);
    };
    fh.PodcastQueue = [](Rss& feed, Item& item) { PodCastDownload_Push(item, feed.FilePath, 0); };
    // The merge queued the feed's newest enclosures: what the player would get changed.
    fh.PodcastAutoDownload = [](Rss&) { SyncMenu(); };
    Items_ReleaseFileHook = [](Rss& feed, Item& item) { Podcast_ReleaseFile(feed, item); };

    Audio_Ui().QueueAndPlay = [](Rss& feed, Item& item) {
        PodCastDownload_Push(item, feed.FilePath, PODCAST_PLAY);
        return true;
    };

    MainHooks& h = Main_Hooks();
    h.PodcastTick.push_back(&Tick);
    h.PrefsChanged.push_back(&SyncMenu);
    // Quitting asks first while a download runs with jobs in the queue.
    h.PodcastsDownloading = [] { return PodCastDownload_IsRunning() && PodCastDownload_Count(); };
    // The status line: what plays, then the download's progress.
    auto audioState = h.AudioState;
    h.AudioState = [audioState] {
        std::string text = audioState ? audioState() : std::string();
        const std::string pod = PodCastDownload_StatusText();
        if (!pod.empty()) text = text.empty() ? pod : text + ". " + pod;
        return text;
    };

    Command_Register(CMD_PODCAST_DOWNLOAD, [](int) {
        Rss* feed = nullptr;
        Item* item = s_links.SelectedArticle ? s_links.SelectedArticle(&feed) : nullptr;
        if (!item || !feed || item->AudioLink.empty()) return true;
        if (PodCastDownload_IsQueued(item->FeedID))
            PodCastDownload_Remove(item->FeedID);
        else
            PodCastDownload_Dialog(s_links.Window, *feed, *item);
        Status();
        return true;
    });
    Command_Register(CMD_DOWNLOADS, [](int) {
        if (s_links.Window) PodCastDownload_StatusMenu(s_links.Window, &SayText);
        return true;
    });
    Command_Register(CMD_PODCAST_COPY, [](int) { return RunSync(1); });
    Command_Register(CMD_PODCAST_SYNC, [](int) { return RunSync(0); });
}

void Podcast_Unlink() {
    PodCastDownload_Stop();
    PodCastDownload_Save();
    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.PodcastFileName = nullptr;
    fh.PodcastQueue = nullptr;
    fh.PodcastAutoDownload = nullptr;
    Items_ReleaseFileHook = nullptr;
    Audio_Ui().QueueAndPlay = nullptr;
    Podcast_Hooks().RowChanged = nullptr;
    Podcast_Hooks().StatusChanged = nullptr;
    Podcast_Hooks().SyncMenu = nullptr;
    s_links = AudioWindowLinks{};
}

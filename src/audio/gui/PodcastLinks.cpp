#include "audio/gui/PodcastLinks.h"

#include <wx/frame.h>

#include "audio/core/Audio.h"
#include "audio/core/PodcastFile.h"
#include "audio/core/PodcastQueue.h"
#include "audio/gui/AudioLinks.h"
#include "audio/gui/PodcastDialog.h"
#include "catalogue/core/Records.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "update/worker/FeedThread.h"

namespace {
AudioWindowLinks s_links;
bool s_loaded = false;

void SayText(const std::string& text) {
    if (s_links.Say) s_links.Say(text);
}

void Status() {
    if (s_links.Status) s_links.Status();
}

void Tick() {
    if (!s_loaded) {
        // Start-up: the articles are loaded by the first tick.
        s_loaded = true;
        PodCastDownload_Load();
        PodCastPurge();
    }
    PodCastDownload_InThread();
}
} // namespace

void Podcast_Link(const AudioWindowLinks& links) {
    s_links = links;
    s_loaded = false;
    PodcastQueue_Init();
    PodcastHooks& ph = Podcast_Hooks();
    ph.RowChanged = [](int32_t) { Status(); };
    ph.StatusChanged = &Status;

    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.PodcastFileName = [](const Rss& feed, const Item& item) {
        return PodcastFileName(feed.CustomPodcastFileName, feed, item);
    };
    fh.PodcastQueue = [](Rss& feed, Item& item) { PodCastDownload_Push(item, feed.FilePath, 0); };

    Audio_Ui().QueueAndPlay = [](Rss& feed, Item& item) {
        PodCastDownload_Push(item, feed.FilePath, PODCAST_PLAY);
        return true;
    };

    MainHooks& h = Main_Hooks();
    h.PodcastTick.push_back(&Tick);
    h.PodcastsDownloading = [] { return PodCastDownload_IsRunning(); };
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
}

void Podcast_Unlink() {
    PodCastDownload_Stop();
    PodCastDownload_Save();
    FeedThreadHooks& fh = FeedThread_Hooks();
    fh.PodcastFileName = nullptr;
    fh.PodcastQueue = nullptr;
    Audio_Ui().QueueAndPlay = nullptr;
    Podcast_Hooks().RowChanged = nullptr;
    Podcast_Hooks().StatusChanged = nullptr;
    s_links = AudioWindowLinks{};
}

// Copying the newest podcasts onto a portable player from the main window: the checks and
// the warning, the progress window (the drives and their folders, a progress bar, the
// start button and "Quitter"), the copy on a worker thread, and the final report.
#pragma once
#include <functional>
#include <string>

class wxWindow;
class SyncPodDrives;

// The boxes the run shows; RequestMessage unless a test replaces them.
struct SyncPodUi {
    std::function<int(const std::string& title, const std::string& text, int kind, wxWindow* owner)>
        Message;
};
SyncPodUi& SyncPod_Ui();

// Copies (copyOnly 1) or synchronises the podcasts onto the folder chosen among `drives`.
// Says why it stops ("Aucun lecteur amovible détecté !", "Aucun fichier à synchroniser !",
// the warning answered no). The window is modal; the copy runs on its own thread, and
// "Quitter" or closing while it runs asks before stopping it. Returns true when a copy
// ran (to its end or stopped).
bool SyncPod_Run(wxWindow* parent, int copyOnly, SyncPodDrives& drives);

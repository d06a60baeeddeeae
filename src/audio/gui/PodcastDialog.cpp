#include "audio/gui/PodcastDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "access/gui/AccessibleName.h"
#include "audio/core/PodcastFile.h"
#include "audio/core/PodcastQueue.h"
#include "catalogue/core/Records.h"
#include "catalogue/core/RssList.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"

static wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

std::vector<std::string> PodcastDialog_Names(const Rss& feed, const Item& item, bool podcast,
                                             std::vector<std::string>* masks) {
    std::vector<std::string> names, from;
    auto add = [&](const std::string& name, const std::string& mask) {
        if (name.empty()) return;
        for (const std::string& n : names)
            if (n == name) return;
        names.push_back(name);
        from.push_back(mask);
    };
    add(PodcastFileName(feed.CustomPodcastFileName, feed, item), feed.CustomPodcastFileName);
    add(item.CustomAudioFile.empty() ? item.AudioFile : item.CustomAudioFile, "");
    if (podcast)
        for (const std::string& mask : Podcast_Masks())
            add(PodcastFileName(mask, feed, item), mask);
    if (masks) *masks = from;
    return names;
}

void PodCastDownload_Dialog(wxWindow* parent, Rss& feed, Item& item) {
    if (item.AudioLink.empty()) return;
    const bool podcast = Podcast_IsPodcastFile(item.AudioFile);
    std::vector<std::string> masks;
    const std::vector<std::string> names = PodcastDialog_Names(feed, item, podcast, &masks);

    wxDialog dlg(parent, wxID_ANY,
                 W(podcast ? "Téléchargement d'un podcast" : "Téléchargement d'un fichier"),
                 wxDefaultPosition, wxSize(600, 200));
    auto* label = new wxStaticText(&dlg, wxID_ANY, W("Nom du fichier"));
    auto* combo = new wxComboBox(&dlg, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                 nullptr, wxCB_DROPDOWN);
    for (const std::string& n : names)
        combo->Append(W(n));
    if (!names.empty()) combo->SetSelection(0);
    Accessible_SetName(combo, "Nom du fichier");
    combo->SetName("PodcastFileNames");
    auto* check = new wxCheckBox(&dlg, wxID_ANY,
                                 W("Définir, cette selection, comme masque des podcasts du flux"));
    Accessible_SetName(check, "Définir, cette selection, comme masque des podcasts du flux");
    check->SetName("PodcastMaskCheck");
    check->Enable(podcast);
    auto* ok = new wxButton(&dlg, wxID_OK, W("Ok"));
    auto* quit = new wxButton(&dlg, wxID_CANCEL, W("Quitter"));
    Accessible_SetName(ok, "Ok");
    Accessible_SetName(quit, "Quitter");
    ok->SetDefault();
    dlg.SetName("PodcastDownloadDialog");
    dlg.SetEscapeId(wxID_CANCEL);
    dlg.SetAffirmativeId(wxID_OK);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(label, 0, wxALL, 6);
    top->Add(combo, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);
    top->Add(check, 0, wxALL, 6);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(ok, 0, wxALL, 6);
    buttons->Add(quit, 0, wxALL, 6);
    top->Add(buttons, 0, wxALIGN_RIGHT);
    dlg.SetSizer(top);
    combo->SetFocus();
    if (dlg.ShowModal() != wxID_OK) return;

    const std::string chosen = std::string(combo->GetValue().ToUTF8());
    // A typed name is one file name: no folder, nothing that climbs out.
    const std::string clean = Trim(CleanFileName(chosen));
    if (!IsValidFileName(clean)) return;
    item.CustomAudioFile = clean;
    feed.ItemsChanged = 1;
    if (check->IsEnabled() && check->GetValue()) {
        const int sel = combo->GetSelection();
        if (sel >= 0 && static_cast<size_t>(sel) < masks.size() &&
            names[static_cast<size_t>(sel)] == chosen) {
            feed.CustomPodcastFileName = masks[static_cast<size_t>(sel)];
            if (!RssList_DirectSave(CATALOGUE_FILE))
                Log("! Error can't save " + std::string(CATALOGUE_FILE));
        }
    }
    PodCastDownload_Push(item, feed.FilePath, 0);
}

void PodCastDownload_StatusMenu(wxWindow* parent, void (*say)(const std::string&)) {
    std::vector<std::string> lines;
    {
        std::lock_guard<std::recursive_mutex> lock(PodcastQueueLock);
        for (const PodcastJob& job : PodcastQueue) {
            const std::string status = PodCastDownload_ItemStatus(job.FeedID);
            lines.push_back(job.Title + " : " + status);
        }
    }
    if (lines.empty()) {
        if (say) say(Lng(L_Say_NoDownload));
        return;
    }
    wxMenu menu;
    int id = wxID_HIGHEST + 1;
    for (const std::string& l : lines)
        menu.Append(id++, W(l));
    parent->PopupMenu(&menu);
}

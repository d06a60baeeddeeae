#include "shell/gui/ConfigDialog.h"

#include <wx/filedlg.h>
#include <wx/utils.h>

#include <mutex>

#include "access/gui/RequestMessage.h"
#include "catalogue/core/ItemsFile.h"
#include "catalogue/core/RssList.h"
#include "platform/core/Text.h"
#include "shell/core/ConfigFile.h"
#include "shell/core/ConfigZip.h"
#include "shell/core/DataLoad.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/gui/MainWindow.h"
#include "update/worker/FeedThread.h"

namespace {
wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

// The save dialog of both forms; "" when cancelled.
std::string AskSaveName(wxWindow* parent, const std::string& extension) {
    wxFileDialog dlg(parent, W(Lng(L_Title_ConfigSave)), wxEmptyString, wxEmptyString,
                     W(Lng(L_Msg_Config) + " " + extension + "|*." + extension),
                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dlg.ShowModal() != wxID_OK) return {};
    return Config_ForceExtension(std::string(dlg.GetPath().ToUTF8()), extension);
}

void SaveFailed(wxWindow* parent) {
    RequestMessage(Lng(L_Request_Error), Lng(L_Msg_ConfigSaveError), REQUEST_OK, parent);
}
} // namespace

void ConfigSave(wxWindow* parent) {
    const std::string file = AskSaveName(parent, "OVC");
    if (file.empty()) return;
    wxBusyCursor busy;
    if (!ConfigSave_To(file)) SaveFailed(parent);
}

void ConfigZip_Save(wxWindow* parent, int withFeeds) {
    // The archive takes the files of the data folder: bring them up to date first.
    Feed_Save();
    Pref_Save(0);
    const std::string file = AskSaveName(parent, "OVCZ");
    if (file.empty()) return;
    wxBusyCursor busy;
    if (!ConfigZip_SaveTo(file, withFeeds)) SaveFailed(parent);
}

int ConfigLoadDialog(wxWindow* parent) {
    if (RequestMessage(Lng(L_Request_Info),
                       Lng(L_Msg_ConfigSelect) + "\n" + "Voulez-vous continuer ?", REQUEST_YESNO,
                       parent) != REQUEST_RESULT_YES)
        return 0;
    wxFileDialog dlg(parent, W(Lng(L_Title_ConfigLoad)), wxEmptyString, wxEmptyString,
                     W(Lng(L_Msg_Config) + "|*.OVC;*.OVCZ;*.ovc;*.ovcz"),
                     wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() != wxID_OK) return 0;
    const std::string file(dlg.GetPath().ToUTF8());
    // Feeds the new catalogue keeps read their articles from their files: bring them up
    // to date first.
    Feed_Save();
    int ok = 0;
    {
        wxBusyCursor busy;
        // The update worker reads the records under its lock; none runs while they go.
        StopUpdates();
        std::lock_guard<std::recursive_mutex> lock(FeedThreadLock);
        if (EndsWithNoCase(file, ".OVCZ"))
            ok = ConfigZip_Load(file, 1);
        else if (EndsWithNoCase(file, ".OVC"))
            ok = ConfigLoad(file);
    }
    if (!ok) {
        Log("! Error");
        RequestMessage(Lng(L_Request_Error), Lng(L_Msg_ConfigLoadError), REQUEST_OK, parent);
        return 0;
    }
    RssList_DirectSave(CATALOGUE_FILE);
    Pref_ApplyToCore();
    UI_Tree_Actualize({}, 0);
    UI_List_Fill();
    UI_Status();
    RequestMessage(Lng(L_Request_Info), Lng(L_Msg_ConfigLoadOk), REQUEST_OK, parent);
    return 1;
}

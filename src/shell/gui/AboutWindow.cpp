#include "shell/gui/AboutWindow.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "platform/core/FileUtil.h"
#include "shell/base/Lng.h"
#include "shell/core/Startup.h"
#include "shell/gui/ZoneAccess.h"

namespace {
constexpr int kSite = 16, kDataFolder = 18, kQuit = 24;
constexpr const char* kSiteAddress = "http://orvalis.quenbels.fr/";
} // namespace

void ShowAboutWindow(wxWindow* owner) {
    wxDialog dlg(owner, wxID_ANY, wxString::FromUTF8(Lng(L_Title_About)), wxDefaultPosition,
                 wxSize(520, 420), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    auto* box = new wxBoxSizer(wxVERTICAL);
    const std::string head = AppName + "\nVersion 1.10.1708.2300\n" +
                             "Logiciel gratuit (freeware) réalisé par QuenbelS.";
    std::string license;
    if (!File_ReadAll(AppPath + "License.Txt", license)) license.clear();
    if (license.size() >= 3 && license.compare(0, 3, "\xEF\xBB\xBF") == 0) license.erase(0, 3);
    // One read-only text holds everything, so a screen reader reads it line by line.
    auto* text = new wxTextCtrl(&dlg, wxID_ANY, wxString::FromUTF8(head + "\n\n" + license),
                                wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_BESTWRAP);
    Zone_SetAccessibleName(text, Lng(L_Title_About));
    box->Add(text, 1, wxEXPAND | wxALL, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* site = new wxButton(&dlg, kSite, wxString::FromUTF8(Lng(L_Button_Site)));
    auto* folder = new wxButton(&dlg, kDataFolder, wxString::FromUTF8("Dossier système"));
    auto* quit = new wxButton(&dlg, kQuit, wxString::FromUTF8(Lng(L_Button_Quit)));
    buttons->Add(site, 0, wxALL, 4);
    buttons->Add(folder, 0, wxALL, 4);
    buttons->Add(quit, 0, wxALL, 4);
    box->Add(buttons, 0, wxALIGN_CENTER);
    dlg.SetSizer(box);
    dlg.SetEscapeId(kQuit);
    dlg.SetAffirmativeId(kQuit);
    site->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        wxLaunchDefaultBrowser(kSiteAddress);
        dlg.EndModal(kSite);
    });
    folder->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        wxLaunchDefaultApplication(wxString::FromUTF8(DataPath));
        dlg.EndModal(kDataFolder);
    });
    quit->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { dlg.EndModal(kQuit); });
    text->SetFocus();
    dlg.ShowModal();
}

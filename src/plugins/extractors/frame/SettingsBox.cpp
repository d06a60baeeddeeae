#include "plugins/extractors/frame/SettingsBox.h"

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <cstdio>
#include <string>

namespace {
class SettingsApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};
} // namespace

static bool PutOnClipboard(const char* address) {
    if (!wxTheClipboard->Open()) return false;
    const bool ok = wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(address)));
    // Leaves the text with the clipboard manager so that it outlives this short program.
    wxTheClipboard->Flush();
    wxTheClipboard->Close();
    return ok;
}

int SettingsBox_Show(const ExtractorProgram& program) {
    const char* address = program.SiteAddress ? program.SiteAddress : "";
    // GTK cannot start without a display; starting it anyway would abort the process.
    wxApp::SetInstance(new SettingsApp);
    int argc = 1;
    // The program's name is also the application's name for assistive technologies.
    std::string name = program.Name ? program.Name : "extractor";
    char* argv[] = {name.data(), nullptr};
    wxLog::EnableLogging(false);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "%s\n", program.SettingsText);
        if (*address) std::fprintf(stderr, "%s\n", address);
        return Extractor_NoDisplay;
    }
    wxLog::EnableLogging(true);
    wxTheApp->CallOnInit();

    if (program.Action == Settings_CopySite) PutOnClipboard(address);
    wxMessageBox(wxString::FromUTF8(program.SettingsText), "Info", wxOK | wxICON_INFORMATION);
    if (program.Action == Settings_OpenSite) {
        // Without a browser the address still reaches the user, through the clipboard.
        if (!wxLaunchDefaultBrowser(wxString::FromUTF8(address))) PutOnClipboard(address);
    }
    wxEntryCleanup();
    return Extractor_Ok;
}

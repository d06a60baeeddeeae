#include "access/gui/WaitBox.h"

#include <chrono>
#include <memory>
#include <thread>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include "access/gui/AccessibleName.h"
#include "shell/base/Lng.h"

namespace {
wxDialog* s_box = nullptr;
wxWindow* s_main = nullptr;
wxStaticText* s_text = nullptr;
wxGauge* s_bar = nullptr;
wxButton* s_cancel = nullptr;
int s_min = 0;
int s_max = 100;
int s_value = 0;
bool s_cancelled = false;

std::string Fallback(LngEntry e, const char* text) {
    std::string t = Lng(e);
    return t.empty() ? text : t;
}

void UpdateBar() {
    if (!s_bar) return;
    int range = s_max - s_min;
    s_bar->SetRange(range > 0 ? range : 1);
    int v = s_value - s_min;
    s_bar->SetValue(v < 0 ? 0 : (v > range ? range : v));
}
} // namespace

void WaitBox_Create(wxWindow* main) {
    if (s_box) return;
    s_main = main;
    s_box = new wxDialog(main, 362, "En cours...", wxDefaultPosition, wxDefaultSize,
                         wxCAPTION | wxSYSTEM_MENU);
    std::string wait = Fallback(L_Msg_Wait, "Veuillez patientez ...");
    s_text =
        new wxStaticText(s_box, 364, wxString::FromUTF8(wait), wxPoint(10, 10), wxSize(280, 25));
    s_bar = new wxGauge(s_box, 366, 100, wxPoint(10, 50), wxSize(280, 25));
    Accessible_SetName(s_bar, wait);
    std::string cancel = Fallback(L_Button_Cancel, "&Annuler");
    s_cancel = new wxButton(s_box, wxID_CANCEL, wxString::FromUTF8(cancel), wxPoint(100, 100),
                            wxSize(100, 25));
    Accessible_SetName(s_cancel,
                       wxStripMenuCodes(wxString::FromUTF8(cancel)).ToStdString(wxConvUTF8));
    s_cancel->Bind(wxEVT_BUTTON, [](wxCommandEvent&) { s_cancelled = true; });
    // Closing the box or pressing Escape asks for the same as "Annuler", when it is enabled.
    s_box->Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& e) {
        if (s_cancel->IsEnabled()) s_cancelled = true;
        e.Veto();
    });
    s_box->SetClientSize(300, 150);
    if (main) s_box->CentreOnParent();
}

void WaitBox_Open(const std::string& title, const std::string& text, int min, int max,
                  bool noCancel) {
    WaitBox_Create(s_main ? s_main : wxTheApp->GetTopWindow());
    if (s_main) s_main->Disable();
    s_box->SetTitle(wxString::FromUTF8(title));
    if (!text.empty()) {
        s_text->SetLabel(wxString::FromUTF8(text));
        Accessible_SetName(s_bar, text);
    }
    if (min != -1 || max != -1) {
        s_min = min;
        s_max = max;
        s_value = min;
    }
    UpdateBar();
    s_cancelled = false;
    s_cancel->Enable(!noCancel);
    s_box->Enable();
    s_box->Show();
    s_box->Raise();
    if (noCancel)
        s_bar->SetFocus();
    else
        s_cancel->SetFocus();
    WaitBox_Cancelled();
}

void WaitBox_SetProgress(int value) {
    s_value = value;
    UpdateBar();
}

void WaitBox_Close() {
    if (s_box) s_box->Hide();
    if (s_main) {
        s_main->Enable();
        s_main->Show();
        s_main->Raise();
    }
}

int WaitBox_Cancelled() {
    if (!wxTheApp) return 0;
    // Outside a running loop (a long operation started before the main loop) the events
    // are still taken, through a loop made active just for this.
    std::unique_ptr<wxGUIEventLoop> loop;
    std::unique_ptr<wxEventLoopActivator> active;
    if (!wxEventLoopBase::GetActive()) {
        loop = std::make_unique<wxGUIEventLoop>();
        active = std::make_unique<wxEventLoopActivator>(loop.get());
    }
    for (int i = 0; i < 10; ++i) {
        if (wxTheApp->Pending())
            wxTheApp->Dispatch();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    bool was = s_cancelled;
    s_cancelled = false;
    return was ? 1 : 0;
}

void WaitBox_Destroy() {
    if (s_box) s_box->Destroy();
    s_box = nullptr;
    s_text = nullptr;
    s_bar = nullptr;
    s_cancel = nullptr;
    s_main = nullptr;
}

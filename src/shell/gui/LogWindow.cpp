#include "shell/gui/LogWindow.h"

#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include <cstdlib>
#include <new>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "shell/core/CrashHandler.h"
#include "shell/base/Log.h"
#include "shell/core/SingleInstance.h"
#include "shell/core/Startup.h"

namespace {
class LogDialog : public wxDialog {
  public:
    explicit LogDialog(wxWindow* parent)
        : wxDialog(parent, wxID_ANY, wxString::FromUTF8("Log de " + AppName), wxDefaultPosition,
                   wxSize(600, 400), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
        m_text = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
        SetAccessibleName(m_text, "Log de " + AppName);
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(m_text, 1, wxEXPAND | wxALL, 4);
        SetSizer(sizer);
        Bind(wxEVT_CHAR_HOOK, &LogDialog::OnKey, this);
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { CloseLog(); });
    }
    wxTextCtrl* Text() { return m_text; }
    void CloseLog() {
        if (IsModal())
            EndModal(wxID_CANCEL);
        else
            Hide();
    }

  private:
    void OnKey(wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_ESCAPE)
            CloseLog();
        else
            e.Skip();
    }
    static void SetAccessibleName(wxWindow* w, const std::string& name) {
        w->SetName(wxString::FromUTF8(name));
#ifdef __WXGTK__
        // A multi-line text sits in a scrolled window: name both so either is heard.
        for (GtkWidget* g : {w->GetHandle(), w->GetConnectWidget()})
            if (g)
                if (AtkObject* acc = gtk_widget_get_accessible(g))
                    atk_object_set_name(acc, name.c_str());
#endif
    }
    wxTextCtrl* m_text;
};
LogDialog* g_window = nullptr;
} // namespace

bool OpenLogWindow(wxWindow* parent) {
    if (g_window) return true;
    try {
        g_window = new LogDialog(parent);
    } catch (const std::bad_alloc&) {
        ReportFatalError(2, ": LogWindow");
    }
    return true;
}

void ShowLog(int clear) {
    if (!g_window) return;
    if (clear) g_window->Text()->Clear();
    g_window->Text()->SetValue(wxString::FromUTF8(Log_Text()));
    g_window->Text()->SetInsertionPointEnd();
    g_window->Show();
    g_window->Raise();
    g_window->Text()->SetFocus();
}

wxTextCtrl* LogWindow_Text() {
    return g_window ? g_window->Text() : nullptr;
}

void LogWindow_Close() {
    if (g_window) g_window->CloseLog();
}

void LogWindow_Destroy() {
    if (g_window) g_window->Destroy();
    g_window = nullptr;
}

void ReportFatalError(int code, const std::string& name) {
    Log("! " + FatalError_Text(code, name));
    wxMessageBox(wxString::FromUTF8(FatalError_Text(code, name)), wxString::FromUTF8("Erreur"),
                 wxOK | wxICON_ERROR);
    FlushLog();
    SingleInstance_Release();
    std::exit(1);
}

void LogWindow_InstallFatalHandler() {
    Log_SetFatalHandler([] {
        if (!g_window) OpenLogWindow(nullptr);
        if (g_window) {
            g_window->Text()->SetValue(wxString::FromUTF8(Log_Text()));
            g_window->Text()->SetFocus();
            if (g_window->IsShown()) g_window->Hide();
            g_window->ShowModal();
        }
        FlushLog();
        SingleInstance_Release();
        std::exit(0);
    });
}

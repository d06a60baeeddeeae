#include "access/gui/ReqInput.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/valtext.h>

#include "access/gui/AccessibleName.h"
#include "access/gui/BoxKeys.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"

namespace {
class InputBoxWindow : public wxDialog {
  public:
    bool Build(wxWindow* owner, const std::string& title, const std::string& prompt,
               const std::string& def, int flags) {
        if (!Create(owner, 2270, wxString::FromUTF8(title), wxDefaultPosition, wxDefaultSize,
                    wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU))
            return false;
        std::string shownPrompt = ReplaceAll(prompt, "\r\n", "\n");
        m_prompt = new wxTextCtrl;
        if (!m_prompt->Create(this, 2271, wxString::FromUTF8(shownPrompt), wxPoint(10, 8),
                              wxSize(380, 50), wxTE_MULTILINE | wxTE_READONLY))
            return false;
        Accessible_SetName(m_prompt, title);

        size_t maxLen = flags & REQINPUT_MAXLEN_MASK;
        std::string start = maxLen ? Utf8Left(def, maxLen) : def;
        long style = (flags & REQINPUT_PASSWORD) ? wxTE_PASSWORD : 0;
        m_input = new wxTextCtrl;
        if (!m_input->Create(this, 2272, wxString::FromUTF8(start), wxPoint(10, 61),
                             wxSize(380, 20), style))
            return false;
        if (maxLen) m_input->SetMaxLength(static_cast<unsigned long>(maxLen));
        if (flags & REQINPUT_DIGITS) m_input->SetValidator(wxTextValidator(wxFILTER_DIGITS));
        Accessible_SetName(m_input, prompt.empty() ? title : ReplaceAll(prompt, "\r\n", " "));

        std::string okLabel = Lng(L_Button_Ok);
        if (okLabel.empty()) okLabel = "Ok";
        auto* ok = new wxButton;
        if (!ok->Create(this, 2273, wxString::FromUTF8(okLabel), wxPoint(170, 89), wxSize(60, 23)))
            return false;
        Accessible_SetName(ok, ReplaceAll(okLabel, "&", ""));
        ok->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(); });
        m_cycle = {m_prompt, m_input, ok};
        SetClientSize(400, 120);

        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) { OnKey(e); });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(); });
        BoxKeys_RefocusLater(this, m_input);
        return true;
    }
    std::string Value() const { return m_input->GetValue().ToStdString(wxConvUTF8); }

  private:
    void Finish() {
        if (IsModal()) EndModal(wxID_OK);
    }
    void OnKey(wxKeyEvent& e) {
        int focused = BoxKeys_IndexOf(m_cycle, wxWindow::FindFocus());
        // Arrows belong to the texts here: the prompt's lines and the field's characters.
        switch (BoxKeys_Classify(e, focused != 2)) {
        case BOXKEY_ACTIVATE:
        case BOXKEY_CANCEL:
            Finish();
            return;
        case BOXKEY_NEXT:
            BoxKeys_Move(m_cycle, focused, +1);
            return;
        case BOXKEY_PREVIOUS:
            BoxKeys_Move(m_cycle, focused, -1);
            return;
        default:
            e.Skip();
        }
    }

    wxTextCtrl* m_prompt = nullptr;
    wxTextCtrl* m_input = nullptr;
    std::vector<wxWindow*> m_cycle;
};
} // namespace

std::string ReqInput(const std::string& title, const std::string& prompt, const std::string& def,
                     int flags, wxWindow* owner) {
    wxWindow* focus = wxWindow::FindFocus();
    auto* box = new InputBoxWindow;
    if (!box->Build(owner, title, prompt, def, flags)) {
        box->Destroy();
        long style = wxOK | wxCENTRE | ((flags & REQINPUT_PASSWORD) ? wxTE_PASSWORD : 0);
        wxTextEntryDialog dlg(owner, wxString::FromUTF8(prompt), wxString::FromUTF8(title),
                              wxString::FromUTF8(def), style);
        dlg.ShowModal();
        return dlg.GetValue().ToStdString(wxConvUTF8);
    }
    if (owner)
        box->CentreOnParent();
    else
        box->CentreOnScreen();
    if (owner) owner->Disable();
    box->ShowModal();
    if (owner) owner->Enable();
    std::string value = box->Value();
    delete box; // at once, like a dialog on the stack
    if (focus && owner) focus->SetFocus();
    return value;
}

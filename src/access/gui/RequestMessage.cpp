#include "access/gui/RequestMessage.h"

#include <algorithm>
#include <map>
#include <vector>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "access/gui/AccessibleName.h"
#include "access/gui/BoxKeys.h"

namespace {
std::map<wxWindow*, std::vector<wxAcceleratorEntry>> s_buttonAccels;

enum { ID_TEXT = 2251, ID_CANCEL = 2252, ID_YES = 2253, ID_NO = 2254 };

class MessageBoxWindow : public wxDialog {
  public:
    bool Build(wxWindow* owner, const std::string& title, const std::string& text, int kind) {
        if (!Create(owner, 2250, wxString::FromUTF8(title), wxDefaultPosition, wxDefaultSize,
                    wxCAPTION | wxCLOSE_BOX | wxSYSTEM_MENU))
            return false;
        std::string shown = text;
        for (size_t p; (p = shown.find("\r\n")) != std::string::npos;)
            shown.erase(p, 1);
        int lines = static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
        lines = std::clamp(lines, 3, 20);
        m_text = new wxTextCtrl;
        if (!m_text->Create(this, ID_TEXT, wxString::FromUTF8(shown), wxPoint(10, 10),
                            wxSize(280, 22 * lines),
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP | wxHSCROLL))
            return false;
        Accessible_SetName(m_text, title);

        struct B {
            int id;
            const char* label;
            int result;
        };
        std::vector<B> buttons;
        if (kind == REQUEST_YESNO || kind == REQUEST_YESNOCANCEL) {
            buttons = {{ID_YES, "Oui", REQUEST_RESULT_YES}, {ID_NO, "Non", REQUEST_RESULT_NO}};
            if (kind == REQUEST_YESNOCANCEL)
                buttons.push_back({ID_CANCEL, "Cancel", REQUEST_RESULT_CANCEL});
        } else {
            buttons = {{ID_YES, "Ok", REQUEST_RESULT_YES}};
        }
        int y = 10 + 22 * lines + 10;
        int x = buttons.size() == 1 ? 106 : 10;
        m_cycle.push_back(m_text);
        for (const B& b : buttons) {
            auto* button = new wxButton;
            if (!button->Create(this, b.id, b.label, wxPoint(x, y), wxSize(86, 22))) return false;
            Accessible_SetName(button, b.label);
            m_results[button] = b.result;
            m_cycle.push_back(button);
            if (b.id == ID_CANCEL) m_hasCancel = true;
            button->Bind(wxEVT_BUTTON, [this, r = b.result](wxCommandEvent&) { Finish(r); });
            AddButtonAccelerator(b.label, this, b.id);
            x += 96;
        }
        SetClientSize(300, y + 44);

        Bind(wxEVT_MENU, [this](wxCommandEvent& e) {
            // Button accelerators; "Cancel"'s only counts where the box has one.
            if (e.GetId() == ID_YES) Finish(REQUEST_RESULT_YES);
            if (e.GetId() == ID_NO) Finish(REQUEST_RESULT_NO);
            if (e.GetId() == ID_CANCEL && m_hasCancel) Finish(REQUEST_RESULT_CANCEL);
        });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) { OnKey(e); });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Finish(REQUEST_RESULT_CANCEL); });
        BoxKeys_RefocusLater(this, m_text);
        return true;
    }

  private:
    void Finish(int result) {
        if (IsModal()) EndModal(result);
    }

    void OnKey(wxKeyEvent& e) {
        int focused = BoxKeys_IndexOf(m_cycle, wxWindow::FindFocus());
        switch (BoxKeys_Classify(e, focused == 0)) {
        case BOXKEY_ACTIVATE: {
            auto it = m_results.find(focused > 0 ? m_cycle[focused] : nullptr);
            Finish(it == m_results.end() ? REQUEST_RESULT_YES : it->second);
            return;
        }
        case BOXKEY_CANCEL:
            if (m_hasCancel) Finish(REQUEST_RESULT_CANCEL);
            return; // without "Cancel", Escape does nothing
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

    wxTextCtrl* m_text = nullptr;
    std::vector<wxWindow*> m_cycle; // the text, then the buttons
    std::map<wxWindow*, int> m_results;
    bool m_hasCancel = false;
};

int SystemMessageBox(const std::string& title, const std::string& text, int kind, wxWindow* owner) {
    long style = kind == REQUEST_YESNO         ? wxYES_NO
                 : kind == REQUEST_YESNOCANCEL ? wxYES_NO | wxCANCEL
                                               : wxOK;
    int r = wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(title), style, owner);
    if (r == wxNO) return REQUEST_RESULT_NO;
    if (r == wxCANCEL) return REQUEST_RESULT_CANCEL;
    return REQUEST_RESULT_YES;
}
} // namespace

int RequestMessage(const std::string& title, const std::string& text, int kind, wxWindow* owner) {
    wxWindow* focus = wxWindow::FindFocus();
    auto* box = new MessageBoxWindow;
    if (!box->Build(owner, title, text, kind)) {
        box->Destroy();
        return SystemMessageBox(title, text, kind, owner);
    }
    if (owner)
        box->CentreOnParent();
    else
        box->CentreOnScreen();
    if (owner) owner->Disable();
    int result = box->ShowModal();
    if (owner) owner->Enable();
    delete box; // at once, like a dialog on the stack: no stale box lingers until idle time
    if (focus && owner) focus->SetFocus();
    return result;
}

void AddButtonAccelerator(const std::string& label, wxWindow* window, int event) {
    size_t amp = label.find('&');
    if (!window || amp == std::string::npos || amp + 1 >= label.size()) return;
    char c = label[amp + 1];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return;
    auto found = s_buttonAccels.find(window);
    if (found == s_buttonAccels.end()) {
        window->Bind(wxEVT_DESTROY, [window](wxWindowDestroyEvent& e) {
            if (e.GetEventObject() == window) s_buttonAccels.erase(window);
            e.Skip();
        });
        found = s_buttonAccels.emplace(window, std::vector<wxAcceleratorEntry>{}).first;
    }
    found->second.emplace_back(wxACCEL_NORMAL, c, event);
    found->second.emplace_back(wxACCEL_ALT, c, event);
    window->SetAcceleratorTable(
        wxAcceleratorTable(static_cast<int>(found->second.size()), found->second.data()));
}

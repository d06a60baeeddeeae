#include "access/gui/ShortcutPanel.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "access/gui/GlobalShortcut.h"
#include "access/gui/PrefShortcutPage.h"
#include "access/gui/AccessibleName.h"
#include "access/gui/RequestMessage.h"
#include "shell/base/Lng.h"

static wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

// A label for a control, falling back to a fixed text when the table text is empty.
static wxString Label(LngEntry e, const char* fallback) {
    std::string t = Lng(e);
    return W(t.empty() ? fallback : t);
}

ShortcutEditorPanel::ShortcutEditorPanel(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    m_list = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(360, 220));
    Accessible_SetName(m_list,
                       Label(L_Pref_Panel_Shortcut, "Raccourcis clavier").ToStdString(wxConvUTF8));
    top->Add(m_list, 1, wxEXPAND | wxALL, 5);

    auto* row = new wxBoxSizer(wxHORIZONTAL);
    m_alt = new wxCheckBox(this, wxID_ANY, Label(L_Key_Alt, "Alt"));
    m_control = new wxCheckBox(this, wxID_ANY, Label(L_Key_Control, "Control"));
    m_shift = new wxCheckBox(this, wxID_ANY, Label(L_Key_Shift, "Maj"));
    m_win = new wxCheckBox(this, wxID_ANY, Label(L_Key_Win, "Window"));
    for (wxCheckBox* c : {m_alt, m_control, m_shift, m_win}) {
        c->SetName(c->GetLabel());
        row->Add(c, 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    }
    top->Add(row, 0);

    auto* keyRow = new wxBoxSizer(wxHORIZONTAL);
    wxString keyLabel = Label(L_Pref_Combo_Key, "Touche");
    keyRow->Add(new wxStaticText(this, wxID_ANY, keyLabel), 0, wxALL | wxALIGN_CENTER_VERTICAL, 5);
    m_key = new wxChoice(this, wxID_ANY);
    Accessible_SetName(m_key, keyLabel.ToStdString(wxConvUTF8));
    keyRow->Add(m_key, 1, wxALL, 5);
    m_change = new wxButton(this, wxID_ANY, Label(L_Pref_Button_SetShortcut, "Modifier"));
    m_change->SetName(m_change->GetLabel());
    keyRow->Add(m_change, 0, wxALL, 5);
    top->Add(keyRow, 0, wxEXPAND);
    SetSizer(top);

    ShortcutEditor("fillkey", m_state);
    ShortcutEditor("filllist", m_state);
    ShortcutEditor("setcheckbox", m_state);
    for (const auto& k : m_state.KeyChoices)
        m_key->Append(W(k.Text));
    StateToControls();

    m_list->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { OnSelect(); });
    m_change->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChangeSelected(); });
}

void ShortcutEditorPanel::StateToControls() {
    wxArrayString rows;
    for (const auto& r : m_state.Rows)
        rows.Add(W(r));
    if (m_list->GetCount() != rows.size()) {
        m_list->Set(rows);
    } else {
        for (unsigned i = 0; i < rows.size(); ++i)
            if (m_list->GetString(i) != rows[i]) m_list->SetString(i, rows[i]);
    }
    if (m_state.Selected >= 0) m_list->SetSelection(m_state.Selected);
    m_alt->SetValue(m_state.Alt);
    m_control->SetValue(m_state.Control);
    m_shift->SetValue(m_state.Shift);
    m_win->SetValue(m_state.Win);
    m_key->SetSelection(m_state.KeyChoice);
}

void ShortcutEditorPanel::ControlsToState() {
    m_state.Selected = m_list->GetSelection();
    m_state.Alt = m_alt->GetValue();
    m_state.Control = m_control->GetValue();
    m_state.Shift = m_shift->GetValue();
    m_state.Win = m_win->GetValue();
    m_state.KeyChoice = m_key->GetSelection();
}

void ShortcutEditorPanel::OnSelect() {
    m_state.Selected = m_list->GetSelection();
    ShortcutEditor("setcheckbox", m_state);
    StateToControls();
}

void ShortcutEditorPanel::ChangeSelected() {
    ControlsToState();
    if (!ShortcutEditor("change", m_state)) {
        if (!m_state.Error.empty())
            RequestMessage(m_state.ErrorTitle, m_state.Error, REQUEST_OK,
                           wxGetTopLevelParent(this));
        return;
    }
    StateToControls();
    if (m_state.FocusList) m_list->SetFocus();
}

void ShortcutEditorPanel::Commit() {
    ShortcutEditor("update", m_state);
}

void ShortcutPanel_Install() {
    Pref_SetShortcutPageBuilder([](wxPanel* page) -> std::function<void()> {
        auto* panel = new ShortcutEditorPanel(page);
        if (!page->GetSizer()) page->SetSizer(new wxBoxSizer(wxVERTICAL));
        page->GetSizer()->Add(panel, 1, wxEXPAND | wxALL, 5);
        return [panel] {
            panel->Commit();
            RemoveShortcuts(0);
            ApplyShortcuts(0);
        };
    });
}

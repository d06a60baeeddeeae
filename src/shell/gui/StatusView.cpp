#include "shell/gui/StatusView.h"

#include <wx/stattext.h>

#include "shell/gui/ZoneAccess.h"

StatusView::StatusView(wxWindow* parent) {
    m_label = new wxStaticText(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                               wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    Zone_SetStatusBar(m_label, "");
}

void StatusView::SetText(const std::string& text) {
    if (text == m_text) return;
    m_text = text;
    // "&" would be taken as a mnemonic mark by the label.
    m_label->SetLabelText(wxString::FromUTF8(text));
    Zone_SetStatusBar(m_label, text);
}

#include "shell/gui/ArticleTextView.h"

#include <wx/textctrl.h>

ArticleTextView::ArticleTextView(wxWindow* parent) {
    m_text = new wxTextCtrl(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_RICH2 | wxTE_BESTWRAP);
}

void ArticleTextView::Show(const std::string& text) {
    const wxString t = wxString::FromUTF8(text);
    if (m_text->GetValue() == t) return;
    m_text->ChangeValue(t);
    m_text->SetInsertionPoint(0);
}

std::string ArticleTextView::Text() const {
    return std::string(m_text->GetValue().ToUTF8());
}

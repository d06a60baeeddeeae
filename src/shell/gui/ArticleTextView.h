// The article view (gadget 4): the selected article as read-only text (a GtkTextView on
// GTK, which screen readers read line by line). The HTML view (gadget 6) joins later.
#pragma once
#include <string>

class wxTextCtrl;
class wxWindow;

class ArticleTextView {
  public:
    explicit ArticleTextView(wxWindow* parent);
    wxTextCtrl* Control() const { return m_text; }
    // Replaces the text and puts the caret at its start.
    void Show(const std::string& text);
    std::string Text() const;

  private:
    wxTextCtrl* m_text = nullptr;
};

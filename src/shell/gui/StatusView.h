// The status line under the zones: a text whose accessible object has the role "status
// bar" and the text as its name, so a screen reader's "read status bar" command finds it.
#pragma once
#include <string>

class wxStaticText;
class wxWindow;

class StatusView {
  public:
    explicit StatusView(wxWindow* parent);
    wxStaticText* Control() const { return m_label; }
    // Shows `text` (nothing happens when it is unchanged).
    void SetText(const std::string& text);
    const std::string& Text() const { return m_text; }

  private:
    wxStaticText* m_label = nullptr;
    std::string m_text;
};

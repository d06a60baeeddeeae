// The keyboard-shortcut page of the preferences dialog: the list of shortcuts, the four
// modifier check boxes, the key choice and the "change" button, driven by ShortcutEditor.
#pragma once
#include <wx/panel.h>

#include "access/core/Shortcuts.h"

class wxListBox;
class wxCheckBox;
class wxChoice;
class wxButton;

class ShortcutEditorPanel : public wxPanel {
  public:
    explicit ShortcutEditorPanel(wxWindow* parent);
    // Writes the edited keys into ShortcutList ("update"). The caller then saves them
    // (SaveShortcutKeys) and re-applies them (RemoveShortcuts, ApplyShortcuts).
    void Commit();
    // The editor state (tests, and callers that want to inspect the working list).
    ShortcutEditorState& State() { return m_state; }
    // Runs "change" with the controls' current values, as the button does.
    void ChangeSelected();

  private:
    void StateToControls();
    void ControlsToState();
    void OnSelect();

    ShortcutEditorState m_state;
    wxListBox* m_list = nullptr;
    wxCheckBox* m_alt = nullptr;
    wxCheckBox* m_control = nullptr;
    wxCheckBox* m_shift = nullptr;
    wxCheckBox* m_win = nullptr;
    wxChoice* m_key = nullptr;
    wxButton* m_change = nullptr;
};

// Makes the preferences dialog build its "Raccourcis clavier" page with this panel; on
// "Valider" the edited keys go into the records and are re-applied to the main window
// (RemoveShortcuts, ApplyShortcuts); the preferences save writes them to the file.
void ShortcutPanel_Install();

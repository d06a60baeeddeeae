// The preferences dialog "Préférences": one notebook page per group of settings, each
// control bound to one key of "Orvalis.ini", and the buttons "Valider" and "&Annuler".
#pragma once
#include <wx/dialog.h>

#include <functional>
#include <string>
#include <vector>

#include "access/gui/PrefShortcutPage.h"

class wxNotebook;
class wxCheckBox;
class wxChoice;
class wxSpinCtrl;
class wxTextCtrl;
class wxPanel;

// The page "Raccourcis clavier" is built by the builder installed with
// Pref_SetShortcutPageBuilder (access/gui/PrefShortcutPage.h).

class PrefsDialog : public wxDialog {
  public:
    // Builds every page from the current settings (Pref, PrefFlags, the language).
    explicit PrefsDialog(wxWindow* parent);
    // Copies the controls into the settings and sets PrefChanged; writes or removes the
    // autostart entry; tells when the language changed. `quiet` skips the messages.
    void Apply(bool quiet = false);
    wxNotebook* Book() const { return m_book; }
    // The language chosen in the list ("" for French).
    std::string ChosenLanguage() const;

  private:
    void BuildGeneral();
    void BuildArticle();
    void BuildAlert();
    void BuildAudio();
    void BuildPodcast();
    void BuildProxy();
    void BuildShortcuts();
    void OnUpdateLanguage();
    void OnFont();

    wxNotebook* m_book = nullptr;
    // General
    wxChoice* m_language = nullptr;
    std::vector<std::string> m_languages;
    wxSpinCtrl* m_maxRss = nullptr;
    wxCheckBox *m_minimizeOnStart = nullptr, *m_escape = nullptr, *m_altF4 = nullptr,
               *m_sureToQuit = nullptr, *m_autoStart = nullptr, *m_noWarningSyncPod = nullptr;
    wxTextCtrl* m_navigator = nullptr;
    std::string m_fontName;
    int m_fontSize = 0, m_fontStyle = 0, m_fontColor = 0;
    // Article
    wxCheckBox *m_autoSetReaded = nullptr, *m_syncReaded = nullptr;
    wxSpinCtrl* m_autoSave = nullptr;
    wxSpinCtrl* m_updateThreads = nullptr;
    wxTextCtrl *m_feedTextPath = nullptr, *m_syncReadedPath = nullptr;
    wxChoice* m_formatDate = nullptr;
    // Alert
    wxCheckBox *m_byPopUp = nullptr, *m_bySpeech = nullptr, *m_bySound = nullptr,
               *m_onStart = nullptr, *m_allDownloaded = nullptr, *m_finishFirst = nullptr;
    wxSpinCtrl* m_alarmVolume = nullptr;
    wxTextCtrl *m_newFeedFile = nullptr, *m_allDownloadedFile = nullptr,
               *m_finishFirstFile = nullptr;
    // Audio
    wxChoice* m_player = nullptr;
    wxSpinCtrl *m_muteVolume = nullptr, *m_moveAudio = nullptr;
    wxTextCtrl *m_audioExtension = nullptr, *m_audioTimeFormat = nullptr,
               *m_durationFormat = nullptr;
    wxCheckBox* m_extendShortcut = nullptr;
    // Podcast
    wxCheckBox *m_delPodcastWithFeed = nullptr, *m_playLink = nullptr;
    wxSpinCtrl* m_delOldPodcast = nullptr;
    wxTextCtrl* m_podcastPath = nullptr;
    // Proxy
    wxCheckBox* m_useProxy = nullptr;
    wxTextCtrl *m_proxyHost = nullptr, *m_proxyID = nullptr, *m_proxyPassWord = nullptr;
    wxSpinCtrl* m_proxyPort = nullptr;
    // Shortcuts
    std::function<void()> m_applyShortcuts;
};

// Opens the dialog over `parent`; true when the user confirmed with "Valider".
bool Pref_Open(wxWindow* parent);
// What "Valider" does: the dialog's controls into the settings (PrefsDialog::Apply).
void Pref_Apply(PrefsDialog& dialog);
// Fills `list` with the language choice (FillLanguageList) and selects `current`;
// returns the language name behind each item ("" for the built-in French).
std::vector<std::string> FillLanguageList(wxChoice* list, const std::string& folder,
                                          const std::string& current);
// Pref_Save(0), showing "Impossible de sauvegarder les préférences" when it fails.
bool Pref_SaveOrWarn(wxWindow* parent, int force);
// Gives a control the name a screen reader announces (its label, without "&").
void Pref_NameForScreenReader(wxWindow* control, const wxString& label,
                              const wxString& description = {});

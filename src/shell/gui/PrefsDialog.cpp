#include "shell/gui/PrefsDialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/fontdlg.h>
#include <wx/notebook.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "access/gui/ReqInput.h"
#include "access/gui/RequestMessage.h"
#include "platform/core/Text.h"
#include "shell/core/AutoStart.h"
#include "shell/base/Lng.h"
#include "shell/base/LngState.h"
#include "shell/base/Prefs.h"

static wxString U(const std::string& s) {
    return wxString::FromUTF8(s.c_str());
}
static std::string S(const wxString& s) {
    return std::string(s.ToUTF8());
}
// A label as shown: the text of the entry without its outer spaces.
static wxString Label(LngEntry e) {
    return U(Trim(Lng(e)));
}

#ifdef __WXGTK__
static void NameWidget(GtkWidget* widget, const wxString& name, const wxString& description) {
    if (AtkObject* acc = gtk_widget_get_accessible(widget)) {
        atk_object_set_name(acc, name.utf8_str());
        if (!description.empty()) atk_object_set_description(acc, description.utf8_str());
    }
}
#endif

#ifdef __WXGTK__
struct InnerNames {
    wxString Name, Description;
};

static void NameInnerButton(GtkWidget* child, gpointer data) {
    const InnerNames* n = static_cast<const InnerNames*>(data);
    if (GTK_IS_TOGGLE_BUTTON(child)) NameWidget(child, n->Name, n->Description);
    if (GTK_IS_CONTAINER(child)) gtk_container_forall(GTK_CONTAINER(child), NameInnerButton, data);
}

static void NameInnerButtons(GtkWidget* widget, const wxString& name, const wxString& description) {
    InnerNames names{name, description};
    gtk_container_forall(GTK_CONTAINER(widget), NameInnerButton, &names);
}
#endif

void Pref_NameForScreenReader(wxWindow* control, const wxString& label,
                              const wxString& description) {
    const wxString name = wxStripMenuCodes(label).Trim().Trim(false);
    control->SetName(name);
#ifdef __WXGTK__
    // GTK names a check box or a button after its label, but an entry, a spin button or
    // a combo box only through this.
    for (GtkWidget* widget : {control->GetHandle(), control->GetConnectWidget()}) {
        if (!widget) continue;
        NameWidget(widget, name, description);
        // A combo box takes the focus on an inner button that has no name of its own.
        if (GTK_IS_COMBO_BOX(widget)) NameInnerButtons(widget, name, description);
    }
#endif
}

namespace {
// Lays out one page: labelled fields in two columns, check boxes across.
class Page {
  public:
    Page(wxNotebook* book, LngEntry title) : m_panel(new wxPanel(book, wxID_ANY)) {
        m_grid = new wxFlexGridSizer(3, wxSize(8, 6));
        m_grid->AddGrowableCol(1);
        auto* outer = new wxBoxSizer(wxVERTICAL);
        outer->Add(m_grid, 1, wxEXPAND | wxALL, 10);
        m_panel->SetSizer(outer);
        book->AddPage(m_panel, Label(title));
        Pref_NameForScreenReader(m_panel, Label(title));
    }
    wxPanel* Panel() const { return m_panel; }

    wxCheckBox* Check(LngEntry label, bool on) {
        auto* box = new wxCheckBox(m_panel, wxID_ANY, Label(label));
        box->SetValue(on);
        Pref_NameForScreenReader(box, Label(label));
        m_grid->Add(box, 0, wxALIGN_CENTER_VERTICAL);
        m_grid->AddSpacer(0);
        m_grid->AddSpacer(0);
        return box;
    }
    wxSpinCtrl* Spin(LngEntry label, int value, int min, int max) {
        AddLabel(label);
        auto* spin = new wxSpinCtrl(m_panel, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                    wxDefaultSize, wxSP_ARROW_KEYS, min, max, value);
        Pref_NameForScreenReader(spin, Label(label));
        m_grid->Add(spin, 0, wxALIGN_CENTER_VERTICAL);
        m_grid->AddSpacer(0);
        return spin;
    }
    wxTextCtrl* Text(LngEntry label, const std::string& value, long style = 0) {
        AddLabel(label);
        auto* text =
            new wxTextCtrl(m_panel, wxID_ANY, U(value), wxDefaultPosition, wxSize(300, -1), style);
        Pref_NameForScreenReader(text, Label(label));
        m_grid->Add(text, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        m_grid->AddSpacer(0);
        return text;
    }
    // A text field with a "Parcourir" button choosing a file (`wildcard` set) or a folder.
    wxTextCtrl* Path(LngEntry label, const std::string& value, const wxString& wildcard = {}) {
        AddLabel(label);
        auto* text =
            new wxTextCtrl(m_panel, wxID_ANY, U(value), wxDefaultPosition, wxSize(300, -1));
        Pref_NameForScreenReader(text, Label(label));
        m_grid->Add(text, 1, wxEXPAND | wxALIGN_CENTER_VERTICAL);
        auto* browse = new wxButton(m_panel, wxID_ANY, Label(L_Button_Browse));
        Pref_NameForScreenReader(browse, Label(L_Button_Browse), Label(label));
        m_grid->Add(browse, 0, wxALIGN_CENTER_VERTICAL);
        const wxString title = Label(label);
        browse->Bind(wxEVT_BUTTON, [text, wildcard, title, panel = m_panel](wxCommandEvent&) {
            if (wildcard.empty()) {
                wxDirDialog dlg(panel, title, text->GetValue());
                if (dlg.ShowModal() == wxID_OK) text->SetValue(dlg.GetPath() + "/");
            } else {
                wxFileDialog dlg(panel, title, wxEmptyString, text->GetValue(), wildcard,
                                 wxFD_OPEN);
                if (dlg.ShowModal() == wxID_OK) text->SetValue(dlg.GetPath());
            }
            text->SetFocus();
        });
        return text;
    }
    wxChoice* Choice(LngEntry label, const wxArrayString& items, int selection) {
        AddLabel(label);
        auto* choice = new wxChoice(m_panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, items);
        if (!items.empty())
            choice->SetSelection(
                selection >= 0 && selection < static_cast<int>(items.size()) ? selection : 0);
        Pref_NameForScreenReader(choice, Label(label));
        m_grid->Add(choice, 0, wxALIGN_CENTER_VERTICAL);
        return choice;
    }
    // A button on a row of its own, in the second column.
    wxButton* Button(LngEntry label) {
        m_grid->AddSpacer(0);
        auto* button = new wxButton(m_panel, wxID_ANY, Label(label));
        Pref_NameForScreenReader(button, Label(label));
        m_grid->Add(button, 0);
        m_grid->AddSpacer(0);
        return button;
    }

  private:
    void AddLabel(LngEntry label) {
        m_grid->Add(new wxStaticText(m_panel, wxID_ANY, Label(label)), 0, wxALIGN_CENTER_VERTICAL);
    }
    wxPanel* m_panel;
    wxFlexGridSizer* m_grid;
};

bool Flag(uint32_t bit) {
    return (PrefFlags & bit) != 0;
}

void SetFlag(uint32_t bit, bool on) {
    if (on)
        PrefFlags |= bit;
    else
        PrefFlags &= ~bit;
}

// The date layouts offered for "FormatDate", in index order.
const char* const kDateMasks[] = {
    "%ds %dd %mm %yyyy %hh:%ii", "%ds %dd/%mm/%yyyy %hh:%ii", "%dl %dd %mm %yyyy %hh:%ii",
    "%dl %dd/%mm/%yyyy %hh:%ii", "%dd %ml %yyyy %hh:%ii",     "%ds %dd %ml %yyyy %hh:%ii",
    "%dl %dd %ml %yyyy %hh:%ii", "%dd %mm %yyyy %hh:%ii",     "%dd/%mm/%yyyy %hh:%ii",
    "%yyyy/%mm/%dd %hh:%ii",
};

// A layout shown on one example date (Wednesday 23 August 2017, 14:05), with the day and
// month names of the current language.
wxString DateExample(const std::string& mask) {
    const std::string day = Lng(L_Day_Wed), month = Lng(L_Month_Aug);
    std::string r = mask;
    r = ReplaceAll(r, "%yyyy", "2017");
    r = ReplaceAll(r, "%yy", "17");
    r = ReplaceAll(r, "%mm", "08");
    r = ReplaceAll(r, "%dd", "23");
    r = ReplaceAll(r, "%hh", "14");
    r = ReplaceAll(r, "%ii", "05");
    r = ReplaceAll(r, "%ms", Utf8Left(month, 4));
    r = ReplaceAll(r, "%ml", month);
    r = ReplaceAll(r, "%ds", Utf8Left(day, 3));
    r = ReplaceAll(r, "%dl", day);
    return U(r);
}

const char* const kPlayers[] = {"Auto",          "Pure",          "Bass",
                                "Bass Device 1", "Bass Device 2", "Bass Device 3"};

std::string LanguageFolder() {
    return Pref_Environment().AppPath + "Lang/";
}
} // namespace

static wxString DialogTitle() {
    // "Préférences..." without its dots.
    wxString title = Label(L_Menu_Prefs);
    while (title.EndsWith("."))
        title.RemoveLast();
    return title.Trim();
}

PrefsDialog::PrefsDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, DialogTitle(), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    m_fontName = Pref.EditNameFont;
    m_fontSize = Pref.EditSizeFont;
    m_fontStyle = Pref.EditStyleFont;
    m_fontColor = Pref.EditColorFont;

    m_book = new wxNotebook(this, wxID_ANY);
    BuildGeneral();
    BuildArticle();
    BuildAlert();
    BuildAudio();
    BuildPodcast();
    BuildProxy();
    BuildShortcuts();

    auto* ok = new wxButton(this, wxID_OK, Label(L_Button_Set));
    auto* cancel = new wxButton(this, wxID_CANCEL, Label(L_Button_Cancel));
    Pref_NameForScreenReader(ok, Label(L_Button_Set));
    Pref_NameForScreenReader(cancel, Label(L_Button_Cancel));
    ok->SetDefault();
    SetEscapeId(wxID_CANCEL);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(ok, 0, wxRIGHT, 8);
    buttons->Add(cancel, 0);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(m_book, 1, wxEXPAND | wxALL, 8);
    top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(top);
    CentreOnParent();
    m_book->SetFocus();
}

void PrefsDialog::BuildGeneral() {
    Page page(m_book, L_Pref_Panel_General);
    m_language = page.Choice(L_Pref_Text_SelectLang, wxArrayString(), 0);
    m_languages = FillLanguageList(m_language, LanguageFolder(), Pref.AppLang);
    page.Button(L_Pref_Button_Update)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        OnUpdateLanguage();
    });
    m_maxRss = page.Spin(L_Pref_Spin_MaxRss, Pref.MaxRss, 1, 400);
    m_minimizeOnStart = page.Check(L_Pref_Check_MinimizeOnStart, Flag(PREF_MINIMIZEONSTART));
    m_escape = page.Check(L_Pref_Check_EscapeToMinimize, Flag(PREF_ESCAPTOSYSTRAY));
    m_altF4 = page.Check(L_Pref_Check_AltF4ToMinimize, Flag(PREF_ALTF4TOSYSTRAY));
    m_sureToQuit = page.Check(L_Pref_Check_IsSureToQuit, Flag(PREF_ISSURETOQUIT));
    m_autoStart = page.Check(L_Pref_Check_AutoStart, Flag(PREF_AUTOSTART));
    m_noWarningSyncPod = page.Check(L_Pref_Check_NoWarningSyncPod, Flag(PREF_NOWARNINGSYNCPOD));
    m_navigator = page.Path(L_Pref_String_Navigator, Pref.Navigator, "*");
    page.Button(L_Pref_Button_Font)->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFont(); });
}

void PrefsDialog::BuildArticle() {
    Page page(m_book, L_Pref_Panel_Feed);
    m_autoSetReaded = page.Check(L_Pref_Check_AutoSetAsReaded, Flag(PREF_AUTOSETREADEDFEED));
    m_autoSave = page.Spin(L_Pref_Spin_AutoSaveFeed, Pref.IntervalFeedToSave, 1, 1440);
    m_updateThreads = page.Spin(L_Pref_Spin_UpdateThreads, Pref.UpdateThreads,
                                PREF_UPDATETHREADS_MIN, PREF_UPDATETHREADS_MAX);
    m_feedTextPath = page.Path(L_Pref_String_FeedTextPath, Pref.FeedTextPath);
    wxArrayString layouts;
    for (const char* mask : kDateMasks)
        layouts.Add(DateExample(mask));
    m_formatDate = page.Choice(L_Pref_Text_FormatDate, layouts, Pref.FormatDate);
    m_syncReaded = page.Check(L_Pref_Check_SyncReaded, Flag(PREF_SYNCREADEDFEED));
    m_syncReadedPath = page.Path(L_Pref_String_SyncReadedPath, Pref.SyncReadedPath);
}

void PrefsDialog::BuildAlert() {
    Page page(m_book, L_Pref_Panel_Alarm);
    const wxString wav = "*.Wav|*.Wav;*.wav";
    m_byPopUp = page.Check(L_Pref_Check_AlarmByPopUp, Flag(PREF_ALARMBYPOPUP));
    m_bySpeech = page.Check(L_Pref_Check_AlarmByScreenReader, Flag(PREF_ALARMBYSPEECH));
    m_bySound = page.Check(L_Pref_Check_AlarmBySound, Flag(PREF_ALARMBYSOUND));
    m_alarmVolume = page.Spin(L_Pref_Spin_AlarmAudioVolume, Pref.AlarmVolume, 10, 100);
    m_onStart = page.Check(L_Pref_Check_AllowAlarmOnStart, Flag(PREF_ALARMONSTART));
    m_newFeedFile = page.Path(L_Pref_String_NewFeedFile, Pref.AlarmNewFeedFile, wav);
    m_allDownloaded =
        page.Check(L_Pref_Check_AllowAlarmAllDownloaded, Flag(PREF_ALARMALLDOWNLOADED));
    m_allDownloadedFile =
        page.Path(L_Pref_String_AllDownloadedFile, Pref.AlarmAllDownloadedFile, wav);
    m_finishFirst = page.Check(L_Pref_Check_AllowAlarmFinishFirstActualize,
                               Flag(PREF_ALARMFINISHFIRSTACTUALIZE));
    m_finishFirstFile =
        page.Path(L_Pref_String_FinishFirstActualizeFile, Pref.AlarmFinishFirstActualizeFile, wav);
}

void PrefsDialog::BuildAudio() {
    Page page(m_book, L_Pref_Panel_Audio);
    wxArrayString players;
    int selected = 0;
    for (int i = 0; i < 6; ++i) {
        players.Add(kPlayers[i]);
        if (i > 0 && EqualsNoCase(Pref.AudioPlayer, kPlayers[i])) selected = i;
    }
    m_player = page.Choice(L_Pref_Combo_UseAlternatePlayer, players, selected);
    m_muteVolume = page.Spin(L_Pref_Spin_MuteVolume, Pref.MuteVolume, 0, 50);
    m_moveAudio = page.Spin(L_Pref_Spin_MoveAudio, Pref.MoveAudio, 10, 120);
    m_audioExtension = page.Text(L_Pref_String_AudioExtensionFile, Pref.AudioExtension);
    m_extendShortcut = page.Check(L_Pref_Check_ExtendShortcut, Flag(PREF_EXTENDSHORTCUT));
    m_audioTimeFormat = page.Text(L_Pref_String_AudioTimeFormat, Pref.AudioTimeFormat);
    m_durationFormat = page.Text(L_Pref_String_DurationTimeFormat, Pref.DurationTimeFormat);
}

void PrefsDialog::BuildPodcast() {
    Page page(m_book, L_Pref_Panel_Panel);
    m_delPodcastWithFeed =
        page.Check(L_Pref_Check_DelPodcastWithFeed, Flag(PREF_DELPODCASTWITHFEED));
    m_playLink = page.Check(L_Pref_Check_PlayLinkByDefault, Flag(PREF_PLAYLINKBYDEFAULT));
    m_delOldPodcast = page.Spin(L_Pref_Spin_DelOldPodcast, Pref.NbDayBeforeDelPodCast, 0, 3650);
    m_podcastPath = page.Path(L_Pref_String_PodcastPath, Pref.PodcastPath);
}

void PrefsDialog::BuildProxy() {
    Page page(m_book, L_Pref_Panel_Proxy);
    m_useProxy = page.Check(L_Pref_Check_UseProxy, Pref.UseProxy != 0);
    m_proxyHost = page.Text(L_Pref_String_ProxyHost, Pref.ProxyHost);
    m_proxyPort = page.Spin(L_Pref_String_ProxyPort, Pref.ProxyPort, 0, 65535);
    m_proxyID = page.Text(L_Pref_String_ProxyID, Pref.ProxyID);
    m_proxyPassWord = page.Text(L_Pref_String_ProxyPassWord, Pref.ProxyPassWord, wxTE_PASSWORD);
}

void PrefsDialog::BuildShortcuts() {
    Page page(m_book, L_Pref_Panel_Shortcut);
    // ---- SHORTCUT EDITOR PAGE --------------------------------------------------------
    // The shortcut editor (list, key chooser, "Control", "Window", "Touche", "Modifier")
    // is built here by the shortcut code through Pref_SetShortcutPageBuilder.
    if (const PrefShortcutPageBuilder& build = Pref_ShortcutPageBuilder()) {
        m_applyShortcuts = build(page.Panel());
        return;
    }
    // Until then the page says what it is for.
    auto* text = new wxStaticText(page.Panel(), wxID_ANY, Label(L_Text_SelectShortCutKeyboard));
    page.Panel()->GetSizer()->Add(text, 0, wxALL, 10);
    // -----------------------------------------------------------------------------------
}

std::string PrefsDialog::ChosenLanguage() const {
    const int i = m_language->GetSelection();
    return i >= 0 && i < static_cast<int>(m_languages.size()) ? m_languages[i] : std::string();
}

void PrefsDialog::OnUpdateLanguage() {
    std::string language = ChosenLanguage();
    if (language.empty()) {
        // French is built in: the button then starts a new language file for a translator.
        language = Trim(ReqInput(Lng(L_Request_Lang), Lng(L_Request_EditNewLang), "", 0, this));
        for (const char c : std::string("\\/:*?\"<>|"))
            language.erase(std::remove(language.begin(), language.end(), c), language.end());
        if (language.empty()) return;
    }
    if (UpdateLanguageFileFor(LanguageFolder(), language)) {
        RequestMessage(Lng(L_Request_Info), Lng(L_Pref__LangFileUpdated, language), REQUEST_OK,
                       this);
        if (m_language->FindString(U(language)) == wxNOT_FOUND) {
            m_language->Append(U(language));
            m_languages.push_back(language);
        }
    } else {
        RequestMessage(Lng(L_Request_Error), Lng(L_Pref_Msg_LangFileNotUpdated), REQUEST_OK, this);
    }
    m_language->SetFocus();
}

void PrefsDialog::OnFont() {
    wxFontInfo info(m_fontSize > 0 ? m_fontSize : 12);
    info.FaceName(U(m_fontName))
        .Bold(m_fontStyle & PREF_FONT_BOLD)
        .Italic(m_fontStyle & PREF_FONT_ITALIC)
        .Underlined(m_fontStyle & PREF_FONT_UNDERLINE)
        .Strikethrough(m_fontStyle & PREF_FONT_STRIKEOUT);
    wxFontData data;
    data.SetInitialFont(wxFont(info));
    // Stored in Windows order: red in the low byte.
    data.SetColour(
        wxColour(m_fontColor & 0xFF, (m_fontColor >> 8) & 0xFF, (m_fontColor >> 16) & 0xFF));
    wxFontDialog dlg(this, data);
    if (dlg.ShowModal() != wxID_OK) return;
    const wxFont font = dlg.GetFontData().GetChosenFont();
    const wxColour colour = dlg.GetFontData().GetColour();
    m_fontName = S(font.GetFaceName());
    m_fontSize = font.GetPointSize();
    m_fontStyle = (font.GetWeight() >= wxFONTWEIGHT_BOLD ? PREF_FONT_BOLD : 0) |
                  (font.GetStyle() == wxFONTSTYLE_ITALIC ? PREF_FONT_ITALIC : 0) |
                  (font.GetUnderlined() ? PREF_FONT_UNDERLINE : 0) |
                  (font.GetStrikethrough() ? PREF_FONT_STRIKEOUT : 0);
    if (colour.IsOk()) m_fontColor = colour.Red() | (colour.Green() << 8) | (colour.Blue() << 16);
}

void PrefsDialog::Apply(bool quiet) {
    const std::string oldLanguage = Pref.AppLang;
    Pref.AppLang = ChosenLanguage();
    Pref.MaxRss = m_maxRss->GetValue();
    SetFlag(PREF_MINIMIZEONSTART, m_minimizeOnStart->GetValue());
    SetFlag(PREF_ESCAPTOSYSTRAY, m_escape->GetValue());
    SetFlag(PREF_ALTF4TOSYSTRAY, m_altF4->GetValue());
    SetFlag(PREF_ISSURETOQUIT, m_sureToQuit->GetValue());
    SetFlag(PREF_AUTOSTART, m_autoStart->GetValue());
    SetFlag(PREF_NOWARNINGSYNCPOD, m_noWarningSyncPod->GetValue());
    Pref.Navigator = Trim(S(m_navigator->GetValue()));
    Pref.EditNameFont = m_fontName;
    Pref.EditSizeFont = m_fontSize;
    Pref.EditStyleFont = m_fontStyle;
    Pref.EditColorFont = m_fontColor;

    SetFlag(PREF_AUTOSETREADEDFEED, m_autoSetReaded->GetValue());
    Pref.IntervalFeedToSave = m_autoSave->GetValue();
    Pref.UpdateThreads = m_updateThreads->GetValue();
    Pref.FeedTextPath = Trim(S(m_feedTextPath->GetValue()));
    Pref.FormatDate = m_formatDate->GetSelection();
    SetFlag(PREF_SYNCREADEDFEED, m_syncReaded->GetValue());
    Pref.SyncReadedPath = Trim(S(m_syncReadedPath->GetValue()));

    SetFlag(PREF_ALARMBYPOPUP, m_byPopUp->GetValue());
    SetFlag(PREF_ALARMBYSPEECH, m_bySpeech->GetValue());
    SetFlag(PREF_ALARMBYSOUND, m_bySound->GetValue());
    Pref.AlarmVolume = m_alarmVolume->GetValue();
    SetFlag(PREF_ALARMONSTART, m_onStart->GetValue());
    Pref.AlarmNewFeedFile = Trim(S(m_newFeedFile->GetValue()));
    SetFlag(PREF_ALARMALLDOWNLOADED, m_allDownloaded->GetValue());
    Pref.AlarmAllDownloadedFile = Trim(S(m_allDownloadedFile->GetValue()));
    SetFlag(PREF_ALARMFINISHFIRSTACTUALIZE, m_finishFirst->GetValue());
    Pref.AlarmFinishFirstActualizeFile = Trim(S(m_finishFirstFile->GetValue()));

    const int player = m_player->GetSelection();
    Pref.AudioPlayer = player > 0 ? kPlayers[player] : "";
    Pref.MuteVolume = m_muteVolume->GetValue();
    Pref.MoveAudio = m_moveAudio->GetValue();
    Pref.AudioExtension = Trim(S(m_audioExtension->GetValue()));
    SetFlag(PREF_EXTENDSHORTCUT, m_extendShortcut->GetValue());
    Pref.AudioTimeFormat = Trim(S(m_audioTimeFormat->GetValue()));
    Pref.DurationTimeFormat = Trim(S(m_durationFormat->GetValue()));

    SetFlag(PREF_DELPODCASTWITHFEED, m_delPodcastWithFeed->GetValue());
    SetFlag(PREF_PLAYLINKBYDEFAULT, m_playLink->GetValue());
    Pref.NbDayBeforeDelPodCast = m_delOldPodcast->GetValue();
    Pref.PodcastPath = Trim(S(m_podcastPath->GetValue()));

    Pref.UseProxy = m_useProxy->GetValue() ? 255 : 0;
    Pref.ProxyHost = Trim(S(m_proxyHost->GetValue()));
    Pref.ProxyPort = m_proxyPort->GetValue();
    Pref.ProxyID = S(m_proxyID->GetValue());
    Pref.ProxyPassWord = S(m_proxyPassWord->GetValue());

    if (m_applyShortcuts) m_applyShortcuts();
    Pref_Check();
    PrefChanged = true;

    AutoStart_Set(m_autoStart->GetValue(), Pref_Environment().AppPath + "Orvalis");
    if (!quiet && !EqualsNoCase(oldLanguage, Pref.AppLang))
        RequestMessage(Lng(L_Request_Info), Lng(L_Pref_Msg_ChangedLang), REQUEST_OK, this);
}

bool Pref_Open(wxWindow* parent) {
    PrefsDialog dlg(parent);
    if (dlg.ShowModal() != wxID_OK) return false;
    Pref_Apply(dlg);
    return true;
}

void Pref_Apply(PrefsDialog& dialog) {
    dialog.Apply();
}

std::vector<std::string> FillLanguageList(wxChoice* list, const std::string& folder,
                                          const std::string& current) {
    int selected = 0;
    std::vector<std::string> languages;
    list->Clear();
    for (const LanguageChoice& c : FillLanguageList(folder, current, selected)) {
        list->Append(U(c.Label));
        languages.push_back(c.Language);
    }
    list->SetSelection(selected);
    return languages;
}

bool Pref_SaveOrWarn(wxWindow* parent, int force) {
    if (Pref_Save(force)) return true;
    // Neither text goes through the language layer.
    RequestMessage("Erreur", "Impossible de sauvegarder les préférences", REQUEST_OK, parent);
    return false;
}

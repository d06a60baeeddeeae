#include "discovery/gui/EditFeedProperties.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "access/gui/AccessibleName.h"
#include "access/gui/RequestMessage.h"
#include "catalogue/core/RssList.h"
#include "discovery/core/FeedUrl.h"
#include "discovery/core/OPML.h"
#include "platform/core/Text.h"
#include "plugins/core/RunExtractor.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/PathTools.h"
#include "shell/base/AppPaths.h"
#include "update/worker/FeedThread.h"
#include "update/core/XmlDownload.h"

namespace {
wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}
std::string U(const wxString& s) {
    return std::string(s.ToUTF8());
}

const char* const kLanguages[] = {"",   "AR", "BE", "BN", "CH", "DE", "EN", "ES", "FR",
                                  "HI", "IT", "JA", "MY", "PT", "RU", "US", "ZH"};
struct Kind {
    int32_t Value;
    LngEntry Label;
};
const Kind kKinds[] = {
    {0, L_ContentRss_Undefined}, {1, L_ContentRss_Text},     {2, L_ContentRss_},
    {4, L_ContentRss_CatchTV},   {8, L_ContentRss_NetRadio}, {32, L_ContentRss_NetTV},
    {16, L_ContentRss_File},     {64, L_ContentRss_YouTube}, {128, L_ContentRss_DailyMotion}};
struct FlagBox {
    int32_t Bit;
    LngEntry Label;
};
const FlagBox kFlags[] = {
    {RSSFLAG_ACTUALIZE_ON_START, L_EditRss_CheckBox_ActualizeOnStart},
    {RSSFLAG_DISABLE, L_EditRss_CheckBox_DisableRss},
    {RSSFLAG_ALARM, L_EditRss_CheckBox_AlarmNewFeed},
    {RSSFLAG_PRIORITY_TO_ACTUALIZE, L_EditRss_CheckBox_PriorityToActualize},
    {RSSFLAG_SET_UPDATED_AS_UNREADED, L_EditRss_CheckBox_SetUpdatedFeedAsUnReaded},
    {RSSFLAG_REMOVE_DUPLICATE, L_EditRss_CheckBox_RemoveDuplicate},
    {RSSFLAG_ADD_TO_PODCAST_LIST, L_EditRss_CheckBox_AddToPodcastList},
    {RSSFLAG_DEL_OLD_PODCAST, L_EditRss_CheckBox_DelOldPodcast},
    {RSSFLAG_NO_SHARE, L_EditRss_CheckBox_NoShare},
};
// The article-extraction options of a feed's FormatExtractText.
const FlagBox kExtract[] = {
    {0x20000, L_ExtractText_EnableFlag}, {0x1000, L_ExtractText_withA},
    {0x8000, L_ExtractText_withIMG},     {0x2000, L_ExtractText_WithUL},
    {0x4000, L_ExtractText_WithTABLE},   {0x10000, L_ExtractText_WaitText},
};

bool IsSearchType(const std::string& type) {
    return EqualsNoCase(type, "OV-YouTube.exe") || EqualsNoCase(type, "OV-DailyMotion");
}

class PropertiesDialog : public wxDialog {
  public:
    PropertiesDialog(wxWindow* parent, Rss& work, bool isNew)
        : wxDialog(parent, wxID_ANY,
                   W(isNew ? Lng(L_EditRss_Title_New) : Lng(L_EditRss_Title_Edit) + work.Name),
                   wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          m_feed(work), m_isNew(isNew) {
        Build();
    }

    // Copies the fields back into the record (not yet validated).
    void Store() {
        m_feed.Name = Trim(U(m_name->GetValue()));
        m_feed.Group = Trim(U(m_group->GetValue()));
        m_feed.ExtractAs = U(m_type->GetStringSelection());
        m_feed.Url = NormalizeUrl(U(m_url->GetValue()));
        m_feed.Language = m_lang->GetSelection() > 0 ? kLanguages[m_lang->GetSelection()] : "";
        m_feed.Description = Trim(U(m_desc->GetValue()));
        m_feed.ContentRss = kKinds[std::max(0, m_content->GetSelection())].Value;
        m_feed.Interval = m_interval->GetValue();
        m_feed.FilePath = Trim(U(m_podPath->GetValue()));
        m_feed.MaxFeed = m_maxFeed->GetValue();
        for (size_t i = 0; i < m_flagBoxes.size(); ++i)
            m_feed.Flags = m_flagBoxes[i]->GetValue() ? (m_feed.Flags | kFlags[i].Bit)
                                                      : (m_feed.Flags & ~kFlags[i].Bit);
        for (size_t i = 0; i < m_extractBoxes.size(); ++i)
            m_feed.FormatExtractText = m_extractBoxes[i]->GetValue()
                                           ? (m_feed.FormatExtractText | kExtract[i].Bit)
                                           : (m_feed.FormatExtractText & ~kExtract[i].Bit);
    }

  private:
    template <class T>
    T* Row(wxFlexGridSizer* grid, const std::string& label, T* control,
           wxStaticText** labelOut = nullptr) {
        auto* l = new wxStaticText(this, wxID_ANY, W(Trim(label)));
        grid->Add(l, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(control, 1, wxEXPAND);
        Accessible_SetName(control, Trim(label));
        if (labelOut) *labelOut = l;
        return control;
    }

    void Build() {
        auto* top = new wxBoxSizer(wxVERTICAL);
        auto* grid = new wxFlexGridSizer(2, 6, 6);
        grid->AddGrowableCol(1);
        m_name = Row(grid, Lng(L_EditRss_String_Name),
                     new wxTextCtrl(this, wxID_ANY, W(m_feed.Name)), &m_nameLabel);
        m_group = new wxComboBox(this, wxID_ANY, W(m_feed.Group));
        std::vector<std::string> groups;
        for (const Rss& f : RssList)
            if (std::find(groups.begin(), groups.end(), f.Group) == groups.end())
                groups.push_back(f.Group);
        for (const std::string& g : groups)
            m_group->Append(W(g));
        m_group->SetValue(W(m_feed.Group));
        Row(grid, Lng(L_EditRss_Combo_Group), m_group);
        m_type = new wxChoice(this, wxID_ANY);
        std::vector<std::string> types = FeedType_List(PlugInPath);
        if (!m_feed.ExtractAs.empty() &&
            std::none_of(types.begin(), types.end(),
                         [&](const std::string& t) { return EqualsNoCase(t, m_feed.ExtractAs); }))
            types.push_back(m_feed.ExtractAs);
        for (const std::string& t : types)
            m_type->Append(W(t));
        int sel = 1; // "RssV2"
        for (size_t i = 0; i < types.size(); ++i)
            if (EqualsNoCase(types[i], m_feed.ExtractAs)) sel = static_cast<int>(i);
        m_type->SetSelection(sel);
        Row(grid, Lng(L_EditRss_Combo_Type), m_type);
        auto* urlRow = new wxBoxSizer(wxHORIZONTAL);
        m_url = new wxTextCtrl(this, wxID_ANY, W(m_feed.Url), wxDefaultPosition, wxSize(360, -1));
        Accessible_SetName(m_url, Trim(Lng(L_EditRss_String_Url)));
        m_check = new wxButton(this, wxID_ANY, W(Lng(L_EditRss_Button_CheckUrl)));
        urlRow->Add(m_url, 1, wxRIGHT, 6);
        urlRow->Add(m_check);
        grid->Add(new wxStaticText(this, wxID_ANY, W(Trim(Lng(L_EditRss_String_Url)))), 0,
                  wxALIGN_CENTER_VERTICAL);
        grid->Add(urlRow, 1, wxEXPAND);
        m_lang = new wxChoice(this, wxID_ANY);
        int langSel = 0;
        for (size_t i = 0; i < std::size(kLanguages); ++i) {
            m_lang->Append(W(kLanguages[i]));
            if (i > 0 && EqualsNoCase(m_feed.Language, kLanguages[i]))
                langSel = static_cast<int>(i);
        }
        m_lang->SetSelection(langSel);
        Row(grid, Lng(L_EditRss_Lang), m_lang);
        m_desc = Row(grid, Lng(L_EditRss_Desc_Desc),
                     new wxTextCtrl(this, wxID_ANY, W(m_feed.Description), wxDefaultPosition,
                                    wxSize(-1, 60), wxTE_MULTILINE));
        m_content = new wxChoice(this, wxID_ANY);
        int contentSel = 0;
        for (size_t i = 0; i < std::size(kKinds); ++i) {
            m_content->Append(W(Lng(kKinds[i].Label)));
            if (kKinds[i].Value == m_feed.ContentRss) contentSel = static_cast<int>(i);
        }
        m_content->SetSelection(contentSel);
        Row(grid, Lng(L_EditRss_ContentRss), m_content);
        auto* intervalRow = new wxBoxSizer(wxHORIZONTAL);
        m_interval = new wxSpinCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                    wxSP_ARROW_KEYS, 1, 4320, m_feed.Interval);
        m_intervalText = new wxStaticText(this, wxID_ANY, W(IntervalText(m_feed.Interval)));
        intervalRow->Add(m_interval, 0, wxRIGHT, 6);
        intervalRow->Add(m_intervalText, 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(new wxStaticText(this, wxID_ANY, W(Lng(L_EditRss_Spin_ReActualize))), 0,
                  wxALIGN_CENTER_VERTICAL);
        grid->Add(intervalRow);
        Accessible_SetName(m_interval,
                           Lng(L_EditRss_Spin_ReActualize) + ", " + IntervalText(m_feed.Interval));
        m_maxFeed = Row(grid, Lng(L_EditRss_Spin_MaxFeed),
                        new wxSpinCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                       wxSP_ARROW_KEYS, 0, 400, m_feed.MaxFeed));
        m_podPath = Row(grid, Lng(L_EditRss_String_PodPath),
                        new wxTextCtrl(this, wxID_ANY, W(m_feed.FilePath)));
        top->Add(grid, 0, wxEXPAND | wxALL, 8);

        auto* flags = new wxGridSizer(3, 4, 8);
        for (const FlagBox& f : kFlags) {
            auto* b = new wxCheckBox(this, wxID_ANY, W(Lng(f.Label)));
            b->SetValue((m_feed.Flags & f.Bit) != 0);
            Accessible_SetName(b, Lng(f.Label));
            flags->Add(b);
            m_flagBoxes.push_back(b);
        }
        top->Add(flags, 0, wxLEFT | wxRIGHT, 8);
        top->Add(new wxStaticText(this, wxID_ANY, W(Lng(L_EditRss_Combo_ExtractTextA))), 0,
                 wxLEFT | wxTOP, 8);
        auto* extract = new wxGridSizer(3, 4, 8);
        for (const FlagBox& f : kExtract) {
            auto* b = new wxCheckBox(this, wxID_ANY, W(Lng(f.Label)));
            b->SetValue((m_feed.FormatExtractText & f.Bit) != 0);
            Accessible_SetName(b, Lng(L_EditRss_Combo_ExtractTextA) + " : " + Lng(f.Label));
            extract->Add(b);
            m_extractBoxes.push_back(b);
        }
        top->Add(extract, 0, wxALL, 8);
        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        auto* ok = new wxButton(this, wxID_OK, W(Lng(L_Button_Ok)));
        auto* cancel = new wxButton(this, wxID_CANCEL, W(Lng(L_Button_Cancel)));
        Accessible_SetName(ok, Lng(L_Button_Ok));
        Accessible_SetName(cancel, "Annuler");
        buttons->Add(ok, 0, wxRIGHT, 6);
        buttons->Add(cancel);
        top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 8);
        SetSizerAndFit(top);
        SetEscapeId(wxID_CANCEL);
        ok->SetDefault();

        m_type->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { TypeChanged(); });
        m_interval->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { IntervalChanged(); });
        m_interval->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { IntervalChanged(); });
        m_check->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CheckOrSettings(); });
        TypeChanged();
        m_name->SetFocus();
    }

    void TypeChanged() {
        const std::string type = U(m_type->GetStringSelection());
        const std::string nameLabel =
            Trim(IsSearchType(type) ? Lng(L_EditRss_String_Search) : Lng(L_EditRss_String_Name));
        m_nameLabel->SetLabel(W(nameLabel));
        Accessible_SetName(m_name, nameLabel);
        const std::string button = IsPlugInType(type) && !EqualsNoCase(type, "OV-DailyMotion")
                                       ? Lng(L_EditRss_Button_CheckPlugIn)
                                       : Lng(L_EditRss_Button_CheckUrl);
        m_check->SetLabel(W(button));
        Accessible_SetName(m_check, button);
        Layout();
    }

    void IntervalChanged() {
        const std::string text = IntervalText(m_interval->GetValue());
        m_intervalText->SetLabel(W(text));
        Accessible_SetName(m_interval, Lng(L_EditRss_Spin_ReActualize) + ", " + text);
    }

    // "Vérifier l'adresse", or the extractor's own settings window.
    void CheckOrSettings() {
        const std::string type = U(m_type->GetStringSelection());
        if (IsPlugInType(type) && !EqualsNoCase(type, "OV-DailyMotion")) {
            Extractor_OpenSettings(PlugInPath, type);
            return;
        }
        std::string url = NormalizeUrl(U(m_url->GetValue()));
        wxBusyCursor busy;
        if (IsFeedFormat(type)) url = ConvertVideoUrl(url);
        m_url->SetValue(W(url));
        Rss found;
        const bool defaultName = U(m_name->GetValue()) == Lng(L_Text_NewRss) || m_name->IsEmpty();
        if (GetRssInfoFromURL(url, found, 1, 0) == 0) {
            RequestMessage(Lng(L_Request_Info), Lng(L_Request_NoRssFoundInUrl), REQUEST_OK, this);
            return;
        }
        for (unsigned i = 0; i < m_type->GetCount(); ++i)
            if (EqualsNoCase(U(m_type->GetString(i)), found.ExtractAs)) m_type->SetSelection(i);
        if (defaultName && !found.Name.empty()) m_name->SetValue(W(found.Name));
        for (size_t i = 1; i < std::size(kLanguages); ++i)
            if (EqualsNoCase(found.Language.substr(0, 2), kLanguages[i]))
                m_lang->SetSelection(static_cast<int>(i));
        TypeChanged();
    }

    Rss& m_feed;
    bool m_isNew;
    wxStaticText* m_nameLabel = nullptr;
    wxStaticText* m_intervalText = nullptr;
    wxTextCtrl *m_name = nullptr, *m_url = nullptr, *m_desc = nullptr, *m_podPath = nullptr;
    wxComboBox* m_group = nullptr;
    wxChoice *m_type = nullptr, *m_lang = nullptr, *m_content = nullptr;
    wxSpinCtrl *m_interval = nullptr, *m_maxFeed = nullptr;
    wxButton* m_check = nullptr;
    std::vector<wxCheckBox*> m_flagBoxes, m_extractBoxes;
};
} // namespace

std::string IntervalText(int32_t minutes) {
    const int32_t h = minutes / 60, m = minutes % 60;
    if (h > 0 && m > 0) return Lng(L_Msg_HourAndMinute, std::to_string(h), std::to_string(m));
    if (h > 0) return Lng(L_Msg_Hour, std::to_string(h));
    return Lng(L_Msg_Minute, std::to_string(m));
}

int32_t EditFeedProperties(Rss* feed, wxWindow* parent, const std::string& type,
                           const std::string& group, const std::function<void()>& changed) {
    Rss work;
    if (feed) {
        work = *feed;
        work.Items.Clear();
    } else {
        work.Name = Lng(L_Text_NewRss);
        work.ExtractAs = type.empty() ? "RssV2" : type;
        work.Group = group.empty() ? std::string(DEFAULT_GROUP) : group;
        work.Flags =
            RSSFLAG_ACTUALIZE_ON_START | RSSFLAG_ADD_TO_PODCAST_LIST | RSSFLAG_REMOVE_DUPLICATE;
    }
    const int32_t id = feed ? feed->RssID : 0;
    PropertiesDialog dlg(parent, work, feed == nullptr);
    dlg.CentreOnParent();
    for (;;) {
        if (dlg.ShowModal() != wxID_OK) return 0;
        dlg.Store();
        if (EqualsNoCase(work.ExtractAs, "OV-YouTube.exe")) work.Url = YouTubeSearchUrl(work.Name);
        if (EqualsNoCase(work.ExtractAs, "OV-DailyMotion"))
            work.Url = DailyMotionSearchUrl(work.Name);
        const Rss* same = nullptr;
        for (const Rss& f : RssList)
            if (f.RssID != id && EqualsNoCase(f.Url, work.Url)) same = &f;
        if (same) {
            RequestMessage(Lng(L_Request_Info), Lng(L_Msg_RssExist, same->Name), REQUEST_OK, &dlg);
            continue;
        }
        if (!work.FilePath.empty() && !IsValidFileName(work.FilePath)) {
            RequestMessage(Lng(L_Request_Error), Lng(L_Msg_BadRssPodcastPath), REQUEST_OK, &dlg);
            continue;
        }
        break;
    }
    if (work.Group.empty()) work.Group = DEFAULT_GROUP;
    int32_t result = id;
    if (feed) {
        feed->Name = work.Name;
        feed->Group = work.Group;
        feed->ExtractAs = work.ExtractAs;
        feed->Url = work.Url;
        feed->Language = work.Language;
        feed->Description = work.Description;
        feed->ContentRss = NormaliseContentRss(work.ContentRss, work.ExtractAs);
        feed->Interval = work.Interval;
        feed->FilePath = work.FilePath;
        feed->MaxFeed = work.MaxFeed;
        feed->Flags = work.Flags;
        feed->FormatExtractText = work.FormatExtractText;
    } else {
        if (RssList_Add(work) != 1) return 0;
        result = RssList.Current()->RssID;
    }
    Log("- EditFeedProperties : " + work.Name + ", " + work.Url);
    RssList_Sort();
    RssList_DirectSave(CATALOGUE_FILE);
    if (changed) changed();
    DownloadRSS_Push(result, 1);
    return result;
}

#include "discovery/gui/FeedSelectionDialog.h"

#include <ctime>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dataview.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include "access/gui/AccessibleName.h"
#include "access/gui/RequestMessage.h"
#include "catalogue/core/RssList.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "discovery/core/OpmlExchange.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"

namespace {
#ifdef __WXGTK__
// The tree view inside a wxDataViewCtrl (it sits in a scrolled window).
GtkWidget* TreeViewIn(GtkWidget* w) {
    if (!w) return nullptr;
    if (GTK_IS_TREE_VIEW(w)) return w;
    GtkWidget* found = nullptr;
    if (GTK_IS_CONTAINER(w)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(w));
        for (GList* c = children; c && !found; c = c->next)
            found = TreeViewIn(GTK_WIDGET(c->data));
        g_list_free(children);
    }
    return found;
}
#endif

// Names a list and the native view in it that takes the focus, so the name is heard when
// the focus enters the list.
void NameList(wxWindow* list, const std::string& name) {
    Accessible_SetName(list, name);
#ifdef __WXGTK__
    if (GtkWidget* view = TreeViewIn(list->GetHandle()))
        if (AtkObject* acc = gtk_widget_get_accessible(view))
            atk_object_set_name(acc, name.c_str());
#endif
}

wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}
std::string U(const wxString& s) {
    return std::string(s.ToUTF8());
}

// The content kinds of the content combo after "Tous les contenus de flux", with their
// labels: "Flux Indéfini" is 0.
struct ContentKind {
    int32_t Value;
    LngEntry Label;
};
const ContentKind kContents[] = {
    {0, L_ContentRss_Undefined}, {1, L_ContentRss_Text},     {2, L_ContentRss_},
    {4, L_ContentRss_CatchTV},   {8, L_ContentRss_NetRadio}, {32, L_ContentRss_NetTV},
    {16, L_ContentRss_File},
};

class SelectionDialog : public wxDialog {
  public:
    SelectionDialog(wxWindow* parent, CursorList<Rss>& list, int mode, const std::string& group,
                    DiscoveryUi& ui)
        : wxDialog(parent, wxID_ANY, W(FeedSelection_Title(mode)), wxDefaultPosition,
                   wxSize(900, 600), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
          m_list(list), m_mode(mode), m_ui(ui) {
        FeedSelection_Preselect(m_list, mode);
        m_now = static_cast<int32_t>(std::time(nullptr));
        Build(group);
        Refill();
    }

    int Result() const { return m_result; }

  private:
    template <class T> T* Named(T* control, const std::string& name) {
        Accessible_SetName(control, Trim(name));
        return control;
    }
    wxStaticText* Label(const std::string& text) {
        return new wxStaticText(this, wxID_ANY, W(Trim(text)));
    }

    void Build(const std::string& group) {
        auto* top = new wxBoxSizer(wxVERTICAL);

        // Filters, each after its label (the label comes first in the tab order).
        auto* filters = new wxFlexGridSizer(4, 6, 6);
        m_period = new wxChoice(this, wxID_ANY);
        for (LngEntry e :
             {L_OPML_FilterAll, L_OPML_Filter1Week, L_OPML_Filter2Week, L_OPML_Filter1Month,
              L_OPML_Filter2Month, L_OPML_Filter6Month, L_OPML_Filter1Year})
            m_period->Append(W(Lng(e)));
        m_period->SetSelection(0);
        filters->Add(Label(Lng(L_OPML_FilterDate)), 0, wxALIGN_CENTER_VERTICAL);
        filters->Add(Named(m_period, Lng(L_OPML_FilterDate)));
        m_content = new wxChoice(this, wxID_ANY);
        m_content->Append(W(Lng(L_ContentRss_All)));
        for (const ContentKind& k : kContents)
            m_content->Append(W(Lng(k.Label)));
        m_content->SetSelection(0);
        filters->Add(Label(Lng(L_ContentRss_All)), 0, wxALIGN_CENTER_VERTICAL);
        filters->Add(Named(m_content, Lng(L_EditRss_ContentRss)));
        m_language = new wxChoice(this, wxID_ANY);
        m_language->Append(W(Lng(L_OPML_FilterAll)));
        for (const std::string& l : FeedSelection_Languages(m_list))
            m_language->Append(W(l));
        m_language->SetSelection(0);
        filters->Add(Label(Lng(L_OPML_FilterLang)), 0, wxALIGN_CENTER_VERTICAL);
        filters->Add(Named(m_language, Lng(L_OPML_FilterLang)));
        m_fromGroup = new wxChoice(this, wxID_ANY);
        m_fromGroup->Append(W(Lng(L_OPML_FilterAll)));
        for (const std::string& g : FeedSelection_Groups(m_list))
            m_fromGroup->Append(W(g));
        m_fromGroup->SetSelection(0);
        filters->Add(Label(Lng(L_Text_FromGroup)), 0, wxALIGN_CENTER_VERTICAL);
        filters->Add(Named(m_fromGroup, Lng(L_Text_FromGroup)));
        top->Add(filters, 0, wxALL, 6);

        auto* keyRow = new wxBoxSizer(wxHORIZONTAL);
        keyRow->Add(Label(Lng(L_OPML_KeyWord)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        m_keyword = Named(new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(220, -1),
                                         wxTE_PROCESS_ENTER),
                          Lng(L_OPML_KeyWord));
        keyRow->Add(m_keyword, 0, wxRIGHT, 6);
        m_filter = Named(new wxButton(this, wxID_ANY, W(Lng(L_OPML_Button_Filter))),
                         Lng(L_OPML_Button_Filter));
        keyRow->Add(m_filter, 0, wxRIGHT, 12);
        m_active = Named(new wxCheckBox(this, wxID_ANY, W(Lng(L_OPML_CheckBox_FilterActive))),
                         Lng(L_OPML_CheckBox_FilterActive));
        keyRow->Add(m_active, 0, wxALIGN_CENTER_VERTICAL);
        top->Add(keyRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);

        auto* lists = new wxBoxSizer(wxHORIZONTAL);
        m_groups = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(200, -1),
                                          wxDV_SINGLE | wxDV_ROW_LINES);
        m_groups->AppendToggleColumn(W(Lng(L_OPML_ListIcon_Group)), wxDATAVIEW_CELL_ACTIVATABLE,
                                     30);
        m_groups->AppendTextColumn(W(Lng(L_OPML_ListIcon_Group)), wxDATAVIEW_CELL_INERT, 160);
        NameList(m_groups, Lng(L_OPML_ListIcon_Group));
        lists->Add(m_groups, 0, wxEXPAND | wxRIGHT, 6);
        m_feeds = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                         wxDV_SINGLE | wxDV_ROW_LINES);
        m_feeds->AppendToggleColumn(W(Lng(L_OPML_ListIcon_Name)), wxDATAVIEW_CELL_ACTIVATABLE, 30);
        for (LngEntry e : {L_OPML_ListIcon_Name, L_OPML_ListIcon_Lang, L_OPML_ListIcon_Type,
                           L_OPML_ListIcon_Description, L_OPML_ListIcon_Group, L_OPML_ListIcon_URL})
            m_feeds->AppendTextColumn(W(Lng(e)), wxDATAVIEW_CELL_INERT,
                                      e == L_OPML_ListIcon_Name ? 220 : 100);
        NameList(m_feeds, FeedSelection_Title(m_mode));
        lists->Add(m_feeds, 1, wxEXPAND);
        top->Add(lists, 1, wxEXPAND | wxLEFT | wxRIGHT, 6);

        auto* sel = new wxBoxSizer(wxHORIZONTAL);
        m_selectAll = new wxButton(this, wxID_ANY, "-");
        m_unselectAll = new wxButton(this, wxID_ANY, "-");
        m_selectGroup = Named(new wxButton(this, wxID_ANY, W(Lng(L_Button_SelectGroup))),
                              Lng(L_Button_SelectGroup));
        m_unselectGroup = Named(new wxButton(this, wxID_ANY, W(Lng(L_Button_UnSelectGroup))),
                                Lng(L_Button_UnSelectGroup));
        for (wxButton* b : {m_selectAll, m_unselectAll, m_selectGroup, m_unselectGroup})
            sel->Add(b, 0, wxRIGHT, 6);
        top->Add(sel, 0, wxALL, 6);

        auto* dest = new wxBoxSizer(wxHORIZONTAL);
        m_force = Named(new wxCheckBox(this, wxID_ANY, W(Lng(L_OPML_Check_ForceGroup))),
                        Lng(L_OPML_Check_ForceGroup));
        m_force->SetValue((m_mode & SELECTMODE_FORCE_GROUP) != 0);
        dest->Add(m_force, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
        m_dest = new wxComboBox(this, wxID_ANY, "", wxDefaultPosition, wxSize(220, -1));
        std::vector<std::string> groups;
        for (const Rss& f : RssList)
            if (std::find(groups.begin(), groups.end(), f.Group) == groups.end())
                groups.push_back(f.Group);
        for (const std::string& g : groups)
            m_dest->Append(W(g));
        m_dest->SetValue(W(group.empty() ? std::string(DEFAULT_GROUP) : group));
        m_dest->Enable(m_force->GetValue());
        Named(m_dest, Lng(L_OPML_Check_ForceGroup));
        dest->Add(m_dest, 0, wxRIGHT, 12);
        m_verify = Named(new wxCheckBox(this, wxID_ANY, W(Lng(L_OPML_Check_CheckURL))),
                         Lng(L_OPML_Check_CheckURL));
        m_verify->SetValue((m_mode & SELECTMODE_VERIFY) != 0);
        dest->Add(m_verify, 0, wxALIGN_CENTER_VERTICAL);
        top->Add(dest, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);

        auto* buttons = new wxBoxSizer(wxHORIZONTAL);
        m_confirm = Named(new wxButton(this, wxID_OK, W(FeedSelection_ConfirmLabel(m_mode))),
                          FeedSelection_ConfirmLabel(m_mode));
        auto* cancel = Named(new wxButton(this, wxID_CANCEL, W(Lng(L_Button_Cancel))),
                             wxStripMenuCodes(W(Lng(L_Button_Cancel))).ToStdString(wxConvUTF8));
        buttons->Add(m_confirm, 0, wxRIGHT, 6);
        buttons->Add(cancel);
        top->Add(buttons, 0, wxALIGN_RIGHT | wxALL, 6);
        SetSizer(top);
        SetEscapeId(wxID_CANCEL);

        for (wxChoice* c : {m_period, m_content, m_language, m_fromGroup})
            c->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { Refill(); });
        m_active->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Refill(); });
        m_filter->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Refill(); });
        m_keyword->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Refill(); });
        m_force->Bind(wxEVT_CHECKBOX,
                      [this](wxCommandEvent&) { m_dest->Enable(m_force->GetValue()); });
        m_feeds->Bind(wxEVT_DATAVIEW_ITEM_VALUE_CHANGED, &SelectionDialog::OnFeedToggled, this);
        m_groups->Bind(wxEVT_DATAVIEW_ITEM_VALUE_CHANGED, &SelectionDialog::OnGroupToggled, this);
        m_feeds->Bind(wxEVT_DATAVIEW_ITEM_CONTEXT_MENU,
                      [this](wxDataViewEvent&) { ContextMenu(); });
        m_feeds->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == 'C' && e.ControlDown())
                CopyRow();
            else if (e.GetKeyCode() == WXK_MENU || (e.GetKeyCode() == WXK_F10 && e.ShiftDown()))
                ContextMenu();
            else
                e.Skip();
        });
        m_selectAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetVisible(true); });
        m_unselectAll->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetVisible(false); });
        m_selectGroup->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetGroup(true); });
        m_unselectGroup->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetGroup(false); });
        m_confirm->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Confirm(); });
    }

    FeedFilter CurrentFilter() const {
        FeedFilter f;
        f.Keywords = U(m_keyword->GetValue());
        f.PeriodDays = FeedFilter_Periods()[std::max(0, m_period->GetSelection())];
        const int c = m_content->GetSelection();
        f.Content = c <= 0 ? -1 : kContents[c - 1].Value;
        if (m_language->GetSelection() > 0) f.Language = U(m_language->GetStringSelection());
        if (m_fromGroup->GetSelection() > 0) f.Group = U(m_fromGroup->GetStringSelection());
        f.ActiveOnly = m_active->GetValue();
        return f;
    }

    // The list rows are the visible feeds, in list order.
    void Refill() {
        const int visible = FilterFeedList(m_list, CurrentFilter(), m_now);
        m_rows.clear();
        m_feeds->DeleteAllItems();
        for (Rss& f : m_list) {
            if (!(f.ExtractError & VISIBLE_BIT)) continue;
            wxVector<wxVariant> row;
            row.push_back(wxVariant((f.ExtractError & SELECT_BIT) != 0));
            std::string name = f.Name;
            if (IsFeedFormat(f.ExtractAs)) name += FeedActivity(f.LastBuildDate, m_now);
            for (const std::string* s :
                 {&name, &f.Language, &f.ExtractAs, &f.Description, &f.Group, &f.Url})
                row.push_back(wxVariant(W(*s)));
            m_feeds->AppendItem(row);
            m_rows.push_back(&f);
        }
        const std::string n = std::to_string(visible);
        m_selectAll->SetLabel(W(Lng(L_Button_SelectAll, n)));
        m_unselectAll->SetLabel(W(Lng(L_Button_UnSelectAll, n)));
        Accessible_SetName(m_selectAll, Lng(L_Button_SelectAll, n));
        Accessible_SetName(m_unselectAll, Lng(L_Button_UnSelectAll, n));
        if (!m_rows.empty()) m_feeds->SelectRow(0);
        RefillGroups();
        Layout();
    }

    void RefillGroups() {
        const std::string keep = SelectedGroup(false);
        m_groups->DeleteAllItems();
        m_groupNames = FeedSelection_Groups(m_list);
        for (const std::string& g : m_groupNames) {
            bool all = true;
            for (const Rss& f : m_list)
                if (Utf8Lower(f.Group) == Utf8Lower(g) && !(f.ExtractError & SELECT_BIT))
                    all = false;
            wxVector<wxVariant> row;
            row.push_back(wxVariant(all));
            row.push_back(wxVariant(W(g)));
            m_groups->AppendItem(row);
        }
        for (size_t i = 0; i < m_groupNames.size(); ++i)
            if (m_groupNames[i] == keep) m_groups->SelectRow(static_cast<unsigned>(i));
    }

    void OnFeedToggled(wxDataViewEvent& e) {
        const int row = m_feeds->ItemToRow(e.GetItem());
        if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
        if (m_feeds->GetToggleValue(row, 0))
            m_rows[row]->ExtractError |= SELECT_BIT;
        else
            m_rows[row]->ExtractError &= ~SELECT_BIT;
        RefillGroups();
    }

    void OnGroupToggled(wxDataViewEvent& e) {
        const int row = m_groups->ItemToRow(e.GetItem());
        if (row < 0 || row >= static_cast<int>(m_groupNames.size())) return;
        const bool on = m_groups->GetToggleValue(row, 0);
        SetGroupNamed(m_groupNames[row], on);
    }

    // The group the buttons act on: the selected row of the group list, else the group
    // of the selected feed.
    std::string SelectedGroup(bool fromFeeds = true) const {
        const int g = m_groups ? m_groups->GetSelectedRow() : wxNOT_FOUND;
        if (g != wxNOT_FOUND && g < static_cast<int>(m_groupNames.size())) return m_groupNames[g];
        if (!fromFeeds) return {};
        const int r = m_feeds->GetSelectedRow();
        if (r != wxNOT_FOUND && r < static_cast<int>(m_rows.size())) return m_rows[r]->Group;
        return {};
    }

    void SetVisible(bool on) {
        for (Rss* f : m_rows)
            f->ExtractError = on ? (f->ExtractError | SELECT_BIT) : (f->ExtractError & ~SELECT_BIT);
        Refill();
    }
    void SetGroup(bool on) {
        const std::string g = SelectedGroup();
        if (!g.empty()) SetGroupNamed(g, on);
    }
    void SetGroupNamed(const std::string& group, bool on) {
        for (Rss& f : m_list)
            if (Utf8Lower(f.Group) == Utf8Lower(group))
                f.ExtractError =
                    on ? (f.ExtractError | SELECT_BIT) : (f.ExtractError & ~SELECT_BIT);
        Refill();
    }

    void CopyRow() {
        const int r = m_feeds->GetSelectedRow();
        if (r == wxNOT_FOUND) return;
        wxString text;
        for (unsigned c = 1; c < m_feeds->GetColumnCount(); ++c) {
            if (c > 1) text += "\t";
            text += m_feeds->GetTextValue(r, c);
        }
        if (wxTheClipboard->Open()) {
            wxTheClipboard->SetData(new wxTextDataObject(text));
            wxTheClipboard->Close();
        }
    }
    void ContextMenu() {
        wxMenu menu;
        const int id = wxWindow::NewControlId();
        menu.Append(id, W(Lng(L_SyncPod_Button_Copy)));
        menu.Bind(
            wxEVT_MENU, [this](wxCommandEvent&) { CopyRow(); }, id);
        PopupMenu(&menu);
    }

    void Confirm() {
        // The check marks are already in the selection words; the confirmation does the rest.
        const bool changeGroup = m_force->GetValue();
        if (!FeedSelection_Confirm(m_list, m_mode, changeGroup, U(m_dest->GetValue()),
                                   m_verify->GetValue(), m_ui)) {
            m_feeds->SetFocus();
            return;
        }
        m_result = 1;
        EndModal(wxID_OK);
    }

    CursorList<Rss>& m_list;
    int m_mode;
    DiscoveryUi& m_ui;
    int32_t m_now = 0;
    int m_result = 0;
    std::vector<Rss*> m_rows;
    std::vector<std::string> m_groupNames;
    wxChoice *m_period = nullptr, *m_content = nullptr, *m_language = nullptr,
             *m_fromGroup = nullptr;
    wxTextCtrl* m_keyword = nullptr;
    wxButton *m_filter = nullptr, *m_selectAll = nullptr, *m_unselectAll = nullptr,
             *m_selectGroup = nullptr, *m_unselectGroup = nullptr, *m_confirm = nullptr;
    wxCheckBox *m_active = nullptr, *m_force = nullptr, *m_verify = nullptr;
    wxComboBox* m_dest = nullptr;
    wxDataViewListCtrl *m_groups = nullptr, *m_feeds = nullptr;
};
} // namespace

int FeedSelectionDialog(CursorList<Rss>& list, int mode, const std::string& group, wxWindow* parent,
                        DiscoveryUi& ui) {
    SelectionDialog* dlg = nullptr;
    try {
        dlg = new SelectionDialog(parent, list, mode, group, ui);
    } catch (...) {
        dlg = nullptr;
    }
    if (!dlg) {
        RequestMessage(Lng(L_Request_Error), Lng(L_EditRss_Error_NoWindow), REQUEST_OK, parent);
        return 0;
    }
    dlg->CentreOnParent();
    dlg->ShowModal();
    const int result = dlg->Result();
    dlg->Destroy();
    return result;
}

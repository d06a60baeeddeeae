#include "shell/gui/ArticleListView.h"

#include "shell/base/Lng.h"
#include "shell/gui/ZoneAccess.h"

ArticleListView::ArticleListView(wxWindow* parent) {
    m_list = new wxDataViewListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxDV_SINGLE | wxDV_ROW_LINES);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Name)), wxDATAVIEW_CELL_INERT,
                             200);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Duration)),
                             wxDATAVIEW_CELL_INERT, 50);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Date)), wxDATAVIEW_CELL_INERT,
                             100);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Size)), wxDATAVIEW_CELL_INERT,
                             100);
}

static wxVector<wxVariant> Cells(const ArticleListRow& r) {
    wxVector<wxVariant> v;
    v.push_back(wxVariant(wxString::FromUTF8(r.Name)));
    v.push_back(wxVariant(wxString::FromUTF8(r.Duration)));
    v.push_back(wxVariant(wxString::FromUTF8(r.Date)));
    v.push_back(wxVariant(wxString::FromUTF8(r.Fourth)));
    return v;
}

void ArticleListView::Fill(const std::vector<ArticleListRow>& rows,
                           const std::string& fourthTitle) {
    m_list->Freeze();
    m_list->DeleteAllItems();
    m_ids.clear();
    if (wxDataViewColumn* c = m_list->GetColumn(3)) c->SetTitle(wxString::FromUTF8(fourthTitle));
    for (const ArticleListRow& r : rows) {
        m_list->AppendItem(Cells(r));
        m_ids.push_back(r.FeedID);
    }
    m_list->Thaw();
}

void ArticleListView::SetRow(int row, const ArticleListRow& text) {
    if (row < 0 || row >= RowCount()) return;
    const wxVector<wxVariant> v = Cells(text);
    bool changed = false;
    for (unsigned col = 0; col < 4; ++col)
        if (m_list->GetTextValue(row, col) != v[col].GetString()) {
            m_list->SetTextValue(v[col].GetString(), row, col);
            changed = true;
        }
    if (changed) Zone_RowChanged(m_list, {row});
    m_ids[static_cast<size_t>(row)] = text.FeedID;
}

int32_t ArticleListView::FeedIDAt(int row) const {
    return (row < 0 || row >= RowCount()) ? 0 : m_ids[static_cast<size_t>(row)];
}

int ArticleListView::RowOf(int32_t feedID) const {
    for (size_t i = 0; i < m_ids.size(); ++i)
        if (m_ids[i] == feedID) return static_cast<int>(i);
    return -1;
}

int ArticleListView::SelectedRow() const {
    return m_list->GetSelectedRow();
}

void ArticleListView::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        m_list->UnselectAll();
        return;
    }
    m_list->SelectRow(static_cast<unsigned>(row));
    const wxDataViewItem item = m_list->RowToItem(row);
    m_list->SetCurrentItem(item);
    m_list->EnsureVisible(item);
}

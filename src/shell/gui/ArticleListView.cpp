#include "shell/gui/ArticleListView.h"

#include "shell/base/Lng.h"
#include "shell/gui/ZoneAccess.h"

const ArticleListRow& ArticleListModel::Row(size_t row) const {
    if (!Made[row]) {
        if (Make) Rows[row] = Make(row);
        Rows[row].FeedID = Ids[row];
        Made[row] = 1;
    }
    return Rows[row];
}

const std::string& ArticleListModel::Text(unsigned row, unsigned col) const {
    static const std::string kNone;
    if (row >= Ids.size()) return kNone;
    const ArticleListRow& r = Row(row);
    switch (col) {
    case 0:
        return r.Name;
    case 1:
        return r.Duration;
    case 2:
        return r.Date;
    case 3:
        return r.Fourth;
    default:
        return kNone;
    }
}

void ArticleListModel::GetValueByRow(wxVariant& value, unsigned row, unsigned col) const {
    value = wxString::FromUTF8(Text(row, col));
}

wxString ArticleListCtrl::GetTextValue(unsigned row, unsigned col) const {
    const auto* model = static_cast<const ArticleListModel*>(GetModel());
    return model ? wxString::FromUTF8(model->Text(row, col)) : wxString();
}

ArticleListView::ArticleListView(wxWindow* parent) : m_model(new ArticleListModel) {
    m_list = new ArticleListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                 wxDV_SINGLE | wxDV_ROW_LINES);
    m_list->AssociateModel(m_model.get());
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Name)), 0,
                             wxDATAVIEW_CELL_INERT, 200);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Duration)), 1,
                             wxDATAVIEW_CELL_INERT, 50);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Date)), 2,
                             wxDATAVIEW_CELL_INERT, 100);
    m_list->AppendTextColumn(wxString::FromUTF8(Lng(L_Main_ListIcon_Size)), 3,
                             wxDATAVIEW_CELL_INERT, 100);
}

void ArticleListView::Fill(std::vector<int32_t> feedIDs, ArticleRowMaker make,
                           const std::string& fourthTitle) {
    if (wxDataViewColumn* c = m_list->GetColumn(3)) c->SetTitle(wxString::FromUTF8(fourthTitle));
    ArticleListModel& m = *m_model;
    m.Ids = std::move(feedIDs);
    m.Make = std::move(make);
    m.Rows.assign(m.Ids.size(), ArticleListRow());
    m.Made.assign(m.Ids.size(), 0);
    // One notification for the whole list, whatever its length.
    m.Reset(static_cast<unsigned>(m.Ids.size()));
}

void ArticleListView::SetRow(int row, const ArticleListRow& text) {
    if (row < 0 || row >= RowCount()) return;
    const size_t i = static_cast<size_t>(row);
    ArticleListModel& m = *m_model;
    // A row never read yet needs no notice: the view asks for it when it shows it.
    const bool shown = m.Made[i];
    const ArticleListRow& r = m.Rows[i];
    const bool changed = shown && (r.Name != text.Name || r.Duration != text.Duration ||
                                   r.Date != text.Date || r.Fourth != text.Fourth);
    m.Rows[i] = text;
    m.Rows[i].FeedID = m.Ids[i] = text.FeedID;
    m.Made[i] = 1;
    if (changed) {
        m_model->RowChanged(static_cast<unsigned>(row));
        Zone_RowChanged(m_list, {row});
    }
}

int32_t ArticleListView::FeedIDAt(int row) const {
    return (row < 0 || row >= RowCount()) ? 0 : m_model->Ids[static_cast<size_t>(row)];
}

int ArticleListView::RowOf(int32_t feedID) const {
    const std::vector<int32_t>& ids = m_model->Ids;
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == feedID) return static_cast<int>(i);
    return -1;
}

int ArticleListView::SelectedRow() const {
    const wxDataViewItem item = m_list->GetSelection();
    return item.IsOk() ? static_cast<int>(m_model->GetRow(item)) : -1;
}

void ArticleListView::SelectRow(int row) {
    if (row < 0 || row >= RowCount()) {
        m_list->UnselectAll();
        return;
    }
    const wxDataViewItem item = m_model->GetItem(static_cast<unsigned>(row));
    m_list->Select(item);
    m_list->SetCurrentItem(item);
    m_list->EnsureVisible(item);
}

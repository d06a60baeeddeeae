#include "shell/gui/FeedTreeView.h"

#include "platform/core/Text.h"
#include "shell/gui/ZoneAccess.h"

FeedTreeView::FeedTreeView(wxWindow* parent) {
    m_tree = new wxDataViewTreeCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                    wxDV_SINGLE | wxDV_NO_HEADER);
    m_tree->Bind(wxEVT_DATAVIEW_ITEM_COLLAPSED, [this](wxDataViewEvent& e) {
        for (const auto& r : m_rows)
            if (r.first == e.GetItem() && r.second.IsGroup)
                m_collapsed.insert(Utf8Lower(r.second.Name));
        e.Skip();
    });
    m_tree->Bind(wxEVT_DATAVIEW_ITEM_EXPANDED, [this](wxDataViewEvent& e) {
        for (const auto& r : m_rows)
            if (r.first == e.GetItem() && r.second.IsGroup)
                m_collapsed.erase(Utf8Lower(r.second.Name));
        e.Skip();
    });
}

void FeedTreeView::Fill(const std::vector<FeedTreeGroup>& groups) {
    // Collapse events fired while the rows are rebuilt must not change what the user chose.
    const std::set<std::string> collapsed = m_collapsed;
    m_tree->Freeze();
    m_tree->DeleteAllItems();
    m_rows.clear();
    int pos = 0;
    std::vector<wxDataViewItem> toExpand;
    for (const FeedTreeGroup& g : groups) {
        wxDataViewItem gi = m_tree->AppendContainer(wxDataViewItem(), wxString::FromUTF8(g.Label));
        FeedTreeNode gn;
        gn.IsGroup = true;
        gn.GroupPos = pos++;
        gn.Name = g.Name;
        m_rows.emplace_back(gi, gn);
        for (const FeedTreeGroup::Feed& f : g.Feeds) {
            wxDataViewItem fi = m_tree->AppendItem(gi, wxString::FromUTF8(f.Label));
            FeedTreeNode fn;
            fn.RssID = f.RssID;
            fn.Name = f.Name;
            m_rows.emplace_back(fi, fn);
        }
        if (!collapsed.count(Utf8Lower(g.Name))) toExpand.push_back(gi);
    }
    for (const wxDataViewItem& i : toExpand)
        m_tree->Expand(i);
    m_tree->Thaw();
    m_collapsed = collapsed;
}

bool FeedTreeView::Relabel(const std::vector<FeedTreeGroup>& groups) {
    size_t n = 0;
    for (const FeedTreeGroup& g : groups)
        n += 1 + g.Feeds.size();
    if (n != m_rows.size()) return false;
    size_t i = 0;
    for (const FeedTreeGroup& g : groups) {
        if (!m_rows[i].second.IsGroup || m_rows[i].second.Name != g.Name) return false;
        ++i;
        for (const FeedTreeGroup::Feed& f : g.Feeds) {
            if (m_rows[i].second.IsGroup || m_rows[i].second.RssID != f.RssID) return false;
            ++i;
        }
    }
    i = 0;
    int gpos = 0;
    for (const FeedTreeGroup& g : groups) {
        const wxString label = wxString::FromUTF8(g.Label);
        if (m_tree->GetItemText(m_rows[i].first) != label) {
            m_tree->SetItemText(m_rows[i].first, label);
            Zone_RowChanged(m_tree, {gpos});
        }
        ++i;
        int fpos = 0;
        for (const FeedTreeGroup::Feed& f : g.Feeds) {
            const wxString fl = wxString::FromUTF8(f.Label);
            if (m_tree->GetItemText(m_rows[i].first) != fl) {
                m_tree->SetItemText(m_rows[i].first, fl);
                // A row inside a collapsed group has no visible cells to refresh.
                if (m_tree->IsExpanded(m_rows[i - 1 - fpos].first))
                    Zone_RowChanged(m_tree, {gpos, fpos});
            }
            m_rows[i].second.Name = f.Name;
            ++i;
            ++fpos;
        }
        ++gpos;
    }
    return true;
}

bool FeedTreeView::Selected(FeedTreeNode* node) const {
    const wxDataViewItem sel = m_tree->GetSelection();
    if (!sel.IsOk()) return false;
    for (const auto& r : m_rows)
        if (r.first == sel) {
            if (node) *node = r.second;
            return true;
        }
    return false;
}

int FeedTreeView::SelectedRow() const {
    const wxDataViewItem sel = m_tree->GetSelection();
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].first == sel) return static_cast<int>(i);
    return -1;
}

void FeedTreeView::Select(const wxDataViewItem& item) {
    // A feed inside a collapsed group is shown first, so the selection is visible.
    const wxDataViewItem parent = m_tree->GetModel()->GetParent(item);
    if (parent.IsOk() && !m_tree->IsExpanded(parent)) m_tree->Expand(parent);
    m_tree->Select(item);
    m_tree->SetCurrentItem(item);
    m_tree->EnsureVisible(item);
}

bool FeedTreeView::SelectRow(int index) {
    if (index < 0 || index >= static_cast<int>(m_rows.size())) return false;
    Select(m_rows[static_cast<size_t>(index)].first);
    return true;
}

bool FeedTreeView::SelectGroup(int pos) {
    for (const auto& r : m_rows)
        if (r.second.IsGroup && r.second.GroupPos == pos) {
            Select(r.first);
            return true;
        }
    return false;
}

bool FeedTreeView::SelectFeed(int32_t rssID) {
    for (const auto& r : m_rows)
        if (!r.second.IsGroup && r.second.RssID == rssID) {
            Select(r.first);
            return true;
        }
    return false;
}

bool FeedTreeView::SelectByName(const std::string& name) {
    for (const auto& r : m_rows)
        if (r.second.Name == name) {
            Select(r.first);
            return true;
        }
    return false;
}

bool FeedTreeView::ToggleSelectedGroup() {
    FeedTreeNode n;
    if (!Selected(&n) || !n.IsGroup) return false;
    const wxDataViewItem sel = m_tree->GetSelection();
    if (m_tree->IsExpanded(sel))
        m_tree->Collapse(sel);
    else
        m_tree->Expand(sel);
    return true;
}

bool FeedTreeView::KeyLeft(bool* moved) {
    *moved = false;
    const int row = SelectedRow();
    if (row < 0) return false;
    const wxDataViewItem item = m_rows[static_cast<size_t>(row)].first;
    if (m_rows[static_cast<size_t>(row)].second.IsGroup) {
        if (m_tree->IsExpanded(item)) m_tree->Collapse(item);
        return true;
    }
    for (int i = row - 1; i >= 0; --i)
        if (m_rows[static_cast<size_t>(i)].second.IsGroup) {
            Select(m_rows[static_cast<size_t>(i)].first);
            *moved = true;
            return true;
        }
    return false;
}

bool FeedTreeView::KeyRight(bool* moved) {
    *moved = false;
    const int row = SelectedRow();
    if (row < 0 || !m_rows[static_cast<size_t>(row)].second.IsGroup) return false;
    const wxDataViewItem item = m_rows[static_cast<size_t>(row)].first;
    if (!m_tree->IsExpanded(item)) {
        m_tree->Expand(item);
        return true;
    }
    const size_t next = static_cast<size_t>(row) + 1;
    if (next < m_rows.size() && !m_rows[next].second.IsGroup) {
        Select(m_rows[next].first);
        *moved = true;
    }
    return true;
}

// The article list (gadget 2): a native list (GtkTreeView on GTK) with the columns "Nom",
// "Durée", "Date" and a fourth column whose title depends on the view. Each row carries
// its article's FeedID.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <wx/dataview.h>

struct ArticleListRow {
    int32_t FeedID = 0;
    std::string Name, Duration, Date, Fourth;
};

class ArticleListView {
  public:
    explicit ArticleListView(wxWindow* parent);
    wxDataViewListCtrl* Control() const { return m_list; }

    // Replaces every row and sets the fourth column's title.
    void Fill(const std::vector<ArticleListRow>& rows, const std::string& fourthTitle);
    // Rewrites one row's cells in place.
    void SetRow(int row, const ArticleListRow& text);
    int RowCount() const { return static_cast<int>(m_ids.size()); }
    int32_t FeedIDAt(int row) const;
    // Row of the article with this FeedID; -1 when not listed.
    int RowOf(int32_t feedID) const;
    int SelectedRow() const;
    // Selects (and shows) a row; -1 clears the selection.
    void SelectRow(int row);

  private:
    wxDataViewListCtrl* m_list = nullptr;
    std::vector<int32_t> m_ids;
};

// The article list (gadget 2): a native list (GtkTreeView on GTK) with the columns "Nom",
// "Durée", "Date" and a fourth column whose title depends on the view. Each row carries
// its article's FeedID.
//
// The rows live in a virtual list model: filling the list hands the native view the row
// count once, and a row's texts are made (and converted for the view) only when the view
// or a screen reader first asks for them, so a feed of thousands of articles is listed at
// once.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <wx/dataview.h>

struct ArticleListRow {
    int32_t FeedID = 0;
    std::string Name, Duration, Date, Fourth;
};

// Makes the texts of row `row` of the list being shown.
using ArticleRowMaker = std::function<ArticleListRow(size_t row)>;

// The rows as the native view reads them, one column per text of ArticleListRow.
class ArticleListModel : public wxDataViewVirtualListModel {
  public:
    // The text of a cell as UTF-8, the row made first when it was not yet; "" outside.
    const std::string& Text(unsigned row, unsigned col) const;
    // The row's texts, made when first asked for.
    const ArticleListRow& Row(size_t row) const;
    unsigned GetColumnCount() const override { return 4; }
    wxString GetColumnType(unsigned) const override { return "string"; }
    void GetValueByRow(wxVariant& value, unsigned row, unsigned col) const override;
    bool SetValueByRow(const wxVariant&, unsigned, unsigned) override { return false; }

    std::vector<int32_t> Ids; // each row's FeedID
    ArticleRowMaker Make;
    mutable std::vector<ArticleListRow> Rows;
    mutable std::vector<char> Made;
};

// The control: a wxDataViewCtrl over an ArticleListModel.
class ArticleListCtrl : public wxDataViewCtrl {
  public:
    using wxDataViewCtrl::wxDataViewCtrl;
    // The text shown in a cell (what a screen reader reads).
    wxString GetTextValue(unsigned row, unsigned col) const;
};

class ArticleListView {
  public:
    explicit ArticleListView(wxWindow* parent);
    ArticleListCtrl* Control() const { return m_list; }

    // Replaces every row (the articles with these FeedIDs, in order; `make` gives a
    // row's texts when they are first read) and sets the fourth column's title.
    void Fill(std::vector<int32_t> feedIDs, ArticleRowMaker make, const std::string& fourthTitle);
    // Rewrites one row's cells in place.
    void SetRow(int row, const ArticleListRow& text);
    int RowCount() const { return static_cast<int>(m_model->Ids.size()); }
    int32_t FeedIDAt(int row) const;
    // Row of the article with this FeedID; -1 when not listed.
    int RowOf(int32_t feedID) const;
    int SelectedRow() const;
    // Selects (and shows) a row; -1 clears the selection.
    void SelectRow(int row);

  private:
    ArticleListCtrl* m_list = nullptr;
    wxObjectDataPtr<ArticleListModel> m_model;
};

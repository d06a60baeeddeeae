// The zone of groups and feeds (gadget 0): a native tree (GtkTreeView on GTK, which screen
// readers read) whose rows carry either a group's position or a feed's RssID.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <wx/dataview.h>

// What a tree row stands for.
struct FeedTreeNode {
    bool IsGroup = false;
    int GroupPos = -1; // position in the group names list (group rows)
    int32_t RssID = 0; // the feed (feed rows)
    std::string Name;  // group name or feed name, without marks
};

// One group with its feeds, as the tree shows them.
struct FeedTreeGroup {
    std::string Name, Label;
    struct Feed {
        int32_t RssID = 0;
        std::string Name, Label;
    };
    std::vector<Feed> Feeds;
};

class FeedTreeView {
  public:
    explicit FeedTreeView(wxWindow* parent);
    wxDataViewTreeCtrl* Control() const { return m_tree; }

    // Rebuilds every row; groups that the user had collapsed stay collapsed.
    void Fill(const std::vector<FeedTreeGroup>& groups);
    // Rewrites the labels in place when the shape did not change; false when it did.
    bool Relabel(const std::vector<FeedTreeGroup>& groups);
    // The selected row; false when none.
    bool Selected(FeedTreeNode* node) const;
    // Selects a row (and shows it). Each returns false when there is no such row.
    bool SelectGroup(int pos);
    bool SelectFeed(int32_t rssID);
    bool SelectByName(const std::string& name);
    // Rows in display order (groups and their feeds), for restoring by position.
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    bool SelectRow(int index);
    int SelectedRow() const;
    // Expands or collapses the selected group; false on a feed row.
    bool ToggleSelectedGroup();
    // Left arrow: collapses an open group, or goes from a feed to its group. Right arrow:
    // opens a closed group, or goes into an open one. True when the selection moved.
    bool KeyLeft(bool* moved);
    bool KeyRight(bool* moved);

  private:
    void Select(const wxDataViewItem& item);
    wxDataViewTreeCtrl* m_tree = nullptr;
    std::vector<std::pair<wxDataViewItem, FeedTreeNode>> m_rows;
    std::set<std::string> m_collapsed; // lower-cased names of collapsed groups
};

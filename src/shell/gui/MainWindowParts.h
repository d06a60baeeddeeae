// What the main window's files share: the look-ups and row texts used both by the views
// and by the command dispatch. Not for other modules.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/core/Items.h"
#include "shell/gui/ArticleListView.h"
#include "shell/gui/FeedTreeView.h"

// The feed with this RssID; nullptr when none.
Rss* FeedByID(int32_t rssID);
// Makes `feed` the catalogue's current record (the group operations act on it).
void MakeCurrent(Rss* feed);
bool IsRadio(const Rss& feed);
// The cells of an article's row as the list shows it.
ArticleListRow RowOf(const Item& shown, bool groupView);
// The groups and feeds of the catalogue with their labels, in tree order.
std::vector<FeedTreeGroup> TreeShape();
// Every row of the list as the store's commands take them.
std::vector<ItemRow> ListRows();

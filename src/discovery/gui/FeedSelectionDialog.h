// The feed selection window: the feeds of a temporary list with a check box each, the
// groups with theirs, the filters, the counted select/deselect buttons, the destination
// group and the verification option. Native GTK lists (wxDataViewListCtrl with a toggle
// column), so a screen reader announces every check state.
#pragma once
#include <string>

#include "catalogue/core/Records.h"

class wxWindow;
class DiscoveryUi;

// Shows the window over `parent` for `list` with the mode word `mode` and the default
// destination `group`. On confirmation it does what FeedSelection_Confirm does and returns
// nonzero; cancel ("&Annuler", Escape, closing) returns 0 and changes nothing.
int FeedSelectionDialog(CursorList<Rss>& list, int mode, const std::string& group, wxWindow* parent,
                        DiscoveryUi& ui);

// The property window of a new feed or of an existing one.
#pragma once
#include <functional>
#include <string>

#include "catalogue/core/Records.h"

class wxWindow;

// Shows the window over `parent`. `feed` null: a new feed (name "Nouveau Flux", type
// `type` when given, group `group`); otherwise the catalogue feed itself, changed in
// place on confirmation. On confirmation the catalogue is sorted and saved, `changed`
// runs (the tree rebuild) and the feed is queued for an update. Returns the identifier of
// the feed added or changed, 0 when cancelled.
int32_t EditFeedProperties(Rss* feed, wxWindow* parent, const std::string& type = {},
                           const std::string& group = {},
                           const std::function<void()>& changed = {});
// The update interval as the window shows it: "%s1% heures et %S2% minutes", "%S1% heures"
// or "%S1% minutes".
std::string IntervalText(int32_t minutes);

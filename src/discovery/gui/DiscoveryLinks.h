// The adding and exporting of feeds as the main window reaches it: its menu commands
// (OPML import and exports, discovery in a page, new feed, feed properties, the retired
// video addresses) and the OPML file given at start-up or handed over by a second start.
#pragma once
#include <functional>
#include <string>

#include "catalogue/core/Records.h"

class wxWindow;

// What the main window lends these commands.
struct DiscoveryLinks {
    std::function<wxWindow*()> Window;          // owner of the boxes and windows
    std::function<void()> TreeChanged;          // rebuild the feed tree
    std::function<std::string()> SelectedGroup; // the tree's group (of the selected feed)
    std::function<Rss*()> SelectedFeed;         // the tree's feed, or nullptr
};
// Installs the commands 44, 46, 48, 50, 72, 74, 76, 176, 178, 402, 406 and 408, and the
// feed bank ones: 58 (obsolete feeds), 180, 182, 184 (adding from the bank), 188, 190, 192.
void Discovery_Link(const DiscoveryLinks& links);
// The import of an OPML file without asking for it (start-up and hand-over). Returns the
// number of feeds added.
int Discovery_ImportOpmlFile(const std::string& file);

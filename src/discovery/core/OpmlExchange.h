// The commands that exchange feed lists with OPML files and add the feeds chosen in the
// selection window to the catalogue. Questions and windows go through DiscoveryUi.
#pragma once
#include <string>

#include "catalogue/core/Records.h"
#include "discovery/core/DiscoveryUi.h"

// Reads `file` (asking for it first when `ask`, starting in DefaultPath) and appends its
// feeds to `list`; a malformed file shows "Le fichier n'est pas valide !". Stores the
// file's folder in DefaultPath. Returns the list's new size (0 when nothing was read).
size_t OPML_Read(const std::string& file, CursorList<Rss>& list, int ask, DiscoveryUi& ui);
// Writes `list` to `file` (empty: asks with a save dialog; an existing file is replaced
// only after the question). Sorts the catalogue first. 1 on success, 0 when cancelled,
// refused or not written.
int OPML_Save(const CursorList<Rss>& list, const std::string& file, DiscoveryUi& ui);
// The feeds of `group` (ignoring case) that are not extractors, copied from the catalogue.
CursorList<Rss> OPML_GroupFeeds(const std::string& group);
// Every non-extractor feed of the catalogue, in catalogue order.
CursorList<Rss> OPML_AllFeeds();
// Export of one group through the selection window (every feed preselected).
int OPML_Export(const std::string& group, DiscoveryUi& ui);
// Export of every group into its own file in a folder the user picks. Returns the number
// of files written.
int OPML_ExportAllGroup(DiscoveryUi& ui);
// The import command: reads the file (asking when `ask`), drops the feeds the catalogue
// already has, offers the rest in the selection window (mode 0xA01) and, on confirmation,
// applies the active limit, rebuilds the tree and saves the catalogue. Returns the number
// of feeds added.
int ImportOpmlFile(const std::string& file, int ask, DiscoveryUi& ui);
// Removes from `list` every feed whose address the catalogue has (ignoring case); returns
// the number removed.
int DropKnownFeeds(CursorList<Rss>& list);

// What the selection window does on confirmation, once it has written the check marks
// into the selection words: 0 (window stays open) when nothing is selected; otherwise
// keeps the selected feeds (with the destination group when `changeGroup`), then mode 0
// saves them with OPML_Save; modes 1 to 4 verify them when `verify` and add them to the
// catalogue; mode 5 moves them to the group "Obsolète" in the catalogue. Returns 1.
int FeedSelection_Confirm(CursorList<Rss>& list, int mode, bool changeGroup,
                          const std::string& group, bool verify, DiscoveryUi& ui);
// The verification step of the selection window, in the wait box "Vérification des flux à
// importer" with its cancel. Returns the number of feeds moved to the obsolete group.
int VerifyImportedFeeds(CursorList<Rss>& list, DiscoveryUi& ui);
// Adds every feed of `list` to the catalogue (an address already there is refused).
// Returns the number added.
int AddFeedsToCatalogue(const CursorList<Rss>& list);

// The group-wide operations of the tree's pop-up menu and the single-feed ones next to
// them. Questions, announcements and the links to the update queue and the podcast files
// go through CatalogueUi, which the interface layer implements; without one, every
// question is answered "no" and nothing is changed.
#pragma once
#include <string>
#include <string_view>

#include "catalogue/core/Records.h"

class CatalogueUi {
  public:
    virtual ~CatalogueUi() = default;
    // A yes/no question; nonzero for yes.
    virtual int AskYesNo(const std::string& title, const std::string& text) = 0;
    // A one-line text request; the text entered (empty when cancelled).
    virtual std::string AskText(const std::string& title, const std::string& prompt,
                                const std::string& initial) = 0;
    // A short spoken confirmation.
    virtual void Say(const std::string& text) {}
    // Takes the feed out of the update queue before it is removed.
    virtual void RemoveFromUpdateQueue(const Rss& feed) {}
    // Releases the downloaded files of the feed's articles before it is removed: by
    // default each article through Items_ReleaseFileHook (its queued download leaves).
    virtual void ReleaseItemFiles(Rss& feed);
    // The catalogue changed shape: the tree must be rebuilt.
    virtual void CatalogueChanged() {}
};
// Installs the interface (nullptr: the default that answers "no").
void Catalogue_SetUi(CatalogueUi* ui);
CatalogueUi& Catalogue_Ui();

// Asks, then removes every feed of `group` (ignoring case) and saves. Returns the number
// of feeds removed.
int Group_DeleteAll(const std::string& group);
// Asks for a new name, cleaned; gives it to every feed of `group` and saves. Returns the
// number of feeds renamed.
int Group_Rename(const std::string& group);
// Asks for a term and a group; every feed whose address contains the term (ignoring case)
// joins that group. Not saved here. Returns the number of feeds moved.
int Group_MoveByUrl();
// Asks, then deletes the current feed (feed bank mode: moves it to "Obsolète"), saves.
// Returns 1 when the feed was deleted or moved.
int Feed_Delete();
// `group` empty: toggles the current feed (a disabled feed is enabled only while the
// active limit allows). `group` given: disables every feed of the group when any is
// enabled, otherwise enables them in order while the limit allows. Saves. Returns the
// number of feeds whose state changed.
int Feed_ToggleDisable(std::string_view group = {});

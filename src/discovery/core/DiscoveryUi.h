// What the adding and exporting of feeds asks of the user. The window layer implements
// it with its boxes and the selection window; orvalis-tool and the tests give their own
// answers. Everything is called on the interface thread.
#pragma once
#include <string>

#include "catalogue/core/Records.h"

class DiscoveryUi {
  public:
    virtual ~DiscoveryUi() = default;
    // File dialogs; "" when cancelled. `folder` is where the dialog starts.
    virtual std::string AskOpenFile(const std::string& title, const std::string& folder,
                                    const std::string& name) = 0;
    virtual std::string AskSaveFile(const std::string& title, const std::string& folder) = 0;
    virtual std::string AskFolder(const std::string& title, const std::string& folder) = 0;
    // Nonzero for yes.
    virtual int AskYesNo(const std::string& title, const std::string& text) = 0;
    virtual void Message(const std::string& title, const std::string& text) = 0;
    // The selection window over `list` (mode word and default destination group). On
    // confirmation it has done what the mode asks (see FeedSelection_Confirm) and returns
    // nonzero; on cancel it returns 0 and changes nothing.
    virtual int SelectFeeds(CursorList<Rss>& list, int mode, const std::string& group) = 0;
    // The wait box, polled between steps; WaitStep returns false when cancelled.
    virtual void WaitOpen(const std::string& title, const std::string& text, int max) {}
    virtual bool WaitStep(int value, const std::string& text) { return true; }
    virtual void WaitClose() {}
    // The catalogue changed shape: the feed tree must be rebuilt.
    virtual void CatalogueChanged() {}
};

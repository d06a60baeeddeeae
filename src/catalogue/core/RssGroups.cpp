#include "catalogue/core/RssGroups.h"

#include "catalogue/core/Items.h"
#include "catalogue/core/RssList.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"

namespace {
class NoUi final : public CatalogueUi {
  public:
    int AskYesNo(const std::string&, const std::string&) override { return 0; }
    std::string AskText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
};
NoUi g_noUi;
CatalogueUi* g_ui = &g_noUi;

// The translated text of `entry`; the program's own French text while the table has none.
std::string Text(LngEntry entry, std::string_view french, std::string_view s1 = {}) {
    std::string t = Lng(entry, s1);
    if (!t.empty()) return t;
    t = ReplaceAllNoCase(french, "%w%", "\r\n");
    return ReplaceAllNoCase(t, "%s1%", s1);
}
} // namespace

void Catalogue_SetUi(CatalogueUi* ui) {
    g_ui = ui ? ui : &g_noUi;
}
CatalogueUi& Catalogue_Ui() {
    return *g_ui;
}

static constexpr const char* kObsolete = "Obsolète";

int Group_DeleteAll(const std::string& group) {
    CatalogueUi& ui = Catalogue_Ui();
    if (!ui.AskYesNo(
            Text(L_Request_Del, "Suppréssion"),
            Text(L_Request_AskDelGroup, "Voulez-vous supprimer la totalité des flux du groupe ?")))
        return 0;
    int removed = 0;
    auto& raw = RssList.Raw();
    for (auto it = raw.begin(); it != raw.end();) {
        if (EqualsNoCase(it->Group, group)) {
            ui.RemoveFromUpdateQueue(*it);
            ui.ReleaseItemFiles(*it);
            it = raw.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    RssList.Reset();
    RssList_DirectSave(CATALOGUE_FILE);
    ui.CatalogueChanged();
    return removed;
}

int Group_Rename(const std::string& group) {
    CatalogueUi& ui = Catalogue_Ui();
    const std::string name = Catalogue_CleanText(
        ui.AskText("Renommer le groupe " + group, "Saisissez le nouveau nom", group));
    if (name.empty() || name == group) return 0;
    int renamed = 0;
    for (Rss& r : RssList)
        if (EqualsNoCase(r.Group, group)) {
            r.Group = name;
            ++renamed;
        }
    RssList_DirectSave(CATALOGUE_FILE);
    ui.CatalogueChanged();
    return renamed;
}

int Group_MoveByUrl() {
    CatalogueUi& ui = Catalogue_Ui();
    const std::string term =
        ui.AskText("Recherche url", "Saisissez le terme à chercher dans l'url", "");
    if (term.empty()) return 0;
    const std::string group =
        Catalogue_CleanText(ui.AskText("Nouveau nom", "Saisissez le nom du groupe", ""));
    if (group.empty()) return 0;
    const std::string lowTerm = Utf8Lower(term);
    int moved = 0;
    for (Rss& r : RssList)
        if (Utf8Lower(r.Url).find(lowTerm) != std::string::npos) {
            r.Group = group;
            ++moved;
        }
    if (moved) ui.CatalogueChanged();
    return moved;
}

void CatalogueUi::ReleaseItemFiles(Rss& feed) {
    if (!Items_ReleaseFileHook) return;
    for (Item& item : feed.Items)
        Items_ReleaseFileHook(feed, item);
}

int Feed_Delete() {
    CatalogueUi& ui = Catalogue_Ui();
    Rss* feed = RssList.Current();
    if (!feed) return 0;
    if (!ui.AskYesNo(
            Text(L_Request_Del, "Suppréssion"),
            Text(L_Request_AskDelRss, "Voulez-vous supprimer ce flux ?%w%%s1%", feed->Name)))
        return 0;
    if (Catalogue_Settings().DBBaseMode) {
        if (feed->Group != kObsolete) feed->Group = kObsolete;
    } else {
        ui.RemoveFromUpdateQueue(*feed);
        ui.ReleaseItemFiles(*feed);
        RssList.DeleteCurrent();
    }
    ui.Say(Text(L_Say_Rss_Deleted, "Flux supprimé !"));
    RssList_DirectSave(CATALOGUE_FILE);
    ui.CatalogueChanged();
    return 1;
}

// Enables one feed when the active limit leaves room (feeds that do not count against
// the limit, such as radios, always); true when its state changed.
static bool EnableWithinLimit(Rss& r) {
    if (!(r.Flags & RSSFLAG_DISABLE)) return false;
    if (IsArticleFeed(r) && RssList_CheckActiveLimit() <= 0) return false;
    r.Flags &= ~RSSFLAG_DISABLE;
    return true;
}

int Feed_ToggleDisable(std::string_view group) {
    int changed = 0;
    if (group.empty()) {
        Rss* feed = RssList.Current();
        if (!feed) return 0;
        if (feed->Flags & RSSFLAG_DISABLE) {
            if (EnableWithinLimit(*feed)) ++changed;
        } else {
            feed->Flags |= RSSFLAG_DISABLE;
            ++changed;
        }
    } else {
        bool anyEnabled = false;
        for (const Rss& r : RssList)
            if (EqualsNoCase(r.Group, group) && !(r.Flags & RSSFLAG_DISABLE)) anyEnabled = true;
        for (Rss& r : RssList) {
            if (!EqualsNoCase(r.Group, group)) continue;
            if (anyEnabled) {
                r.Flags |= RSSFLAG_DISABLE;
                ++changed;
            } else if (EnableWithinLimit(r)) {
                ++changed;
            }
        }
    }
    RssList_DirectSave(CATALOGUE_FILE);
    Catalogue_Ui().CatalogueChanged();
    return changed;
}

#include "discovery/core/OpmlExchange.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "catalogue/core/RssList.h"
#include "discovery/core/Discovery.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/OPML.h"
#include "platform/core/FileUtil.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/AppPaths.h"
#include "update/net/DownloadTool.h"

// The folder part of a path, with its trailing separator ("" when none).
static std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

size_t OPML_Read(const std::string& fileIn, CursorList<Rss>& list, int ask, DiscoveryUi& ui) {
    std::string file = fileIn;
    if (ask) {
        file = ui.AskOpenFile(Lng(L_Msg_ImportOPML), DefaultPath, fileIn);
        if (file.empty()) return 0;
    }
    int status = OPML_READ_OK;
    std::string used;
    const size_t before = list.Size();
    OPML_ReadFile(file, list, &status, &used);
    if (status == OPML_READ_MISSING) return 0;
    if (!FolderOf(used).empty()) DefaultPath = FolderOf(used);
    if (status == OPML_READ_INVALID) {
        ui.Message(Lng(L_Request_Error), Lng(L_Msg_BadFile));
        return 0;
    }
    return list.Size() > before ? list.Size() : 0;
}

int OPML_Save(const CursorList<Rss>& list, const std::string& fileIn, DiscoveryUi& ui) {
    std::string file = fileIn;
    if (file.empty()) {
        file = ui.AskSaveFile(Lng(L_Msg_ExportOPML), DefaultPath);
        if (file.empty()) return 0;
        file = OPML_FileName(file);
        if (File_Exists(file) && !ui.AskYesNo(Lng(L_Request_Info), Lng(L_Request_ExistFile)))
            return 0;
    }
    if (!FolderOf(file).empty()) DefaultPath = FolderOf(file);
    Log("* OPML_Save() : " + file);
    file = OPML_FileName(file);
    RssList_Sort();
    return OPML_WriteFile(list, file);
}

CursorList<Rss> OPML_GroupFeeds(const std::string& group) {
    CursorList<Rss> out;
    const std::string key = Utf8Lower(group);
    for (const Rss& f : RssList) {
        if (Utf8Lower(f.Group) != key || IsPlugInType(f.ExtractAs)) continue;
        Rss r;
        r.Group = f.Group;
        r.Name = f.Name;
        r.Description = f.Description;
        r.Url = f.Url;
        r.ExtractAs = f.ExtractAs;
        r.Language = f.Language;
        r.MaxFeed = f.MaxFeed;
        r.Flags = f.Flags;
        r.ContentRss = f.ContentRss;
        r.FormatExtractText = f.FormatExtractText;
        r.LastBuildDate = f.LastBuildDate;
        r.ExtractError = 0;
        out.AddLast(std::move(r));
    }
    return out;
}

CursorList<Rss> OPML_AllFeeds() {
    CursorList<Rss> out;
    for (const Rss& f : RssList) {
        if (IsPlugInType(f.ExtractAs)) continue;
        Rss r;
        r.Group = f.Group;
        r.Name = f.Name;
        r.Description = f.Description;
        r.Url = f.Url;
        r.ExtractAs = f.ExtractAs;
        r.Language = f.Language;
        r.MaxFeed = f.MaxFeed;
        r.Flags = f.Flags;
        r.ContentRss = f.ContentRss;
        r.FormatExtractText = f.FormatExtractText;
        r.LastBuildDate = f.LastBuildDate;
        r.ExtractError = 0;
        out.AddLast(std::move(r));
    }
    return out;
}

int OPML_Export(const std::string& group, DiscoveryUi& ui) {
    Log("* OPML_Export() : " + group);
    CursorList<Rss> list = OPML_GroupFeeds(group);
    return ui.SelectFeeds(list, SELECTMODE_EXPORT | SELECTMODE_ALL, group);
}

int OPML_ExportAllGroup(DiscoveryUi& ui) {
    std::string folder = ui.AskFolder(Lng(L_Msg_SelectExportPath), DefaultPath);
    if (folder.empty()) return 0;
    if (folder.back() != '/') folder += '/';
    Log("* OPML_ExportAllGroup() : " + folder);
    // The catalogue's groups in tree order.
    RssList_Sort();
    std::vector<std::string> groups;
    for (const Rss& f : RssList)
        if (groups.empty() || Utf8Lower(groups.back()) != Utf8Lower(f.Group)) {
            bool known = false;
            for (const std::string& g : groups)
                known = known || Utf8Lower(g) == Utf8Lower(f.Group);
            if (!known) groups.push_back(f.Group);
        }
    int saved = 0;
    std::string failed;
    for (size_t i = 0; i < groups.size(); ++i) {
        const CursorList<Rss> list = OPML_GroupFeeds(groups[i]);
        if (list.Empty()) continue;
        const std::string name = OPML_GroupFileName(groups[i], static_cast<int>(i + 1));
        if (OPML_Save(list, folder + name, ui))
            ++saved;
        else
            failed += (failed.empty() ? "" : "\n") + groups[i];
    }
    if (failed.empty())
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_AllGroupExported, std::to_string(saved)));
    else
        ui.Message(Lng(L_Request_Error), Lng(L_Msg_ErrorGroupExported, failed));
    return saved;
}

int DropKnownFeeds(CursorList<Rss>& list) {
    std::unordered_set<std::string> known;
    for (const Rss& f : RssList)
        known.insert(Utf8Lower(f.Url));
    const size_t before = list.Size();
    list.Raw().remove_if([&](const Rss& f) { return known.count(Utf8Lower(f.Url)) > 0; });
    list.Reset();
    return static_cast<int>(before - list.Size());
}

int ImportOpmlFile(const std::string& file, int ask, DiscoveryUi& ui) {
    CursorList<Rss> list;
    if (OPML_Read(file, list, ask, ui) == 0) return 0;
    DropKnownFeeds(list);
    if (list.Empty()) {
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_NoNewRssToImport));
        return 0;
    }
    const size_t before = RssList.Size();
    if (!ui.SelectFeeds(list, SELECTMODE_IMPORT | SELECTMODE_VERIFY | SELECTMODE_NONE, {}))
        return 0;
    RssList_CheckActiveLimit();
    ui.CatalogueChanged();
    RssList_DirectSave(CATALOGUE_FILE);
    return static_cast<int>(RssList.Size() - before);
}

int VerifyImportedFeeds(CursorList<Rss>& list, DiscoveryUi& ui) {
    int total = 0;
    for (const Rss& f : list)
        if (IsFeedFormat(f.ExtractAs)) ++total;
    ui.WaitOpen(Lng(L_Title_CheckIportRSS), Lng(L_Msg_Wait_NbImport, std::to_string(total)), total);
    const int moved = VerifyFeeds(list, DISCOVERY_PARALLEL, Download_GetSettings(),
                                  [&](int done, int all, int) { return ui.WaitStep(done, {}); });
    ui.WaitClose();
    Log("- VerifyImportedFeeds, " + std::to_string(moved) + " of " + std::to_string(total) +
        " moved to " + ObsoleteGroupName());
    return moved;
}

int AddFeedsToCatalogue(const CursorList<Rss>& list) {
    int added = 0;
    for (const Rss& f : list) {
        Rss r = f;
        r.ExtractError = 0;
        r.ItemsChanged = 0;
        if (RssList_Add(r) == 1) ++added;
    }
    return added;
}

int FeedSelection_Confirm(CursorList<Rss>& list, int mode, bool changeGroup,
                          const std::string& group, bool verify, DiscoveryUi& ui) {
    if (FeedSelection_Keep(list, changeGroup, group) == 0) {
        ui.Message(Lng(L_Request_Info), Lng(L_Msg_NoRssSelected));
        return 0;
    }
    const int kind = mode & 0xFF;
    if (kind == SELECTMODE_EXPORT) {
        OPML_Save(list, {}, ui);
    } else if (kind == SELECTMODE_OBSOLETE) {
        std::unordered_set<std::string> urls;
        for (const Rss& f : list)
            urls.insert(Utf8Lower(f.Url));
        for (Rss& f : RssList)
            if (urls.count(Utf8Lower(f.Url))) f.Group = "Obsolète";
    } else {
        if (verify) VerifyImportedFeeds(list, ui);
        AddFeedsToCatalogue(list);
    }
    return 1;
}

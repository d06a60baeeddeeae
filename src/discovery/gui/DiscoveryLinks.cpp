#include "discovery/gui/DiscoveryLinks.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dirdlg.h>
#include <wx/utils.h>
#include <wx/filedlg.h>

#include "access/gui/ReqInput.h"
#include "access/gui/RequestMessage.h"
#include "access/gui/WaitBox.h"
#include "catalogue/core/RssList.h"
#include "discovery/core/BankExchange.h"
#include "discovery/core/Discovery.h"
#include "discovery/core/FeedBank.h"
#include "discovery/core/FeedSelection.h"
#include "discovery/core/FeedUrl.h"
#include "discovery/core/OPML.h"
#include "discovery/core/OpmlExchange.h"
#include "discovery/gui/EditFeedProperties.h"
#include "discovery/gui/FeedSelectionDialog.h"
#include "platform/core/Text.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"
#include "shell/base/Prefs.h"
#include "shell/base/AppPaths.h"
#include "update/net/DownloadTool.h"
#include "update/core/XmlDownload.h"

namespace {
DiscoveryLinks s_links;

wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}
wxWindow* Owner() {
    return s_links.Window ? s_links.Window() : nullptr;
}
void TreeChanged() {
    if (s_links.TreeChanged) s_links.TreeChanged();
}

// The boxes and windows of the program behind the core's questions.
class GuiUi : public DiscoveryUi {
  public:
    std::string AskOpenFile(const std::string& title, const std::string& folder,
                            const std::string& name) override {
        wxFileDialog dlg(Owner(), W(title), W(folder), W(name), "OPML|*.Opml;*.opml;*.OPML;*.xml",
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        return dlg.ShowModal() == wxID_OK ? std::string(dlg.GetPath().ToUTF8()) : std::string();
    }
    std::string AskSaveFile(const std::string& title, const std::string& folder) override {
        wxFileDialog dlg(Owner(), W(title), W(folder), "", "OPML|*.Opml", wxFD_SAVE);
        return dlg.ShowModal() == wxID_OK ? std::string(dlg.GetPath().ToUTF8()) : std::string();
    }
    std::string AskFolder(const std::string& title, const std::string& folder) override {
        wxDirDialog dlg(Owner(), W(title), W(folder));
        return dlg.ShowModal() == wxID_OK ? std::string(dlg.GetPath().ToUTF8()) : std::string();
    }
    int AskYesNo(const std::string& title, const std::string& text) override {
        return RequestMessage(title, text, REQUEST_YESNO, Owner()) == REQUEST_RESULT_YES;
    }
    void Message(const std::string& title, const std::string& text) override {
        RequestMessage(title, text, REQUEST_OK, Owner());
    }
    int SelectFeeds(CursorList<Rss>& list, int mode, const std::string& group) override {
        return FeedSelectionDialog(list, mode, group, Owner(), *this);
    }
    void WaitOpen(const std::string& title, const std::string& text, int max) override {
        WaitBox_Open(title, text, 0, std::max(max, 1), false);
    }
    bool WaitStep(int value, const std::string& text) override {
        WaitBox_SetProgress(value);
        return WaitBox_Cancelled() == 0;
    }
    void WaitClose() override { WaitBox_Close(); }
    void CatalogueChanged() override { TreeChanged(); }
};

GuiUi& Ui() {
    static GuiUi ui;
    return ui;
}

// Discovery of the feeds a page links to, with the wait box and its cancel.
void User_ImportRssOfURL(bool filtered) {
    std::string url = ReqInput(Lng(L_Request_Select), Lng(L_Msg_FindRssInUrl), "", 0, Owner());
    url = NormalizeUrl(url);
    if (url.empty()) return;
    Log("* User_ImportRssOfURL() " + url);
    const std::string title = Lng(filtered ? L_Title_FindRssInUrlLimited : L_Title_FindRssInUrl);
    WaitBox_Open(title, Lng(L_Msg_Wait), 0, 100, false);
    std::vector<std::string> words;
    if (filtered) words = Discovery_FilterWords(Pref.NeededWordInURL);
    CursorList<Rss> found;
    int shownFound = -1;
    const int status = Discovery_FindFeeds(
        url, words, DISCOVERY_PARALLEL, Download_GetSettings(),
        [&](int checked, int total, int nfound) {
            if (WaitBox_Cancelled()) return false;
            if (nfound != shownFound && total > 0) {
                shownFound = nfound;
                WaitBox_Open(title, Lng(L_Msg_Found, std::to_string(nfound)), -1, -1, false);
            }
            if (total > 0) WaitBox_SetProgress(checked * 100 / total);
            return true;
        },
        found);
    WaitBox_Close();
    if (status == DISCOVERY_DOWNLOAD_ERROR) {
        RequestMessage(Lng(L_Request_Error), Lng(L_Msg_FileDownloadError), REQUEST_OK, Owner());
        return;
    }
    if (status == DISCOVERY_READ_ERROR) {
        RequestMessage(Lng(L_Request_Error), Lng(L_Msg_FileReadError), REQUEST_OK, Owner());
        return;
    }
    if (found.Empty()) {
        if (status != DISCOVERY_CANCELLED)
            RequestMessage(Lng(L_Request_Info), Lng(L_Request_NoRssFoundInUrl), REQUEST_OK,
                           Owner());
        return;
    }
    if (!Ui().SelectFeeds(found, SELECTMODE_IMPORT | SELECTMODE_ALL, {})) return;
    RssList_CheckActiveLimit();
    TreeChanged();
    RssList_DirectSave(CATALOGUE_FILE);
}

// The retired video addresses rewritten (offered with -convertmode).
void ConvertRetiredVideoUrls() {
    int total = 0;
    for (const Rss& f : RssList)
        if (IsFeedFormat(f.ExtractAs) && !RetiredVideoUserUrl(f.Url).empty()) ++total;
    WaitBox_Open("Convert YouTube URL", Lng(L_Msg_Wait), 0, std::max(total, 1), false);
    int done = 0;
    for (Rss& f : RssList) {
        if (!IsFeedFormat(f.ExtractAs)) continue;
        const std::string user = RetiredVideoUserUrl(f.Url);
        if (user.empty()) continue;
        if (WaitBox_Cancelled()) break;
        const std::string feedUrl = ConvertVideoUrl(user);
        Rss probe;
        if (feedUrl != user && GetRssInfoFromURL(feedUrl, probe, 0, 0) > 0) {
            Log("- Convert YouTube URL : " + f.Url + " => " + feedUrl);
            f.Url = feedUrl;
        }
        WaitBox_SetProgress(++done);
    }
    WaitBox_Close();
    TreeChanged();
    RssList_DirectSave(CATALOGUE_FILE);
}

void NewFeed(const std::string& type) {
    EditFeedProperties(nullptr, Owner(), type, s_links.SelectedGroup ? s_links.SelectedGroup() : "",
                       &TreeChanged);
}

// The clipboard's text ("" when it holds none).
std::string ClipboardText() {
    std::string text;
    if (!wxTheClipboard->Open()) return text;
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data)) text = data.GetText().ToUTF8().data();
    }
    wxTheClipboard->Close();
    return text;
}

void PutOnClipboard(const std::string& text) {
    if (!wxTheClipboard->Open()) {
        Log("! Error, clipboard not opened");
        return;
    }
    wxTheClipboard->SetData(new wxTextDataObject(W(text)));
    wxTheClipboard->Flush();
    wxTheClipboard->Close();
}

void AddFromBank(int mode) {
    User_AddRSS(mode, Ui(), BANK_FILE);
}

void Register(int id, std::function<void()> fn) {
    Command_Register(id, [fn = std::move(fn)](int) {
        fn();
        return true;
    });
}
} // namespace

int Discovery_ImportOpmlFile(const std::string& file) {
    return ImportOpmlFile(file, 0, Ui());
}

void Discovery_Link(const DiscoveryLinks& links) {
    s_links = links;
    FeedBank_Install();
    Register(CMD_OPML_IMPORT, [] { ImportOpmlFile({}, 1, Ui()); });
    Register(CMD_OPML_EXPORT_ALL, [] {
        Log("* OPML_Export() : *");
        CursorList<Rss> all = OPML_AllFeeds();
        Ui().SelectFeeds(all, SELECTMODE_EXPORT | SELECTMODE_ALL, {});
    });
    Register(CMD_OPML_EXPORT_GROUP, [] {
        const std::string group = s_links.SelectedGroup ? s_links.SelectedGroup() : "";
        OPML_Export(group, Ui());
    });
    Register(CMD_OPML_EXPORT_EACH_GROUP, [] { OPML_ExportAllGroup(Ui()); });
    Register(CMD_EXTRACT_URL, [] { User_ImportRssOfURL(false); });
    Register(CMD_EXTRACT_URL_FILTERED, [] { User_ImportRssOfURL(true); });
    Register(CMD_NEW_FEED, [] { NewFeed({}); });
    Register(CMD_POPUP_NEW_FEED, [] { NewFeed({}); });
    Register(CMD_NEW_DAILYMOTION, [] { NewFeed("OV-DailyMotion"); });
    Register(CMD_NEW_YOUTUBE, [] { NewFeed("OV-YouTube.exe"); });
    Register(CMD_FEED_PROPERTIES, [] {
        Rss* feed = s_links.SelectedFeed ? s_links.SelectedFeed() : nullptr;
        if (!feed) {
            RequestMessage(Lng(L_Request_Info), Lng(L_Status_NoRssSelected), REQUEST_OK, Owner());
            return;
        }
        EditFeedProperties(feed, Owner(), {}, {}, &TreeChanged);
    });
    Register(CMD_CONVERT_YOUTUBE, [] { ConvertRetiredVideoUrls(); });
    Register(CMD_ADD_FEEDS, [] { AddFromBank(2); });
    Register(CMD_ADD_RADIOS, [] { AddFromBank(3); });
    Register(CMD_ADD_PODCASTS, [] { AddFromBank(4); });
    Register(CMD_BANK_UPDATE, [] { UpdateDBRSS(Ui()); });
    Register(CMD_BANK_OFFER, [] {
        DBRss_ShareNewRss(Ui(), &PutOnClipboard,
                          [](const std::string& page) { wxLaunchDefaultBrowser(W(page)); });
    });
    Register(CMD_BANK_CLIPBOARD, [] { DBRss_GetFromClipboard(ClipboardText(), Ui()); });
    // Radios are left to the audio commands: this room does not reach the audio engine.
    Register(CMD_CHECK_OBSOLETE, [] { IdentifyObsoleteFeeds(Ui(), {}); });
}

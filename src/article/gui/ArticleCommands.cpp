#include "article/gui/ArticleCommands.h"

#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "access/gui/RequestMessage.h"
#include "access/gui/WaitBox.h"
#include "article/core/ArticleItem.h"
#include "article/core/ArticleText.h"
#include "article/core/CleanPage.h"
#include "catalogue/core/Items.h"
#include "discovery/core/FeedUrl.h"
#include "platform/core/Text.h"
#include "article/gui/ArticleModule.h"
#include "article/gui/ArticleView.h"
#include "shell/base/Lng.h"
#include "shell/base/Log.h"
#include "shell/base/Prefs.h"
#include "shell/core/MainCommands.h"

std::string ArticleLinks;

namespace {
wxString W(const std::string& s) {
    return wxString::FromUTF8(s);
}

// The current article and its feed; nullptr (and "Pas d'article sélectionné !" spoken)
// when there is none.
Item* CurrentArticle(Rss** feed = nullptr) {
    const ArticleHost& host = Article_Host();
    Item* item = host.SelectedArticle ? host.SelectedArticle(feed) : nullptr;
    if (!item && host.Say) host.Say(Lng(L_Status_NoFeedSelected));
    return item;
}

std::string ViewText() {
    wxTextCtrl* t = Article_Host().Text;
    return t ? std::string(t->GetValue().ToUTF8()) : std::string();
}

// The channel feed of a video site's page ("" for any other page).
std::string VideoChannelFeed(const std::string& url, const std::string& html) {
    if (!IsVideoPageUrl(url)) return {};
    const std::string feed = ConvertVideoUrl_FromPage(url, html);
    return feed != url ? feed : std::string();
}

// What the program's own download settings are now.
DownloadSettings CurrentDownloadSettings() {
    return Download_GetSettings();
}

// The text announced after a save to Windows-1252 that had to replace characters.
std::string LossyNote(size_t lost) {
    return std::to_string(lost) + " caract\xC3\xA8re(s) remplac\xC3\xA9(s) par \"?\"";
}
} // namespace

void CleanPage_Extract() {
    const ArticleHost& host = Article_Host();
    Rss* feed = nullptr;
    Item* item = CurrentArticle(&feed);
    if (!item) return;
    const std::string url = item->Link;
    const uint32_t flags = feed ? static_cast<uint32_t>(feed->FormatExtractText) : 102400u;
    const std::string title = item->Title;
    const std::string clue = ViewText();
    Log("* CleanPage_Extract( " + url + " )");

    WaitBox_Create(host.Frame);
    WaitBox_Open(Lng(L_Title_ExtractText), "", 0, 100, false);
    int status = 0;
    const std::string text = CleanPage_ExtractText(
        url, flags, title, clue, [] { return WaitBox_Cancelled() != 0; },
        [](int percent) { WaitBox_SetProgress(percent); }, CurrentDownloadSettings(), &status,
        &VideoChannelFeed);
    WaitBox_Close();
    // The article may have changed under the box only through its own events; the view
    // receives the text only when the extraction gave one.
    if (!text.empty() && host.Text) {
        host.Text->ChangeValue(W(text));
        host.Text->SetInsertionPoint(0);
    }
    if (status == 1 && text.empty())
        Log("! CleanPage_Extract, the page converts to nothing: " + url);
    if (host.FocusText) host.FocusText();
}

wxMenu* ArticleMenu_Build(const std::string& links) {
    auto* menu = new wxMenu;
    menu->Append(CMD_ARTICLE_EXTRACT_TEXT, W(Lng(L_Menu_ExtractText) + "\t" + Lng(L_Key_Return)));
    menu->Append(CMD_ARTICLE_SAVE_TEXT,
                 W(Lng(L_Menu_SaveText) + "\t" + Lng(L_Key_Shift) + "+" + Lng(L_Key_Space)));
    auto* sub = new wxMenu;
    const std::vector<ArticleLink> all = ArticleLinks_Parse(links);
    for (size_t n = 0; n < all.size() && n < 25; ++n) {
        std::string label = Trim(all[n].Text);
        if (label.empty()) label = all[n].Address;
        // "&" in a label would become a mnemonic.
        wxString l = W(label);
        l.Replace("&", "&&");
        sub->Append(CMD_ARTICLE_LINK_FIRST + static_cast<int>(n), l);
    }
    menu->AppendSubMenu(sub, W(Lng(L_Menu_LinkInFeed)));
    if (all.empty()) menu->Enable(menu->FindItem(W(Lng(L_Menu_LinkInFeed))), false);
    return menu;
}

void ArticleMenu_Show() {
    const ArticleHost& host = Article_Host();
    if (!host.Frame || !host.Text) return;
    Item* item = CurrentArticle();
    if (!item) return;
    ArticleLinks = GetArticleLinks(item->Description);
    wxMenu* menu = ArticleMenu_Build(ArticleLinks);
    const wxPoint p = host.Frame->ScreenToClient(host.Text->GetScreenPosition()) + wxPoint(20, 20);
    host.Frame->PopupMenu(menu, p);
    delete menu;
}

void OpenArticleLink(int n, const std::string& links) {
    const std::string address = ArticleLinks_Address(links, n);
    if (address.empty()) return;
    if (!ArticleLink_IsOpenable(address)) {
        Log("! OpenArticleLink, not a web address: " + address);
        return;
    }
    if (!wxLaunchDefaultBrowser(W(address))) Log("! OpenArticleLink, no program opens " + address);
}

void SaveArticleText() {
    wxWindow* w = Article_Host().Frame;
    Item* item = CurrentArticle();
    if (!item) return;
    const std::string text = ViewText();
    wxFileDialog dlg(w, W(Lng(L_Title_SaveText)), W(Pref.FeedTextPath),
                     W(SaveArticle_FileName(item->Title)), W(Lng(L_Filter_SaveFileText)),
                     wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dlg.ShowModal() != wxID_OK) return;
    const bool ansi = dlg.GetFilterIndex() == 1;
    const std::string path(dlg.GetPath().ToUTF8());
    size_t lost = 0;
    if (!SaveArticle_Write(path, text, ansi, &lost)) {
        Log("! SaveArticleText, cannot write " + path);
        RequestMessage(Lng(L_Request_Error), Lng(L_Msg_SaveTextError), REQUEST_OK, w);
        return;
    }
    Log("- SaveArticleText " + path);
    if (lost > 0 && Article_Host().Say) Article_Host().Say(LossyNote(lost));
}

void MailItem() {
    Item* item = CurrentArticle();
    if (!item) return;
    const std::string address = MailItem_Address(ArticleFields_Of(*item));
    if (!wxLaunchDefaultBrowser(W(address))) Log("! MailItem, no mail program opens the address");
}

void ShareItem(const std::string& tmpl) {
    Item* item = CurrentArticle();
    if (!item) return;
    ArticleView_OpenAddress(ShareItem_Address(ArticleFields_Of(*item), tmpl));
}

#include "article/gui/ArticleModule.h"

#include <wx/textctrl.h>

#include "article/core/ArticleItem.h"
#include "article/gui/ArticleCommands.h"
#include "article/gui/ArticleView.h"
#include "shell/core/MainCommands.h"
#include "shell/core/MainHooks.h"

namespace {
ArticleHost s_host;
wxTextCtrl* s_keysBoundTo = nullptr; // the text view whose keys are bound

// The text view's own keys come before the window's accelerators: Enter extracts the
// page, Shift+Space saves the text, the Menu key and Shift+F10 open its menu.
void OnTextKey(wxKeyEvent& e) {
    const int key = e.GetKeyCode();
    const int mods = e.GetModifiers();
    wxWindow* w = s_host.Frame;
    if (!w) {
        e.Skip();
        return;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && mods == wxMOD_NONE) {
        w->CallAfter([] { CleanPage_Extract(); });
        return;
    }
    if (key == WXK_SPACE && mods == wxMOD_SHIFT) {
        w->CallAfter([] { SaveArticleText(); });
        return;
    }
    if (key == WXK_MENU || (key == WXK_F10 && mods == wxMOD_SHIFT)) {
        w->CallAfter([] { ArticleMenu_Show(); });
        return;
    }
    e.Skip();
}
} // namespace

const ArticleHost& Article_Host() {
    return s_host;
}

void Article_Link(const ArticleHost& host) {
    s_host = host;
    ArticleView_Create();
    MainHooks& h = Main_Hooks();
    h.ShowArticle = [] { Item_Show(0); };
    h.PodcastTick.push_back([] { ArticleView_MarkPending(); });

    Command_Register(CMD_ARTICLE_EXTRACT_TEXT, [](int) {
        CleanPage_Extract();
        return true;
    });
    Command_Register(CMD_ARTICLE_SAVE_TEXT, [](int) {
        SaveArticleText();
        return true;
    });
    Command_Register(CMD_SHARE_MAIL, [](int) {
        MailItem();
        return true;
    });
    Command_Register(CMD_SHARE_FACEBOOK, [](int) {
        ShareItem(ShareTemplate_FaceBook);
        return true;
    });
    Command_Register(CMD_SHARE_TWITTER, [](int) {
        ShareItem(ShareTemplate_Twitter);
        return true;
    });
    // The pop-up menu command: in the text view it is the text view's own menu; elsewhere
    // the window's menus answer.
    Command_Register(CMD_CONTEXT_MENU, [](int) {
        if (!s_host.Text || !s_host.FocusedZone || s_host.FocusedZone() != ZONE_TEXT ||
            !s_host.Text->IsShown())
            return false;
        ArticleMenu_Show();
        return true;
    });
    Command_RegisterRange(CMD_ARTICLE_LINK_FIRST, 25, [](int id) {
        OpenArticleLink(id - CMD_ARTICLE_LINK_FIRST, ArticleLinks);
        return true;
    });

    if (s_host.Text && s_keysBoundTo != s_host.Text) {
        wxTextCtrl* text = s_host.Text;
        s_keysBoundTo = text;
        text->Bind(wxEVT_CHAR_HOOK, &OnTextKey);
        // Bound after the window's own handler, so it runs first and the text view's menu
        // replaces the article list's.
        text->Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {
            if (s_host.Frame) s_host.Frame->CallAfter([] { ArticleMenu_Show(); });
        });
    }
}

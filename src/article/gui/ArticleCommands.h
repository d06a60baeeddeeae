// The commands on the shown article: the page extraction with its wait box, the text
// view's context menu with the description's links, the saved text, mail and sharing.
// Each works on the current article and does nothing without one.
#pragma once
#include <string>

class wxMenu;

// Command numbers of the text view's menu entries (the links use 4000 + n).
enum : int {
    CMD_ARTICLE_EXTRACT_TEXT = 494,
    CMD_ARTICLE_SAVE_TEXT = 496,
};

// The links of the shown article, rebuilt each time the text view's menu opens.
extern std::string ArticleLinks;

// "Extraire le texte de l'article": downloads the article's page under the wait box
// (cancellable), puts its clean text into the text view and gives it the focus. A page
// that does not arrive, converts to nothing or is cancelled leaves the view unchanged.
void CleanPage_Extract();
// The text view's menu: extract (Entrée), save (Maj+Espace) and "Liens dans l'article"
// with one entry per link (its text, or its address when the text is empty).
wxMenu* ArticleMenu_Build(const std::string& links);
// Shows the text view's menu under the text view.
void ArticleMenu_Show();
// Opens link n (from 0) of `links` with the system's default handler.
void OpenArticleLink(int n, const std::string& links);
// "Enregistrer le texte": save dialog, then UTF-8 with its mark or Windows-1252.
void SaveArticleText();
// Opens the article's "mailto:" address with the mail program.
void MailItem();
// Opens the share address of `tmpl` with "Navigator" or the default handler.
void ShareItem(const std::string& tmpl);

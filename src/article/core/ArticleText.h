// The article's texts that need only the HTML converter: the clean-up of an extracted
// page (noise lines, the article's start moved to the top, the statistics line), the
// links of a description, the URL encoding of shared texts and the saved text's bytes.
//
// All texts are UTF-8; where a rule counts characters it counts code points.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Drops the noise lines of an extracted page (lines separated by "\n"): whole numbers
// written as the program writes them ("12", "-3"; not "007"), empty lines and the words
// "rss", "tweet", "tweeter" (and their tails), lines holding only "(image...)", and any
// line whose trimmed lower-cased form was kept before. Kept lines are unchanged, each
// followed by "\n".
std::string CleanPage_FilterLines(std::string_view text);

// Moves the page's header behind the article: the article starts where the title (or a
// part of it around " - " / " : ") is found, or, first, where one of the first two lines
// of `clue` (the text view's content, i.e. the description) is found at character 2 or
// later. With a cut point c > 0 the text becomes text[c..] + "\r\n=== Haut de texte
// ====\r\n" + text[..c]. A first line repeated by the second is removed.
std::string CleanPage_FindStart(std::string_view text, std::string_view title,
                                std::string_view clue = {});

// Line feeds not already preceded by a carriage return become CR LF.
std::string CleanPage_CrLf(std::string_view text);

// "\r\nTéléchargement de X Ko en Y secondes. Extraction de Z Ko en W secondes." with two
// decimals each: bytes / 1024, ms / 1000, characters / 1024, ms / 1000.
std::string CleanPage_Statistics(int64_t bytes, int32_t downloadMs, size_t characters,
                                 int64_t extractMs);

// Converts a downloaded page with the extraction switches of `extractFlags` (the feed's
// FormatExtractText), filters it, finds its start, and adds the title, source and
// statistics lines. "" when the page converts to nothing. `progress` receives the
// percentage of the page scanned.
struct CleanPageInput {
    std::string Html; // the page, already decoded to UTF-8
    uint32_t ExtractFlags = 102400;
    std::string Title; // the item's Title
    std::string Url;   // the item's Link
    std::string Clue;  // the text view's content (the description's text)
    int64_t Bytes = 0; // bytes received
    int32_t Milliseconds = 0;
    std::string Channel; // the video channel's feed address, or ""
};
std::string CleanPage_Build(const CleanPageInput& in,
                            const std::function<void(int)>& progress = {});

// One link of a description.
struct ArticleLink {
    std::string Address;
    std::string Text;
};
// Up to 25 links ("a" tags with an "href" and a closing "/a") of an HTML description, in
// order; an address already collected (any case) is skipped; "*" removed from both
// parts. Returned in the ArticleLinks form: address "*" text "*" for each link.
std::string GetArticleLinks(std::string_view html);
// The pairs of an ArticleLinks text.
std::vector<ArticleLink> ArticleLinks_Parse(std::string_view links);
// Address field 2n+1 of an ArticleLinks text (link n from 0); "" when absent.
std::string ArticleLinks_Address(std::string_view links, int n);

// Whether a link from a feed may be handed to another program: an "http:", "https:",
// "ftp:" or "mailto:" address (any case). Anything else (files, scripts, relative paths)
// is never opened.
bool ArticleLink_IsOpenable(std::string_view address);

// URL encoding of a subject or body: "%" first, then every code 1..47, then ":;?<=>\",
// then spaces trimmed; other characters (non-ASCII ones included) stay.
std::string UrlEncodeText(std::string_view text);
// The proposed file name of a saved text: title + ".Txt" without "?", ":", "\" and "/".
std::string SaveArticle_FileName(std::string_view title);
// The bytes of a saved text: UTF-8 after its byte-order mark, or (ansi) Windows-1252 with
// "?" for each character it lacks; `lost` receives how many were replaced.
std::string SaveArticle_Bytes(std::string_view text, bool ansi, size_t* lost = nullptr);
// Writes the text to `path` through a twin and a rename; false when it cannot be written.
bool SaveArticle_Write(const std::string& path, std::string_view text, bool ansi,
                       size_t* lost = nullptr);

// HTML-to-text converter: one forward scan over the tags of a page, writing readable text
// with line breaks where the structure calls for them. Unknown tags are dropped and their
// content kept; links, images, lists, definition lists and tables can be dropped whole.
//
// For the tag scanner's own functions the page is held as UTF-32 (`std::u32string`) so
// that every position is a character position: `TagStart`, `TagEnd`, `from` and `to`
// below are 1-based character positions in `Text`, 0 meaning "none". The emitted strings
// and `Result` are UTF-8. A conversion alone keeps the page in UTF-8 (`Page`), which
// gives the same result with a quarter of the memory.
//
// Use:
//   HtmlTextState st;
//   HtmlText_InitPage(st, pageUtf8);    // to convert only; or HtmlText_Init(st, pageUtf8)
//                                       // (or set st.Text and call HtmlText_Init(st)) to
//                                       // use the scanner's functions too
//   st.KeepImages = 0; ...              // optional: switches, emitted strings
//   HtmlText_Convert(st);
//   use st.Result
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "article/core/HtmlEntities.h"

struct HtmlTextState {
    std::string DivOpen, DivClose;
    std::string DlOpen, DlClose;
    std::string DdOpen, DdClose;
    std::string DtOpen, DtClose;
    std::string H1Open, H1Close, H2Open, H2Close, H3Open, H3Close;
    std::string H4Open, H4Close, H5Open, H5Close, H6Open, H6Close;
    std::string OlOpen, OlClose;
    std::string UlOpen, UlClose;
    std::string LiOpen, LiClose;
    std::string TableOpen, TableClose;
    std::string CellOpen, CellClose;
    std::string TrOpen, TrClose;
    std::string POpen, PClose;
    // Switches: any non-zero value is on.
    int32_t KeepLinks = 0;           // keep the content of "a" elements
    int32_t KeepDefinitionLists = 0; // keep "dl" elements
    int32_t KeepImages = 0;          // describe "img" elements by their alt or title
    int32_t KeepLists = 0;           // keep "ol" and "ul" elements
    int32_t KeepTables = 0;          // keep "table" elements
    int32_t WaitForText = 0;         // drop links, images and lists until a heading,
                                     // paragraph or "span" has begun the text
    std::string Page;                // the page in UTF-8 (cleaned by HtmlText_InitPage)
    std::u32string Text;             // the page (cleaned by HtmlText_Init)
    std::u32string LowerText;        // lower-cased copy of Text, same positions; all searches
    int32_t TextLength = 0;
    std::string Result;               // the converted text, UTF-8
    int32_t TagStart = 0, TagEnd = 0; // the "<" and the closing ">" of the last tag found
    std::u32string TagText;           // between "<" and ">" of that tag, as in Text
    std::u32string TagName;           // its name, lower-cased

    // Internal: for each "<" of LowerText, where its balancing ">" is (built on demand
    // when a page has long unbalanced stretches, so that the scan stays linear).
    std::vector<int32_t> BracketMatch;
    bool BracketMatchBuilt = false;
};

// Sets the emitted strings and switches to their defaults (line feeds; " = " for "dd",
// "; " after a cell; every Keep* on, WaitForText off), turns CR, LF and tab in Text into
// spaces and removes the other control characters (U+0000-U+001F), builds LowerText (with
// every "<!-->" blanked to five spaces) and TextLength.
void HtmlText_Init(HtmlTextState& state);
// Stores the UTF-8 page in Text (invalid bytes read as U+FFFD), then as above.
void HtmlText_Init(HtmlTextState& state, std::string_view pageUtf8);

// Sets the defaults as above and stores the UTF-8 page, cleaned the same way (invalid
// bytes read as U+FFFD), in Page; Text and LowerText stay empty. For a conversion only.
void HtmlText_InitPage(HtmlTextState& state, std::string pageUtf8);

// Applies the article-extraction bits of a feed's FormatExtractText: only when 0x20000 is
// set, KeepLinks = 0x1000, KeepImages = 0x8000, KeepDefinitionLists and KeepLists =
// 0x2000, KeepTables = 0x4000, WaitForText = 0x10000 (each switch gets the masked bit).
void HtmlText_ApplyExtractFlags(HtmlTextState& state, uint32_t flags);

// Converts Text, or Page when Text is empty, into Result; Page is released. `progress`,
// when given, receives the percentage of the page scanned so far. Result is decoded
// (DecodeHtmlEntities) and line-cleaned (HtmlText_CleanLines). Without memory for the
// output Result is empty; when growing fails what was written so far becomes Result.
void HtmlText_Convert(HtmlTextState& state, const std::function<void(int)>& progress = {});

// Position just after the next tag at or after `from`, or 0. Sets TagStart, TagEnd,
// TagText, TagName. "<" followed by a space is text; comments "<!-- -->" nest; a ">"
// inside a nested pair of angle brackets does not end a tag; "<!-->" is an empty comment.
int32_t HtmlText_NextTag(HtmlTextState& state, int32_t from);

// Position just after the next tag called `name` (any case; "a" does not match "abbr") at
// or after `from`, or 0. Sets TagStart, TagEnd (first ">" after it) and TagText.
int32_t HtmlText_FindTag(HtmlTextState& state, std::u32string_view name, int32_t from);
int32_t HtmlText_FindTag(HtmlTextState& state, std::string_view nameUtf8, int32_t from);

// Value of attribute `name` between positions `from` and `to` of `searchText`, or empty:
// quoted with " or ' up to the same quote; unquoted up to the next space, or without any
// space before the next ">"; an end beyond `to` is cut at `to`. The name matches as
// written: pass LowerText and a lower-case name to ignore case.
std::u32string HtmlText_GetAttribute(std::u32string_view searchText, std::u32string_view name,
                                     int32_t from, int32_t to);
// Same, the name found in LowerText (any case) and the value read from Text with its own
// case, in UTF-8.
std::string HtmlText_GetAttribute(const HtmlTextState& state, std::string_view name, int32_t from,
                                  int32_t to);

// Tabs -> spaces, runs of spaces -> one; CR -> LF, a space after a LF removed, runs of LF ->
// one; spaces trimmed at both ends, then one leading LF removed. No empty line remains.
std::string HtmlText_CleanLines(std::string_view text);
std::u32string HtmlText_CleanLines32(std::u32string_view text);

// HTML fragments to plain text for the extractors (Windows-1252 bytes in and out).
#pragma once
#include <string>
#include <string_view>

// Option bits of HtmlToText, applied in this order: image descriptions, (removal of U+0011),
// line-break tags, links, remaining tags, entities, line tidying.
enum HtmlToTextOption {
    HTT_Entities = 1,     // decode entities (line break "\n")
    HTT_Images = 2,       // "<img>" -> ", " + the longer of title and alt + ", " (or nothing)
    HTT_RemoveTags = 4,   // remove every remaining tag
    HTT_Breaks = 8,       // "<br>" -> U+0011 (a line feed once entities are decoded)
    HTT_RemoveLinks = 16, // remove every "a" element with its content
    HTT_TidyLines = 32,   // trim every line, drop empty lines
};

// Converts an HTML fragment under the option bits above. `lineBreak` stands for each line
// feed of the result (every caller passes "\n").
std::string HtmlToText(std::string_view html, int options, std::string_view lineBreak = "\n");

// Decodes line ends, "<br>" forms and the fixed set of entities, in their fixed order:
// CR -> LF, LF -> space, U+0011 and "<br>" forms -> lineBreak, then the named and numeric
// references of the Windows-1252 characters. Other references stay as they are.
std::string DecodeEntities(std::string_view text, std::string_view lineBreak);

struct HtmlPage;
// HtmlToText of the content of the element at `pos` (empty when pos is 0).
std::string TagToText(const HtmlPage& page, long pos, int options);

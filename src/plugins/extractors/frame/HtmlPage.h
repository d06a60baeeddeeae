// The page being scanned and the small HTML scanning toolkit the extractors share.
// Texts are Windows-1252 bytes; positions are 1-based byte positions (one byte is one
// character in that code page); 0 means "not found".
#pragma once
#include <map>
#include <string>
#include <string_view>

struct HtmlPage {
    std::string Text;
    std::string Lower; // lower-case copy of Text: every search runs on it, positions are shared
    long Length = 0;
    std::map<std::string, std::string> Attributes; // filled by ParseTagAttributes
};

// Windows-1252 lower case (ASCII and the accented capitals), byte for byte.
std::string AnsiLower(std::string_view s);
// A UTF-8 literal of the source code as Windows-1252 bytes.
std::string Ansi(std::string_view utf8);

// Stores the text, its lower-case copy and its length.
void SetPage(HtmlPage& page, std::string text);

// Position of the next opening tag "<name" at or after `start` and before `limit` (-1 = end
// of text). The name must be followed by a blank, ">" or "/"; an empty name matches any tag
// but a closing one. With an attribute name or value, the tag matches only when that
// attribute has that value (ignoring case; "*" at the end matches a prefix, at the start a
// suffix, at both ends a part). 0 when none.
long FindTag(HtmlPage& page, long start, std::string_view tag, std::string_view attrName = {},
             std::string_view attrValue = {}, long limit = -1);
// Position of the "</name" closing the element opened at `pos`, counting nested elements of
// the same name; 0 when it is missing or not before `limit` (-1 = end of text).
long FindClosingTag(const HtmlPage& page, long pos, std::string_view tag, long limit = -1);
// The lower-case name after "<" at `pos`, up to a blank, ">" or "/".
std::string TagName(const HtmlPage& page, long pos);
// The whole tag from "<" to the next ">" outside quoted values, inclusive (to the end of the
// text without ">").
std::string TagText(const HtmlPage& page, long pos);
// The text between the end of the opening tag at `pos` and its matching closing tag; empty
// when the element is not closed.
std::string TagContent(const HtmlPage& page, long pos);
// Fills page.Attributes from the tag at `pos`: names lower-cased, values without quotes.
void ParseTagAttributes(HtmlPage& page, long pos);
// The value of one attribute of the tag at `pos` (empty when absent).
std::string TagAttribute(HtmlPage& page, long pos, std::string_view name);
// For each name of the ";"-separated list, cuts out every element of that name, from its
// opening tag to the end of its closing tag (a tag never closed is cut alone).
void RemoveElements(HtmlPage& page, std::string_view tagList);
// Removes every tag, from "<" to the next ">"; a "<" without ">" removes the rest.
std::string RemoveTags(std::string_view text);
// FindTag for the next element like the one at `pos`, searched from its closing tag (so that
// elements nested in it are skipped), or from pos + 1 when it is not closed.
long FindNextTag(HtmlPage& page, long pos, std::string_view tag, std::string_view attrName = {},
                 std::string_view attrValue = {}, long limit = -1);

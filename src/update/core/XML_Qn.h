// XML access and text clean-up shared by every reader of feeds, OPML files and pages:
// walking the document tree by element name, reading attributes and element texts, and
// cleaning the values taken from them.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "shell/base/XmlTree.h"

// First child element of `node` named `name` (ASCII case ignored when ignoreCase is
// non-zero), or nullptr. A null node gives nullptr.
XmlNode* XmlChild(const XmlNode* node, std::string_view name, int ignoreCase);
// The next element after `node` among its siblings named `name`, or nullptr.
XmlNode* XmlNextSibling(const XmlNode* node, std::string_view name, int ignoreCase);
// Value of the attribute `name` of an element, or "" when absent. Both the asked name and
// the element's attribute names are trimmed before they are compared.
std::string XmlAttribute(const XmlNode* node, std::string_view name, int ignoreCase);
// Text of an element. Without child elements: the texts of the CDATA sections that open
// its content (before any other child node), in order, followed by the element's own
// character data (a CDATA section that follows another child is not included). With child
// elements (inline markup, an XHTML construct): its inner markup written back as HTML, in
// document order, names without namespace prefixes, character data escaped, comments and
// instructions left out; when the only child element is an XHTML "div" (the element's
// "type" is "xhtml" or "application/xhtml+xml", or the div declares the XHTML namespace)
// and no other text stands beside it, the inside of that div. A null node gives "".
std::string XmlText(const XmlNode* node);
// The first rule alone (CDATA sections that open the content, then the own character
// data), whatever the children: for values that are never markup.
std::string XmlOwnText(const XmlNode* node);
// The text of a Base64 value (blanks and line breaks ignored); false, `out` untouched, when
// `text` is not well-formed Base64 or does not decode to UTF-8.
bool XmlDecodeBase64Text(std::string_view text, std::string& out);
// Every character with code 1 to 31 removed (tab, line feed and carriage return kept when
// allControls is 0), then spaces and tabs trimmed at both ends.
std::string XmlCleanText(std::string_view text, int allControls);
// Appends a new child element `name` with the character data `text` to `parent` (an
// element or a document's main node); nullptr when parent is null.
XmlNode* XmlAddChild(XmlNode* parent, std::string_view name, std::string_view text);

// XmlCleanText, then every no-break space becomes a blank, then trimmed again.
std::string CleanText(std::string_view text, int allControls);
// Drops the title prefix and suffix video sites add: a leading "Uploads by "
// (case-sensitive) and every "- Vidéos les plus récentes - Dailymotion" (any case).
std::string CleanFeedTitle(std::string_view title);
// A one-line plain text from a fragment that may hold markup: line-break tags become line
// feeds, references are decoded, tags removed, then every control character is removed
// and the result trimmed.
std::string CleanHtmlText(std::string_view text);

// Text formats of PeekPage: 0 detect, 2 UTF-8, 9 UTF-16 little-endian, any other value the
// Windows code page.
enum { PEEK_DETECT = 0, PEEK_UTF8 = 2, PEEK_UTF16 = 9 };
// The text of the first `size` bytes of a downloaded page (cut to the block's size); ""
// when size <= 0 or the block is null or empty. Detection: a NUL among the first 10 bytes
// means UTF-16; "utf8" or "utf-8" (any case) in the first 8000 bytes means UTF-8;
// otherwise the Windows code page.
std::string PeekPage(const std::string* memory, int64_t size, int format);

// The text XmlShowError shows for a parse error of a stored file: `message`, the line
// and position, then for the lines line-1, line and line+1 of the file: "Line N, offset : "
// + 10 characters from the column, and the 11 bytes there in hexadecimal.
std::string XmlErrorText(const std::string& file, std::string_view message, long line,
                         long position);
// Shows a parse error of a stored file to the user (title "Error " + the file's name),
// then opens the file's folder when it has one. The window layer installs the presenter;
// without one the text is logged.
using XmlErrorPresenter = std::function<void(const std::string& title, const std::string& text,
                                             const std::string& folder)>;
void XmlShowError_SetPresenter(XmlErrorPresenter presenter);
void XmlShowError(const std::string& file, std::string_view message, long line, long position);

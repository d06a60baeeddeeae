// XML access and text clean-up shared by every reader of feeds, OPML files and pages:
// walking the document tree by element name, reading attributes and element texts, and
// cleaning the values taken from them.
#pragma once
#include <string>
#include <string_view>

#include "update/core/XmlTree.h"

// First child element of `node` named `name` (ASCII case ignored when ignoreCase is
// non-zero), or nullptr. A null node gives nullptr.
XmlNode* XmlChild(const XmlNode* node, std::string_view name, int ignoreCase);
// The next element after `node` among its siblings named `name`, or nullptr.
XmlNode* XmlNextSibling(const XmlNode* node, std::string_view name, int ignoreCase);
// Value of the attribute `name` of an element, or "" when absent. Both the asked name and
// the element's attribute names are trimmed before they are compared.
std::string XmlAttribute(const XmlNode* node, std::string_view name, int ignoreCase);
// Text of an element: the texts of the CDATA sections that open its content (before any
// other child node), in order, followed by the element's own character data. A CDATA
// section that follows another child is not included. A null node gives "".
std::string XmlText(const XmlNode* node);
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

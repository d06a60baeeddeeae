// The one-time migration from the older single-file article store ("ItemsU.Xml", or the
// still older "Items.Xml"), read once at start-up before the article files.
#pragma once
#include <string>

// Reads `file` (or "Items.Xml" when only that exists with a size above 0, or the ".New"
// twin of the chosen name when it exists) into the feeds of RssList, matched by name
// ignoring case. Nothing in feed bank mode. Returns the number of articles added, -1
// when no file exists or the document does not parse.
int Feed_ReadXml(const std::string& file);

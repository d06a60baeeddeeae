// The configuration commands of the main menu: save the configuration to a ".OVC" file or
// a ".OVCZ" archive (with or without the articles), and load one.
#pragma once

class wxWindow;

// Asks for a ".OVC" file name and writes the configuration to it.
void ConfigSave(wxWindow* parent);
// Saves the articles, asks for a ".OVCZ" file name and writes the archive; `withFeeds`
// adds the article files.
void ConfigZip_Save(wxWindow* parent, int withFeeds);
// Asks for confirmation and a file, loads it by its extension, then saves the catalogue
// and refreshes the window. Returns 1 when a configuration was loaded.
int ConfigLoadDialog(wxWindow* parent);

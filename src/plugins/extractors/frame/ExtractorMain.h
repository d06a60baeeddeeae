// The entry shared by the extractor programs: arguments, the settings run, the page file.
#pragma once
#include "plugins/extractors/frame/HtmlPage.h"

#include <string>

enum SettingsAction {
    Settings_None,
    Settings_OpenSite, // after the box, open SiteAddress in the default browser
    Settings_CopySite, // before the box, put SiteAddress on the clipboard
};

struct ExtractorProgram {
    const char* Name;         // "OV-Meteo", ...
    const char* SettingsText; // UTF-8, lines separated by line feeds
    SettingsAction Action;
    const char* SiteAddress;
    bool ItemDates;     // items carry their own PubDate (else the run date)
    bool SqueezeSpaces; // output values fold runs of spaces
    // The site parser: writes its items with WriteItem as it finds them.
    void (*Parse)(HtmlPage& page, const std::string& feedUrl);
    // The settings run (message box and action); returns the exit code.
    int (*ShowSettings)(const ExtractorProgram& program);
};

// Exit codes of an extractor.
enum { Extractor_Ok = 0, Extractor_NoDisplay = 1, Extractor_NoPage = 2 };

// Takes the run date; "opengui" (any case) as the first argument runs the settings; any other
// first argument is the page file (exit code 2 when it cannot be read), parsed to items.
int ExtractorMain(int argc, char** argv, const ExtractorProgram& program);

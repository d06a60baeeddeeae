// The help menu's "check for a new version" command.
#pragma once

class wxWindow;

// Reads the update page ("CheckVersionURL"), then tells whether a newer version exists
// and offers to open the page in the web browser.
void CheckNewVersion(wxWindow* parent);

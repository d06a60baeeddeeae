// The settings run of an extractor ("OpenGUI"): the program's text in a message box titled
// "Info" and its action on the site address. The only piece of the extractors that uses wx.
#pragma once
#include "plugins/extractors/frame/ExtractorMain.h"

// Shows the box and does the action. Without a display the box cannot be shown: the text and
// the site address go to standard error instead, nothing is opened, and the result is
// Extractor_NoDisplay; otherwise Extractor_Ok.
int SettingsBox_Show(const ExtractorProgram& program);

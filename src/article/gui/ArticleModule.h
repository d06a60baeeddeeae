// The article view's links to the main window: its commands (extract, save, links,
// mail, share), the web view, the showing of the selected article, the automatic read
// marks on timer 2, and the text view's keys (Enter, Shift+Space, Menu, Shift+F10).
#pragma once

// Installs everything once the main window exists.
void Article_Link();

// System-wide hot keys on X11: passive key grabs on the root window, through a display
// connection of our own that a small thread polls. The thread never touches a window: it
// hands each hot key to the handler, which must post it to the interface thread.
#pragma once
#include <functional>

// Opens the display connection and starts the polling thread (once); false without X11.
bool X11HotKeys_Start(std::function<void(int id)> handler);
// Grabs the key with each of its Caps Lock / Num Lock variants. 1 on success, 0 when the
// server refused (the key belongs to another client) or no display is open. `root`
// receives the root window's id.
int X11HotKeys_Grab(int id, unsigned long keysym, bool alt, bool control, bool shift, bool win,
                    unsigned long* root);
// Releases the grabs of `id`; false when it held none.
bool X11HotKeys_Ungrab(int id);
// Releases everything, stops the thread and closes the connection.
void X11HotKeys_Stop();

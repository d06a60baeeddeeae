// The window another application had active before one of ours took the keyboard (the
// quick menu opened by a global hot key), so it can be made active again afterwards.
#pragma once

// The active window of the display now; 0 when unknown (no X11).
unsigned long ActiveWindow_Get();
// Makes `window` active again (through the window manager when there is one, else by
// giving it the input focus). Nothing for 0.
void ActiveWindow_Restore(unsigned long window);

// The one table that maps the Windows virtual-key codes stored in key values to wx key
// codes (window accelerators) and X11 key symbols (global hot keys).
#pragma once
#include <cstdint>

// wx key code of a virtual-key code; 0 when the key has no wx equivalent.
int KeyTable_WxKey(int virtualKey);
// X11 key symbol of a virtual-key code; 0 when none.
unsigned long KeyTable_Keysym(int virtualKey);
// Virtual-key code of a wx key code (letters in either case); 0 when none.
int KeyTable_FromWxKey(int wxKey);

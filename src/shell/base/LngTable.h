// The built-in text table (key and French text of each entry), in table order.
#pragma once
#include "shell/base/LngEntries.h"

struct LngTableEntry {
    const char* Key;
    const char* FrenchText;
};

// L_Count entries followed by the closing pair of two empty strings.
extern const LngTableEntry LngTable[L_Count + 1];

// Process-wide state bits.
#pragma once
#include <cstdint>

enum : uint32_t {
    APPSTATE_MUTED = 2,          // sound muted
    APPSTATE_ITEMS_TO_SAVE = 4,  // stored articles changed, waiting for the automatic save
    APPSTATE_FIRST_UPDATES = 8,  // the first updates after start-up are running
    APPSTATE_DRIVE_REMOVED = 16, // ending because the program's drive was removed
};

void AppState_Set(uint32_t mask);
// Nonzero when any bit of `mask` is set.
uint32_t AppState_Test(uint32_t mask);
void AppState_Clear(uint32_t mask);

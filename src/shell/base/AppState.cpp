#include "shell/base/AppState.h"

#include <atomic>

static std::atomic<uint32_t> g_appState{0};

void AppState_Set(uint32_t mask) {
    g_appState.fetch_or(mask);
}
uint32_t AppState_Test(uint32_t mask) {
    return g_appState.load() & mask;
}
void AppState_Clear(uint32_t mask) {
    g_appState.fetch_and(~mask);
}

#include "audio/core/RadioInfo.h"

#include <mutex>

namespace {
std::mutex s_lock;
std::string s_texts[6];

int Slot(int key) {
    switch (key) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    case 16:
        return 4;
    case 32:
        return 5;
    default:
        return -1;
    }
}
} // namespace

void Radio_SetInfo(int key, const std::string& text) {
    const int slot = Slot(key);
    if (slot < 0) return;
    std::lock_guard<std::mutex> lock(s_lock);
    s_texts[slot] = text;
}

std::string Radio_GetInfo(int key) {
    const int slot = Slot(key);
    if (slot < 0) return {};
    std::lock_guard<std::mutex> lock(s_lock);
    return s_texts[slot];
}

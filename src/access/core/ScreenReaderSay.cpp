#include "access/core/ScreenReaderSay.h"

#include <chrono>
#include <thread>

#include "access/core/ScreenReaderBackend.h"
#include "platform/core/Text.h"

std::string ScreenReaderPath;

using Clock = std::chrono::steady_clock;

static int s_retryDelayMs = 3000;
static bool s_recentFailure = false;
static Clock::time_point s_failureTime;

void ScreenReader_SetRetryDelay(int milliseconds) {
    s_retryDelayMs = milliseconds < 0 ? 0 : milliseconds;
    s_recentFailure = false;
}

std::string ScreenReader_CleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 1 && u <= 31) continue;
        out.push_back(c);
    }
    size_t a = out.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    size_t b = out.find_last_not_of(' ');
    return out.substr(a, b - a + 1);
}

int ScreenReader_Say(std::string_view text, int interrupt) {
    std::string cleaned = ScreenReader_CleanText(text);
    if (ScreenReader_TrySay(cleaned, interrupt)) return 1;
    // Re-detecting costs a process walk and a 200 ms pause: after a detection that found
    // nothing, wait a little before trying again so a burst of messages stays fluid.
    if (s_recentFailure && Clock::now() - s_failureTime < std::chrono::milliseconds(s_retryDelayMs))
        return 0;
    s_recentFailure = false;
    if (ScreenReader_Init() == 0) {
        s_recentFailure = s_retryDelayMs > 0;
        s_failureTime = Clock::now();
        return 0;
    }
    return ScreenReader_TrySay(cleaned, interrupt) ? 1 : 0;
}
